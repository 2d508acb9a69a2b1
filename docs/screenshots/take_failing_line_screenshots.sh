#!/bin/bash
# A failing line as an engineer meets it, the tool started straight onto plx24-sim over a socat pty
# pair (--port PTY --mode rtu --open):
#   xvfb-run -a -s "-screen 0 1366x768x24" docs/screenshots/take_failing_line_screenshots.sh docs/screenshots
# (a) polling, then the simulator killed: the red note, its reason (the note's tooltip) and the greyed
#     Monitor values;
# (b) socat killed while polling: the tool's CPU time over the next 30 s from /proc (printed), the
#     message naming the device, the panel back at "close"; a new socat on the same path, a new
#     simulator, and "open" reads the unit out again;
# (c) the simulator killed once it has confirmed the first block of an Apply: the message says what
#     was written and what not.
# Clicks are relative to the main window; PLX24_BUILD names another build folder; a second argument
# picks parts ("b" for (b) only).
out=$1
parts=${2:-abc}
build=${PLX24_BUILD:-$(dirname "$0")/../../build}
export XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-/tmp/runtime-$USER}
mkdir -p -m 700 "$XDG_RUNTIME_DIR"
dir=$(mktemp -d)
# a settings file of this run's own: the window starts centred with the default link panel
export PLX24_USER_SETTINGS=$dir/user.ini
tool_end=$dir/tool
unit_end=$dir/unit
sim_log=$dir/sim.log

# a socat pty pair: the tool's end and the unit's end, under names that stay the same
line() {
  socat pty,raw,echo=0,link=$tool_end pty,raw,echo=0,link=$unit_end 2> /dev/null &
  socat_pid=$!
  while [ ! -e $tool_end ] || [ ! -e $unit_end ]; do sleep 0.1; done
}
unit() {
  "$build/src/sim/plx24-sim" --device $unit_end --mode rtu --verbose "$@" 2> $sim_log &
  sim_pid=$!
  sleep 0.5
}
tool() {
  "$build/src/app/plx24cfg" --port $tool_end --mode rtu --open > /dev/null 2>&1 &
  pid=$!
  sleep 2
  mw=$(xdotool search --name 'PLX24-RS485' | head -1)
}
stop() { kill $pid $sim_pid $socat_pid 2> /dev/null; wait 2> /dev/null; rm -f $tool_end $unit_end; sleep 0.5; }
at() { xdotool mousemove --window $mw "$@"; }
monitor_tab() { at 261 116 click 1; sleep 0.5; }
polling() { at 796 597 click 1; }
open_port() { at 447 55 click 1; sleep 0.5; xdotool key Down Return; }
# waits until the simulator has answered a request beginning with these hex digits
answered() { until grep -q -- "-> $1" $sim_log; do sleep 0.05; done; }
# user and system time of a process, in clock ticks
cpu_ticks() { awk '{ print $14 + $15 }' /proc/$1/stat; }

# (a) the unit falls silent while polled; the pointer on the red note shows its reason
if [[ $parts == *a* ]]; then
line; unit; tool
sleep 6
monitor_tab
polling
sleep 3
kill $sim_pid
sleep 10.5
at 40 597
sleep 1.5
import -window root $out/failing_line_silent_unit.png
stop
fi

# (b) the adapter goes while polling
if [[ $parts == *b* ]]; then
line; unit; tool
sleep 6
polling
sleep 3
kill $socat_pid
sleep 1
before=$(cpu_ticks $pid)
sleep 30
after=$(cpu_ticks $pid)
awk -v t=$((after - before)) -v hz=$(getconf CLK_TCK) \
  'BEGIN { printf "plx24cfg after the adapter went: %.2f s CPU in 30 s, %.1f %% of a core\n", t / hz, 100 * t / hz / 30 }'
import -window root $out/failing_line_adapter_gone.png
xdotool key Return
kill $sim_pid 2> /dev/null
wait $socat_pid $sim_pid 2> /dev/null
rm -f $tool_end $unit_end
line; unit
at 150 55
sleep 1
open_port
sleep 6
import -window root $out/failing_line_reconnected.png
stop
fi

# (c) the unit falls silent once it has confirmed the first block of an Apply
if [[ $parts == *c* ]]; then
line; unit --response-ms 200; tool
sleep 8
at 217 261 click --repeat 3 1; sleep 0.3; xdotool type 1234; xdotool key Tab
sleep 0.5
at 996 597 click 1           # "Übernehmen"
answered 01100000000A
kill $sim_pid
sleep 12
import -window root $out/failing_line_apply_stopped.png
xdotool key Return
stop
fi

rm -rf $dir
