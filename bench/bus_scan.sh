#!/bin/bash
# Benchmark (not a test): how long plx24ctl takes to scan addresses 1..247 at one line setting (9600,
# even parity, RTU) against plx24-sim serving five units on one pty, one of them slow (400 ms), and the
# same scan by mbpoll as the baseline in the same run: one read of registers 0..2 per address with the
# same 100 ms time-out (plx24ctl's for an answer that has begun). Prints both times, the units each
# found, the ratio, and the floor a real 9600 Bd line sets with a 30 ms window for the first byte.
#   bench/bus_scan.sh [BUILD_DIR]
set -euo pipefail
bench=bus_scan
. "$(dirname "$0")/common.sh" "${1:-}"
log=$(mktemp)
"$sim" --pty --address 1,5,17,33,200 --response-ms 20,25,400,30,35 > "$log" 2>&1 &
sim_pid=$!
trap 'kill $sim_pid 2>/dev/null; rm -f "$log"' EXIT
pty=$(sim_device "$log")

now() { date +%s.%N; }
t0=$(now)
ctl_units=$("$ctl" scan --device "$pty" --baud 9600 --parity E --mode rtu --address 1-247 --json --no-progress |
            grep -c '"address"' || true)
t1=$(now)
ctl_s=$(awk "BEGIN { print $t1 - $t0 }")
printf 'plx24ctl scan 1..247 at 9600 8E1 RTU: %6.1f s, %d units found\n' "$ctl_s" "$ctl_units"

if command -v mbpoll > /dev/null; then
  t0=$(now)
  mb_units=$(mbpoll -m rtu -a 1:247 -0 -r 0 -c 3 -t 4 -1 -o 0.1 -b 9600 -P even "$pty" 2>/dev/null |
             grep -c '^\[0\]' || true)
  t1=$(now)
  mb_s=$(awk "BEGIN { print $t1 - $t0 }")
  printf 'mbpoll   scan 1..247 at 9600 8E1 RTU: %6.1f s, %d units found (baseline)\n' "$mb_s" "$mb_units"
  awk "BEGIN { printf \"ratio plx24ctl / mbpoll: %.2f\\n\", $ctl_s / $mb_s }"
else
  echo "mbpoll is not installed (Debian package mbpoll): no baseline"
fi
# per address: the probe (8 characters of 11 bits) and the window; per unit found its answer (11
# characters) and 3.5 characters of silence before the next probe
awk -v n=247 -v found=5 -v baud=9600 'BEGIN {
  c = 11 / baud
  printf "floor at 9600 8E1 with a 30 ms first-byte window: %4.1f s\n", n * (8 * c + 0.030) + found * (11 + 3.5) * c
}'
