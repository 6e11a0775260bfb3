#!/usr/bin/env bash
# A calculator as a person uses it: the real program on an X server of its own
# (Xvfb) with a window manager (openbox), a D-Bus session and the
# accessibility bus, driven by real key presses and mouse clicks (xdotool) and
# read through the accessibility tree (tools/desktop_test.py, Debian's
# python3 with pyatspi); the design report it writes is read with pdftotext.
#   desktop_test.sh PROGRAM VANTERO DESKTOP_ENTRY
# With VANTERO_DESKTOP_SHOTS=FOLDER set, it also leaves there pictures of the
# screen: a message box above the multimode fibre dialog and the save dialog.
set -uo pipefail
program=$1 vantero=$2 entry=$3
here=$(cd "$(dirname "$0")" && pwd)

# Nothing of the caller's desktop reaches the test: its own display, buses,
# settings and temporary files.
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM DBUS_SESSION_BUS_ADDRESS AT_SPI_BUS_ADDRESS \
  LD_PRELOAD XDG_CURRENT_DESKTOP QT_STYLE_OVERRIDE
dir=$(mktemp -d)
xvfb=
cleanup() {
  if [[ -n $xvfb ]]; then
    kill "$xvfb" 2>/dev/null
    wait "$xvfb" 2>/dev/null
  fi
  rm -rf "$dir"
}
trap cleanup EXIT
mkdir -m 700 "$dir/runtime" "$dir/config" "$dir/work"
export XDG_RUNTIME_DIR=$dir/runtime XDG_CONFIG_HOME=$dir/config HOME=$dir/work TMPDIR=$dir/work

for tool in Xvfb openbox dbus-run-session xdotool xprop xwininfo import pdftotext; do
  if ! command -v "$tool" >/dev/null; then
    echo "FAIL: $tool is missing (tools/setup.sh installs it)"
    exit 1
  fi
done

# A free display: Xvfb picks it and writes its number.
exec {displayfd}>"$dir/display"
Xvfb -displayfd "$displayfd" -screen 0 1280x1024x24 -nolisten tcp -noreset \
  >"$dir/xvfb.log" 2>&1 &
xvfb=$!
exec {displayfd}>&-
for _ in $(seq 100); do
  [[ -s $dir/display ]] && break
  sleep 0.05
done
if [[ ! -s $dir/display ]]; then
  echo "FAIL: Xvfb did not start: $(cat "$dir/xvfb.log")"
  exit 1
fi
export DISPLAY=:$(tr -d '[:space:]' <"$dir/display")

export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
timeout 110 dbus-run-session -- bash -c '
  openbox --sm-disable >"$1/openbox.log" 2>&1 &
  wm=$!
  /usr/bin/python3 "$2" "$3" "$4" "$5" "$1/work"
  status=$?
  kill $wm 2>/dev/null
  exit $status
' _ "$dir" "$here/desktop_test.py" "$program" "$vantero" "$entry" 2>&1 |
  grep -v -e '^dbus-daemon' -e 'SpiRegistry daemon' -e '^X connection to'
status=${PIPESTATUS[0]}
if ((status == 124)); then
  echo "FAIL: timed out"
fi
exit $status
