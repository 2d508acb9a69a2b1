#!/bin/bash
# "Bus durchsuchen…" against plx24-sim serving five units on one pty (one of them slow), during the
# scan and when it has ended, at 1366x768:
#   xvfb-run -a -s "-screen 0 1366x768x24" docs/screenshots/take_scan_screenshots.sh docs/screenshots
# (PLX24_BUILD names another build folder).
out=$1
build=${PLX24_BUILD:-$(dirname "$0")/../../build}
export XDG_RUNTIME_DIR=/tmp/runtime-root
# a settings file of this run's own: the window starts centred with the default link panel
settings=$(mktemp -d)
trap 'rm -rf "$settings"' EXIT
export PLX24_USER_SETTINGS=$settings/user.ini
mkdir -p $XDG_RUNTIME_DIR
log=$(mktemp)
# ASCII, as the window starts; a pty carries no baud rate or parity
"$build/src/sim/plx24-sim" --pty --mode ascii --address 1,5,17,33,200 --response-ms 20,25,400,30,35 > $log 2>&1 &
sim_pid=$!
sleep 1
pty=$(head -1 $log)
"$build/src/app/plx24cfg" --port $pty > /dev/null 2>&1 &
pid=$!
sleep 3.5
xdotool mousemove 170 33 click 1                # "&Datei"
sleep 0.5
xdotool mousemove 235 98 click 1                # "Bus durchsuchen…"
sleep 1
xdotool mousemove 395 238 click 1               # "Suchen"
sleep 14
import -window root $out/bus_scan_running.png
sleep 22
xdotool mousemove 420 352 click 1               # the second unit found
sleep 0.5
import -window root $out/bus_scan_found.png
kill $pid $sim_pid
rm -f $log
