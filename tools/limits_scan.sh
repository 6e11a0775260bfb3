#!/usr/bin/env bash
# vantero under limits on memory and threads: a PNG, an SVG and a PDF chart,
# a design report and a CSV sweep of 10^5 points, each run with every address
# space limit (ulimit -v) from 80,000 to 140,000 kB in steps of 2,000 and
# with limits on processes (ulimit -u) 1 to 4. Every run must end (a run
# still going after a while has hung), either with exit status 0 and a file
# its reader takes whole (ImageMagick for the PNG, poppler for the PDFs,
# xmllint for the SVG, the rows of the CSV), or with exit status 4 (out of
# memory) and the valid file that was there before, unchanged, and nothing
# else left beside it. Prints a table of the outcomes; exits with 1 if any
# run did otherwise.
#   tools/limits_scan.sh [BUILD]      (default build/default; not a sanitizer
#                                      build, which cannot run in so little)
#
# The figures depend on the build and the machine: what the program holds
# before it paints is some 75 MB here, so the lower limits end with 4.
#
# A limit on processes counts all of the user's processes and threads, and
# none of root's: as root, each run is made as the user nobody, who runs
# nothing else (also keeping a short-of-memory font library from rewriting
# the system's font cache), when nobody may run the build's program. Where
# that cannot be done, the limit on processes
# is played by tools' shim (cli/tests/failingcalls.c), which makes
# pthread_create refuse every thread after the first N (ulimit -u N+1).
set -euo pipefail
cd "$(dirname "$0")/.."

build=${1:-build/default}
vantero=$(realpath "$build/cli/vantero")
shim=$(realpath "$build/cli/tests/libvantero_failing_calls.so")
# A run takes well under a second; one still going after this has hung.
seconds=${LIMITS_SCAN_SECONDS:-20}
for tool in convert pdfinfo pdftotext xmllint timeout; do
  command -v "$tool" >/dev/null || {
    echo "limits_scan: $tool is missing (tools/setup.sh --test installs it)" >&2
    exit 2
  }
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
chmod 755 "$work"
as_nobody=false
if [ "$(id -u)" -eq 0 ] && command -v setpriv >/dev/null && id nobody >/dev/null 2>&1 &&
  setpriv --reuid=nobody --regid=nogroup --clear-groups "$vantero" --version >/dev/null 2>&1; then
  # (not when the build lies in a folder nobody may not enter, a checkout
  # in a folder of mktemp's, say)
  as_nobody=true
fi
# The font library's own cache may be written when it finds it short:
# nowhere, a file standing where its folder would be made.
touch "$work/no-cache"

# The cases: a name, the file, and vantero's arguments, @ for the file.
cases=(png svg pdf report csv)
declare -A file=([png]=chart.png [svg]=chart.svg [pdf]=chart.pdf [report]=report.pdf
  [csv]=sweep.csv)
chart="tavo --sweep bitRate=1:1000:1000 --log --plot @"
declare -A arguments=([png]=$chart [svg]=$chart [pdf]=$chart [report]="tavo --report @"
  [csv]="tavo --sweep bitRate=1:1000:100000 --csv @")
# The old files: valid, and not what a run writes.
old_chart="tavo --sweep bitRate=1:100:20 --plot @"
declare -A old=([png]=$old_chart [svg]=$old_chart [pdf]=$old_chart [report]="anel --report @"
  [csv]="tavo --sweep bitRate=2:1000:100000 --csv @")

# Whether the file of a case is whole, read by its reader.
valid() {
  local kind=$1 path=$2
  case $kind in
  png) [ "$(convert -regard-warnings "$path" -format '%wx%h' info: 2>/dev/null)" != "" ] ;;
  svg) xmllint --noout "$path" 2>/dev/null ;;
  pdf | report)
    pdfinfo "$path" >/dev/null 2>&1 && pdftotext "$path" /dev/null 2>/dev/null ;;
  csv)
    [ "$(head -c 8 "$path")" == "bitRate," ] && [ "$(wc -l <"$path")" -eq 100001 ] ;;
  esac
}

