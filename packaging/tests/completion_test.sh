#!/usr/bin/env bash
# The bash completion of vantero: what each command line completes to.
#   completion_test.sh COMPLETION_SCRIPT CALCULATORS_TXT
# (CALCULATORS_TXT: the build's list of calculators, one a line.)
set -uo pipefail
source "$1"
calculators=$(sort "$2" | tr '\n' ' ' | sed 's/ $//')
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
touch "$folder/a.dig" "$folder/b.DIG" "$folder/c.stl" "$folder/d.pdf" "$folder/e.PDF"
mkdir "$folder/sub"

# The completions of LINE (the cursor at its end), sorted, one line.
complete_line() {
  COMP_LINE=$1
  COMP_POINT=${#1}
  COMPREPLY=()
  _vantero
  printf '%s\n' "${COMPREPLY[@]}" | sort | tr '\n' ' ' | sed 's/ $//'
}

status=0
check() {
  local got
  got=$(complete_line "$1")
  if [ "$got" == "$2" ]; then
    echo "ok: '$1'"
  else
    echo "FAIL: '$1' gave '$got', not '$2'"; status=1
  fi
}

# The calculators and the command catalogue.
first_words=$(printf '%s\n' $calculators catalogue | sort | tr '\n' ' ' | sed 's/ $//')
check 'vantero ' "$first_words"
check 'vantero e' 'estrela'
check 'vantero tavo ' ''
check 'vantero tavo --s' '--save --seed --set --spread --sweep'
check 'vantero --v' '--version'
check 'vantero -- ' "$first_words"
check 'vantero tavo --set bitR' 'bitRate='
check 'vantero --set x=1 ta' 'tavo'
check 'vantero tavo --set fibreT' 'fibreType='
# Bash completes only what follows the last "=" of the word.
check 'vantero tavo --set fibreType=' 'Multimode SingleMode'
check 'vantero anel --set blockCode=8' '8B10B'
check 'vantero tavo --set lineCode=r' 'RZ'
check 'vantero tavo --set lightSource=l' 'LASER LED'
check 'vantero tavo --set fibreType=mU' 'Multimode'
check 'vantero tavo --set detectorType=' '0 1 2 3 4 5'
check 'vantero tavo --set bitRate=' ''
check 'vantero estrela --sweep block' 'blockCode'
check 'vantero estrela --sweep bitR' 'bitRate='
check 'vantero --open x.dig tavo --set berC' 'berChoice='
check "vantero tavo --open $folder/" "$folder/a.dig $folder/b.DIG $folder/sub"
check "vantero tavo --csv $folder/c" "$folder/c.stl"
check "vantero tavo --report $folder/" "$folder/d.pdf $folder/e.PDF $folder/sub"
check 'vantero tavo --spread conn' 'connectorCount= connectorLoss='
check 'vantero tavo --spread fibreT' ''
check 'vantero tavo --spread connectorLoss=' 'normal: triangular: uniform:'
check 'vantero tavo --spread connectorLoss=t' 'triangular:'
check 'vantero tavo --spread connectorLoss=normal:0' ''
# A length is the user's to type.
check 'vantero --at ' ''
# The parts of the catalogue, as vantero (on the PATH) lists them; a fibre's
# name comes with "@" for its wavelength.
check 'vantero tavo --use ' 'fibre= transceiver='
check 'vantero tavo --use transceiver=10GBASE-L' '10GBASE-LR'
check 'vantero tavo --use fibre=G.652' 'G.652.D@'
check 'vantero estrela --use cable=' ''
check 'vantero catalogue ' 'fibre transceiver'
check 'vantero catalogue transceiver S-' 'S-1.1 S-4.1'
check 'vantero catalogue fibre OM4 ' ''
touch "$folder/mine.toml"
check "vantero tavo --catalogue $folder/m" "$folder/mine.toml"
exit $status
