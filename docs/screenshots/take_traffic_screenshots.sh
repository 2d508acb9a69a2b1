#!/bin/bash
# The traffic window during a read-out and the status bar while polling; the tool on ASCII against a
# unit on RTU (status bar and traffic window after the time-out); a unit that refuses every register
# write with exception 03 (the message, in English):
#   xvfb-run -a -s "-screen 0 1366x768x24" docs/screenshots/take_traffic_screenshots.sh docs/screenshots
# (click positions are those of the window at that size; PLX24_BUILD names another build folder).
out=$1
build=${PLX24_BUILD:-$(dirname "$0")/../../build}
export XDG_RUNTIME_DIR=/tmp/runtime-root
# a settings file of this run's own: the window starts centred with the default link panel
settings=$(mktemp -d)
trap 'rm -rf "$settings"' EXIT
export PLX24_USER_SETTINGS=$settings/user.ini
mkdir -p -m 700 $XDG_RUNTIME_DIR

# starts plx24-sim with the given options and the tool on its pty; sets sim_pid, pid, mw
start() {
  local tool_args=$1
  shift
  coproc SIM { exec "$build/src/sim/plx24-sim" --pty "$@" 2> /dev/null; }
  sim_pid=$SIM_PID
  read -r pty <&"${SIM[0]}"
  # every scene from the default link panel, whatever the last one chose
  rm -f "$PLX24_USER_SETTINGS"
  "$build/src/app/plx24cfg" --port "$pty" $tool_args > /dev/null 2>&1 &
  pid=$!
  sleep 3
  mw=$(xdotool search --name 'PLX24-RS485' | head -1)
}
stop() { kill $pid $sim_pid; wait 2> /dev/null; sleep 0.5; }
rtu() { xdotool mousemove 511 80 click 1; sleep 0.5; xdotool key Down Return; sleep 0.5; }
open_port() { xdotool mousemove 578 80 click 1; sleep 0.5; xdotool key Down Return; }
# the traffic window from the menu, moved below the link panel
traffic() {
  xdotool mousemove 247 33 click 1
  sleep 1
  tw=$(xdotool search --name '^(Kommunikation|Traffic)$' | head -1)
  xdotool windowmove $tw 133 300
  sleep 0.3
}
shoot_traffic() { xdotool windowraise $tw; sleep 0.4; import -window $tw "$1"; }

# a read-out as it goes, then polling
start "" --mode rtu
rtu
traffic
open_port
sleep 1.3
shoot_traffic $out/traffic_window_readout.png
sleep 5
xdotool windowraise $mw; sleep 0.3
xdotool mousemove 942 622 click 1            # "Ausgaberegister lesen:"
sleep 3.5
import -window $mw $out/status_bar_polling.png
stop

# the tool on ASCII, the unit on RTU
start "" --mode rtu --any-framing
traffic
xdotool windowraise $mw
open_port
sleep 12
import -window $mw $out/status_bar_modes_differ.png
shoot_traffic $out/traffic_window_modes_differ.png
stop

# a block write refused with exception 03
start "--language en" --mode rtu --fault exception-03,fn=10
rtu
open_port
sleep 6
xdotool mousemove 362 286 click --repeat 3 1; sleep 0.3; xdotool type 1234; xdotool key Tab
sleep 0.5
xdotool mousemove 1141 622 click 1           # "Apply"
sleep 1.5
import -window root $out/exception_refused_en.png
xdotool key Return
stop
