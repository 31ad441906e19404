#!/usr/bin/env bash
# completion-test.sh COMPLETION: sources the bash completion of dcv and checks what it offers for
# a table of command lines, in a folder laid out like a camera card.
set -uo pipefail
completion="$(realpath "${1:?usage: completion-test.sh COMPLETION}")" || exit 1
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cd "$work"
mkdir -p card/DrvInfo "card/with space"
touch card/DrvInfo/telvo_000.drv card/config.bin card/timeset.cfg
# Device names come from the tool's own disk list: a stand-in prints two card readers.
printf '#!/bin/sh\n[ "$1" = disks ] && printf "*[7.4 GB] TELVO <SD/MMC>\\tsdb1\\t/media/TELVO\\n[3.7 GB] DATA <Blade>\\tsdc1\\t-\\n"\n' >dcv
chmod +x dcv
# shellcheck source=/dev/null
source "$completion" || exit 1

# command line (completing its last word; a trailing space starts a new one) | replies, sorted
cases=(
  "dcv |config disks drv format list nmea size telemetry timeset"
  "dcv t|telemetry timeset"
  "dcv --version |config disks drv format list nmea size telemetry timeset"
  "dcv config |check defaults set show"
  "dcv config s|set show"
  "dcv config set -|--help --help-all -h"
  "dcv telemetry --format |csv gpx json"
  "dcv telemetry --format j|json"
  "dcv telemetry --format csv |card dcv"
  "dcv drv -o out.csv -|--help --help-all --output -h -o"
  "dcv drv -o card/Drv|card/DrvInfo"
  "dcv drv card/DrvInfo/|card/DrvInfo/telvo_000.drv"
  "dcv list card/|card/DrvInfo card/with space"
  "dcv list card/w|card/with space"
  "dcv list card |"
  "dcv config set card/config.bin |"
  "dcv config check card/c|card/config.bin"
  "dcv size 1 |"
  "dcv timeset --at |"
  "dcv format |sdb1 sdc1"
  "dcv format --yes s|sdb1 sdc1"
)

failed=0
for c in "${cases[@]}"; do
  line="${c%%|*}" want="${c#*|}"
  read -r -a COMP_WORDS <<<"$line"
  [[ $line == *" " ]] && COMP_WORDS+=("")
  COMP_WORDS[0]=./dcv
  COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
  COMPREPLY=()
  _dcv
  got="$(printf '%s\n' "${COMPREPLY[@]}" | sed '/^$/d' | LC_ALL=C sort | paste -sd' ')"
  if [ "$got" != "$want" ]; then
    echo "FAIL: '$line' offers '$got', expected '$want'"
    failed=$((failed + 1))
  fi
done
echo "$((${#cases[@]} - failed)) passed, $failed failed"
[ "$failed" -eq 0 ]
