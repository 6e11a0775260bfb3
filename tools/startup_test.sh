#!/usr/bin/env bash
# A calculator starts under Xvfb and shows its main window; without
# libpelkadi, or with a libpelkadi that lacks the entry Newton, it does not
# start. The program is copied into a fresh folder beside a folder "pelkadi",
# which its relative RUNPATH ($ORIGIN/../pelkadi) names.
# The title the window must show is the caption of the calculator's
# description, as vantero_describe gives it.
#   startup_test.sh PROGRAM LIBPELKADI STUB VANTERO_DESCRIBE
set -uo pipefail
program=$1 library=$2 stub=$3 describe=$4
# The test sets the environment it needs: none of the caller's display, Qt
# platform or library path settings reach the program.
unset QT_QPA_PLATFORM WAYLAND_DISPLAY DISPLAY LD_LIBRARY_PATH LD_PRELOAD
name=$(basename "$program")
title=$("$describe" caption "$name") || exit 1
soname=$(objdump -p "$library" | awk '/SONAME/ {print $2}')
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
mkdir -p "$dir/$name" "$dir/pelkadi"
cp "$program" "$dir/$name/"
copy="$dir/$name/$name"
status=0

if out=$(QT_QPA_PLATFORM=offscreen timeout 10 "$copy" 2>&1); then
  echo "FAIL: $name started without $soname"; status=1
elif [[ $out != *"$soname"* ]]; then
  echo "FAIL: $name without $soname: $out"; status=1
else
  echo "ok: without the library: $out"
fi

cp "$stub" "$dir/pelkadi/$soname"
if out=$(QT_QPA_PLATFORM=offscreen timeout 10 "$copy" 2>&1); then
  echo "FAIL: $name started without the entry Newton"; status=1
elif [[ $out != *"Newton"* ]]; then
  echo "FAIL: $name without Newton: $out"; status=1
else
  echo "ok: without the entry: $out"
fi

cp "$library" "$dir/pelkadi/$soname"
cat >"$dir/look.sh" <<LOOK
#!/usr/bin/env bash
QT_QPA_PLATFORM=xcb "$copy" >"$dir/out.log" 2>&1 &
pid=\$!
for _ in \$(seq 100); do
  if xwininfo -root -tree 2>/dev/null | grep -qF -- "$title"; then
    echo shown
    kill \$pid
    exit 0
  fi
  kill -0 \$pid 2>/dev/null || break
  sleep 0.1
done
kill \$pid 2>/dev/null
cat "$dir/out.log"
exit 1
LOOK
chmod +x "$dir/look.sh"
# An X server of its own: Xvfb picks a free display and writes its number,
# so that tests running at the same time never share or race for one; it
# does not reset when the probes that look for the window disconnect, which
# would refuse the program's own connection meanwhile.
exec {displayfd}>"$dir/display"
Xvfb -displayfd "$displayfd" -screen 0 1280x1024x24 -nolisten tcp -noreset >"$dir/xvfb.log" 2>&1 &
xvfb=$!
exec {displayfd}>&-
for _ in $(seq 200); do
  [[ -s $dir/display ]] && break
  sleep 0.05
done
if out=$(DISPLAY=:$(tr -d '[:space:]' <"$dir/display") "$dir/look.sh" 2>&1) &&
  [[ $out == *shown* ]]; then
  echo "ok: $name shows its window \"$title\" under Xvfb"
else
  echo "FAIL: $name did not show its window: $out $(cat "$dir/xvfb.log")"; status=1
fi
kill "$xvfb" 2>/dev/null
wait "$xvfb" 2>/dev/null
exit $status