# Runs vantero in `folder` with `limit` (a ulimit option and its value) and
# the arguments; gives its exit status, 124 for a run that did not end.
run_limited() {
  local folder=$1 limit=$2 preload=$3
  shift 3
  local environment=(XDG_CACHE_HOME="$work/no-cache" HOME="$work/no-cache")
  if [ -n "$preload" ]; then
    environment+=(LD_PRELOAD="$shim" VANTERO_FAIL="$preload")
  fi
  local user=()
  if $as_nobody; then
    user=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
  fi
  local status=0
  timeout -s KILL "$seconds" "${user[@]}" env "${environment[@]}" \
    bash -c "cd '$folder' && ${limit:+ulimit $limit &&} exec \"\$@\"" vantero \
    "$vantero" "$@" >"$work/out" 2>"$work/err" || status=$?
  # timeout's own status for a run it ended
  if [ "$status" -eq 137 ]; then status=124; fi
  return "$status"
}

# One run of a case: its outcome as a table cell.
#   ok      exit 0 and a valid file
#   4       exit 4 ("Out of memory."), the old file unchanged
#   HANG    still going after $seconds s
#   BROKEN  exit 0 and a file its reader refuses
#   LOST    exit 4 and the old file changed or something left beside it
#   s=N     any other exit status (a crash is 128+signal)
outcome() {
  local kind=$1 limit=$2 preload=$3
  local folder="$work/$kind"
  rm -rf "$folder"
  mkdir "$folder"
  cp "$work/old/${file[$kind]}" "$folder/${file[$kind]}"
  chmod 777 "$folder"
  chmod 666 "$folder/${file[$kind]}"
  local args=()
  read -r -a args <<<"${arguments[$kind]//@/${file[$kind]}}"
  local status=0
  run_limited "$folder" "$limit" "$preload" "${args[@]}" || status=$?
  local target="$folder/${file[$kind]}"
  local others
  others=$(find "$folder" -mindepth 1 ! -name "${file[$kind]}" | wc -l)
  case $status in
  0) if valid "$kind" "$target" && [ "$others" -eq 0 ]; then echo ok; else echo BROKEN; fi ;;
  4) if cmp -s "$target" "$work/old/${file[$kind]}" && [ "$others" -eq 0 ] &&
    grep -qx 'vantero: Out of memory.' "$work/err"; then echo 4; else echo LOST; fi ;;
  124) echo HANG ;;
  *) echo "s=$status" ;;
  esac
}

mkdir "$work/old"
for kind in "${cases[@]}"; do
  args=()
  read -r -a args <<<"${old[$kind]//@/$work/old/${file[$kind]}}"
  "$vantero" "${args[@]}" >/dev/null
  valid "$kind" "$work/old/${file[$kind]}" || {
    echo "limits_scan: the old $kind file is not valid" >&2
    exit 2
  }
done

failures=0
row() {
  local label=$1 limit=$2 preload=$3 cells=() kind cell
  for kind in "${cases[@]}"; do
    cell=$(outcome "$kind" "$limit" "$preload")
    cells+=("$cell")
    case $cell in ok | 4) ;; *) failures=$((failures + 1)) ;; esac
  done
  printf '%-18s' "$label"
  printf '%-8s' "${cells[@]}"
  printf '\n'
}

started=$SECONDS
printf '%-18s' "limit"
printf '%-8s' "${cases[@]}"
printf '\n'
for kb in $(seq 80000 2000 140000); do
  row "ulimit -v $kb" "-v $kb" ""
done
for processes in 1 2 3 4; do
  if $as_nobody; then
    row "ulimit -u $processes" "-u $processes" ""
  else
    row "threads=$((processes - 1)) (-u $processes)" "" "threads=$((processes - 1))"
  fi
done
if $as_nobody; then
  echo "(each run as the user nobody; ulimit -u counts the program itself)"
else
  echo "(limits on processes played by the shim: threads=N lets N threads be made)"
fi
echo "ok: exit 0, a valid file; 4: exit 4, the old file whole; $((SECONDS - started)) s"
if [ "$failures" -ne 0 ]; then
  echo "limits_scan: $failures runs neither ended well nor failed cleanly" >&2
  exit 1
fi
