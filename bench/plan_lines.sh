#!/bin/bash
# Benchmark (not a test): a commissioning plan over four lines against the same plan's units on one.
# Four plx24-sim instances (two on a pty each, two as Modbus TCP gateways) serve ten units each; one
# plan gives all forty a parameter file and a location code of their own. plx24ctl works the lines at
# once, one request at a time on each, so the plan should take about as long as the ten units of one
# line alone, measured first in the same run. Prints both times and the ratio.
#   bench/plan_lines.sh [BUILD_DIR]
set -euo pipefail
bench=plan_lines
. "$(dirname "$0")/common.sh" "${1:-}"
work=$(mktemp -d)
pids=()
trap 'kill "${pids[@]}" 2>/dev/null; rm -rf "$work"' EXIT
# own settings: German, no port assignments of the user
export PLX24_MACHINE_SETTINGS="$work/machine.ini" PLX24_USER_SETTINGS="$work/user.ini"

units=1,2,3,4,5,6,7,8,9,10
lines=()
for n in 1 2 3 4; do
  if [ "$n" -le 2 ]; then
    "$sim" --pty --address $units --response-ms 20 > "$work/sim$n.log" 2>&1 &
  else
    "$sim" --tcp 127.0.0.1:0 --framing mbap --address $units --response-ms 20 > "$work/sim$n.log" 2>&1 &
  fi
  pids+=($!)
  lines+=("$(sim_device "$work/sim$n.log")")
done

"$ctl" read --device "${lines[0]}" --address 1 -o "$work/base.txt" > /dev/null
plan() {  # the devices of the plan's lines
  echo "Adresse;Datei;Schnittstelle;Standortkennung"
  local line=0 device a
  for device in "$@"; do
    line=$((line + 1))
    for a in $(seq 10); do echo "$a;base.txt;$device;$((100 * line + a))"; done
  done
}
plan "${lines[0]}" > "$work/one.csv"
plan "${lines[@]}" > "$work/four.csv"

now() { date +%s.%N; }
commission() {
  local t0 t1
  t0=$(now)
  "$ctl" commission "$1" --device "${lines[0]}" --all-registers --language en --no-progress > "$work/out" ||
    { cat "$work/out" >&2; exit 1; }
  t1=$(now)
  awk "BEGIN { print $t1 - $t0 }"
}
one_s=$(commission "$work/one.csv")
printf 'plan of 10 units on one line:          %6.1f s  (%s)\n' "$one_s" "$(tail -1 "$work/out")"
four_s=$(commission "$work/four.csv")
printf 'plan of 40 units on four lines at once: %5.1f s  (%s)\n' "$four_s" "$(tail -1 "$work/out")"
awk "BEGIN { printf \"ratio four lines / one line: %.2f\\n\", $four_s / $one_s }"
