#!/bin/bash
# The example plan (docs/examples/building.csv) carried to plx24-sim serving four units on one pty,
# the record's summary page and first unit page rendered with pdftoppm; then the window on unit 1:
# "Protokoll drucken…" to a PDF whose first page is rendered too, and "Mit Datei vergleichen…" with a
# file that differs from the unit in two places:
#   xvfb-run -a -s "-screen 0 1366x768x24" docs/screenshots/take_record_screenshots.sh docs/screenshots
# (click positions are those of the window at that size; PLX24_BUILD names another build folder).
set -u
out=$(realpath "$1")
here=$(dirname "$(realpath "$0")")
build=$(realpath "${PLX24_BUILD:-$here/../../build}")
examples=$here/../examples
work=$(mktemp -d)
export XDG_RUNTIME_DIR=/tmp/runtime-root
mkdir -p -m 700 $XDG_RUNTIME_DIR
# German settings of their own, version 1.5; the print dialog's PDF goes to the work folder
"$build/src/settings/plx24_write_machine_settings" "$work/machine.ini" Language=1031 Version=1.5
export PLX24_MACHINE_SETTINGS=$work/machine.ini PLX24_USER_SETTINGS=$work/user.ini HOME=$work
# the example's files are written with "," as decimal separator, as a German system does
export LANG=de_DE.UTF-8

# ASCII, as the window starts; a pty carries no baud rate or parity
"$build/src/sim/plx24-sim" --pty --mode ascii --address 1,5,17,33 > "$work/sim.log" 2>&1 &
sim_pid=$!
sleep 1
pty=$(head -1 "$work/sim.log")

(cd "$examples" && "$build/src/cli/plx24ctl" commission building.csv --device "$pty" --mode ascii \
  --record "$work/records")
pdf=$(ls "$work"/records/*.pdf)
pdftoppm -r 90 -png -f 1 -l 1 -singlefile "$pdf" "$out/record_summary"
pdftoppm -r 90 -png -f 2 -l 2 -singlefile "$pdf" "$out/record_unit"

# a file of unit 1 with another location code and temperature offset
sed -e 's/^Register 4 ;\(.*\);1\r$/Register 4 ;\1;117\r/' \
    -e 's/^Register 35 ;\(.*\);0\r$/Register 35 ;\1;1,5\r/' "$examples/buero-4T.txt" > "$work/raum-117.txt"

"$build/src/app/plx24cfg" --port "$pty" > /dev/null 2>&1 &
pid=$!
sleep 3
mw=$(xdotool search --name 'PLX24-RS485' | head -1)
xdotool mousemove 578 80 click 1; sleep 0.5; xdotool key Down Return   # open: unit 1 is read out
sleep 8
xdotool key ctrl+p                                                       # "Protokoll drucken…"
sleep 2
xdotool key Return                                                       # "Print to File (PDF)"
sleep 3
pdftoppm -r 90 -png -f 1 -l 1 -singlefile "$(ls "$work"/plx24-unit-1-*.pdf)" "$out/print_record_window"

xdotool mousemove 170 33 click 1; sleep 0.5                              # "Datei"
xdotool mousemove 250 98 click 1; sleep 1.5                              # "Mit Datei vergleichen…"
xdotool type --delay 20 "$work/raum-117.txt"; xdotool key Return
sleep 2
import -window root "$out/compare_with_file.png"
xdotool key Escape
sleep 0.5
kill $pid $sim_pid
wait 2> /dev/null
rm -rf "$work"
