#!/bin/bash
# The port list with a present pty-backed device, the same port open and read out, the port
# assignment dialog (all at 1366x768 with 125 % scaling), and the first page of the help document:
#   xvfb-run -a -s "-screen 0 1366x768x24" docs/screenshots/take_port_screenshots.sh docs/screenshots
# (click positions are those of the link panel at that size; PLX24_BUILD names another build folder).
out=$1
build=${PLX24_BUILD:-$(dirname "$0")/../../build}
export XDG_RUNTIME_DIR=/tmp/runtime-root
# a settings file of this run's own: the window starts centred with the default link panel
settings=$(mktemp -d)
trap 'rm -rf "$settings"' EXIT
export PLX24_USER_SETTINGS=$settings/user.ini
mkdir -p $XDG_RUNTIME_DIR
line=$(mktemp -d)
socat pty,raw,echo=0,link=$line/unit pty,raw,echo=0,link=$line/master 2>/dev/null &
socat_pid=$!
sleep 1
"$build/src/sim/plx24-sim" --device $line/unit --mode ascii > /dev/null 2>&1 &
sim_pid=$!
QT_SCALE_FACTOR=1.25 "$build/src/app/plx24cfg" --port $line/master > /dev/null 2>&1 &
pid=$!
sleep 3.5
xdotool mousemove 187 69 click 1            # the port box's list
sleep 1
import -window root $out/port_list_pty_125.png
xdotool key Escape
sleep 0.5
xdotool mousemove 650 99 click 1            # "Port zuordnen…"
sleep 1
import -window root $out/port_assign_dialog_125.png
xdotool key Escape
sleep 0.5
xdotool mousemove 552 69 click 1            # open/close box, then "open"
sleep 0.7
xdotool mousemove 552 99 click 1
sleep 6
import -window root $out/port_open_pty_125.png
kill $pid $sim_pid $socat_pid
rm -rf "$line"
pdftoppm -r 80 -f 1 -l 1 -png "$build/src/app/Doc/PLX24 RS485 Modbus, Register MS_1, Ver 1_10.pdf" $out/help_document_p1
mv $out/help_document_p1-1.png $out/help_document_page1.png
