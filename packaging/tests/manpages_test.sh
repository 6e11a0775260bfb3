#!/usr/bin/env bash
# The manual pages render without a warning, as lintian renders them, and
# vantero's names every option its --help names.
#   manpages_test.sh VANTERO PAGE...
set -uo pipefail
vantero=$1
shift
status=0
for page in "$@"; do
  warnings=$(LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 \
    man --warnings -E UTF-8 -l -Tutf8 -Z "$page" 2>&1 >/dev/null)
  if [ -n "$warnings" ]; then
    echo "FAIL: $page: $warnings"; status=1
  fi
  text=$(LC_ALL=C.UTF-8 MANWIDTH=80 man -l "$page" 2>/dev/null | sed 's/.\x08//g')
  for section in NAME SYNOPSIS DESCRIPTION "SEE ALSO"; do
    grep -q "^$section\$" <<<"$text" || { echo "FAIL: $page has no $section"; status=1; }
  done
  if [[ $page == */vantero.1 ]]; then
    for option in $("$vantero" --help | grep -o -- '--[a-z]\+' | sort -u); do
      grep -qF -- "$option" <<<"$text" || { echo "FAIL: $page lacks $option"; status=1; }
    done
    grep -q '^EXIT STATUS$' <<<"$text" || { echo "FAIL: $page has no EXIT STATUS"; status=1; }
    grep -q '^EXAMPLES$' <<<"$text" || { echo "FAIL: $page has no EXAMPLES"; status=1; }
  else
    grep -q '^FILES$' <<<"$text" || { echo "FAIL: $page has no FILES"; status=1; }
  fi
  [ $status -eq 0 ] && echo "ok: $page"
done
exit $status
