#!/bin/bash
# Five minutes of the Monitor recorded against plx24-sim, with a few polls the unit leaves unanswered,
# the trend of room temperature and effective setpoint at the end, and the CSV checked with Python's
# csv module against what the simulator saw (one row per poll, one row without values per lost poll):
#   xvfb-run -a -s "-screen 0 1366x768x24" docs/screenshots/take_trend_screenshots.sh docs/screenshots
# (click positions are those of the window at that size; PLX24_BUILD names another build folder,
# PLX24_RECORD_SECONDS another length, PLX24_CSV where the file goes).
set -u
out=$1
build=${PLX24_BUILD:-$(dirname "$0")/../../build}
seconds=${PLX24_RECORD_SECONDS:-300}
csv=${PLX24_CSV:-/tmp/plx24-monitor.csv}
sim_log=$(mktemp)
export XDG_RUNTIME_DIR=/tmp/runtime-root
mkdir -p -m 700 $XDG_RUNTIME_DIR
rm -f "$csv"

# the read-out after opening takes requests 1 .. 10; the polls after it lose these answers
coproc SIM {
  exec "$build/src/sim/plx24-sim" --pty --mode rtu --seed 25 --verbose \
    --fault no-answer@100 --fault no-answer@400 --fault no-answer@401 --fault no-answer@700 \
    --fault no-answer@1000 2> "$sim_log"
}
sim_pid=$SIM_PID
read -r pty <&"${SIM[0]}"
"$build/src/app/plx24cfg" --port "$pty" > /dev/null 2>&1 &
pid=$!
sleep 3
mw=$(xdotool search --name 'PLX24-RS485' | head -1)
xdotool mousemove 511 80 click 1; sleep 0.5; xdotool key Down Return; sleep 0.5   # RTU
xdotool mousemove 578 80 click 1; sleep 0.5; xdotool key Down Return              # open
sleep 7
xdotool mousemove 406 141 click 1; sleep 0.5                                      # Monitor tab
xdotool mousemove 716 202 click 1; sleep 1.5                                      # "Aufzeichnen…"
xdotool type --delay 20 "$csv"; xdotool key Return; sleep 1
xdotool mousemove 942 644 click 1                                                 # "Ausgaberegister lesen:"
sleep "$seconds"
import -window $mw $out/trend_monitor.png
xdotool mousemove 942 644 click 1                                                 # polling off
sleep 2
xdotool mousemove 716 202 click 1                                                 # "Aufzeichnung beenden"
sleep 0.5
kill $pid $sim_pid
wait 2> /dev/null

/usr/bin/python3 - "$csv" "$sim_log" <<'PY'
import csv, re, sys
path, log = sys.argv[1], sys.argv[2]
heard = "".join(l.split()[-1] for l in open(log) if l.startswith("plx24-sim: <-"))
said = "".join(l.split()[-1] for l in open(log) if l.startswith("plx24-sim: ->"))
polls = heard.count("010301000011")
answers = len(re.findall("010322", said))
with open(path, newline="", encoding="utf-8-sig") as f:
    rows = list(csv.reader(f, delimiter=";"))
header, rows = rows[0], rows[1:]
empty = [r for r in rows if all(v == "" for v in r[3:])]
print(f"{path}: {len(rows)} rows, {len(empty)} without values; the unit got {polls} polls, answered {answers}")
assert all(len(r) == len(header) for r in rows), "every row has every column"
assert len(rows) == polls, "one row per poll"
assert len(empty) == polls - answers, "one row without values per lost poll"
assert all(r[2] for r in empty) and not any(r[2] for r in rows if r not in empty), "a reason exactly where values are missing"
print("reasons:", sorted({r[2] for r in empty}))
PY
status=$?
rm -f "$sim_log"
exit $status
