#!/bin/bash
# The network dialog (the port box's "Netzwerk…" entry) with a gateway entered, and the traffic window
# during a read-out through plx24-sim serving as a Modbus TCP gateway on 127.0.0.1:1502:
#   xvfb-run -a -s "-screen 0 1366x768x24" docs/screenshots/take_gateway_screenshots.sh docs/screenshots
# (click positions are those of the window at that size; PLX24_BUILD names another build folder).
out=$1
build=${PLX24_BUILD:-$(dirname "$0")/../../build}
export XDG_RUNTIME_DIR=/tmp/runtime-root
# a settings file of this run's own: the window starts centred with the default link panel
settings=$(mktemp -d)
trap 'rm -rf "$settings"' EXIT
export PLX24_USER_SETTINGS=$settings/user.ini
mkdir -p -m 700 $XDG_RUNTIME_DIR

"$build/src/sim/plx24-sim" --tcp 127.0.0.1:1502 --framing mbap > /dev/null 2>&1 &
sim_pid=$!
"$build/src/app/plx24cfg" > /dev/null 2>&1 &
pid=$!
sleep 3
mw=$(xdotool search --name 'PLX24-RS485' | head -1)

# "Netzwerk…", the last entry of the port box, opens the dialog
xdotool mousemove 293 80 click 1; sleep 1
xdotool key End Return; sleep 1.5
xdotool mousemove 680 263 click 1; xdotool type 127.0.0.1
xdotool mousemove 670 292 click --repeat 3 1; xdotool type 1502; sleep 0.5
import -window root -crop 500x240+420+210 $out/network_dialog.png
xdotool mousemove 757 403 click 1; sleep 1     # OK

# the traffic window from the menu, moved below the link panel, then the port opened
xdotool mousemove 247 33 click 1
sleep 1
tw=$(xdotool search --name '^(Kommunikation|Traffic)$' | head -1)
xdotool windowmove $tw 133 300
sleep 0.3
xdotool windowraise $mw
xdotool mousemove 578 80 click 1; sleep 0.5; xdotool key Down Return
sleep 1.3
xdotool windowraise $tw; sleep 0.4
import -window $tw $out/traffic_window_tcp.png
sleep 4
xdotool windowraise $mw; sleep 0.4
import -window $mw $out/gateway_read_out.png
kill $pid $sim_pid
wait 2> /dev/null
