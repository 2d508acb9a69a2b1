#!/bin/bash
# On a laptop at 1366x768 with 125 % scaling, against the demo unit: a range refusal and an Apply
# confirmation in the status line, the help window on a register page (no PDF viewer installed), the
# German file dialog, the traffic window, and the link panel after a restart:
#   xvfb-run -a -s "-screen 0 1366x768x24" docs/screenshots/take_field_screenshots.sh docs/screenshots
# (click positions are those of the window at that size; PLX24_BUILD names another build folder).
out=$1
build=${PLX24_BUILD:-$(dirname "$0")/../../build}
export XDG_RUNTIME_DIR=/tmp/runtime-root
mkdir -p -m 700 $XDG_RUNTIME_DIR
export QT_SCALE_FACTOR=1.25
# a settings file of this run's own, so the window starts where these clicks expect it
settings=$(mktemp -d)
trap 'rm -rf "$settings"' EXIT
export PLX24_USER_SETTINGS=$settings/user.ini

start() {
  "$build/src/app/plx24cfg" "$@" > /dev/null 2>&1 &
  pid=$!
  sleep 4
}
click() { xdotool mousemove "$1" "$2" click 1; sleep "${3:-0.6}"; }
# the box at x, y: its list opened, entry n (from 0) taken
choose() { click "$1" "$2" 0.5; xdotool key Home; for ((i = 0; i < $3; i++)); do xdotool key Down; done; xdotool key Return; sleep 0.6; }
# a field: its text replaced by what is typed, then the focus moved on
type_into() { click "$1" "$2" 0.3; xdotool key ctrl+a; xdotool type "$3"; xdotool key Tab; sleep 0.6; }
shoot() { xdotool mousemove 1360 760; sleep 0.4; import -window root "$out/$1"; }

# the demo unit read out, a value beyond its range typed, then an Apply of three stages
start --demo
choose 552 69 1                             # open
sleep 8
click 607 145                               # "Externe Messwerte"
type_into 316 257 999                       # "Externe Temperatur 1"
shoot field_range_refusal_125.png
type_into 316 257 22.5
click 72 145                                # "Allgemein"
type_into 282 327 77                        # "Standortkennung"
click 169 145                               # "Anzeige"
click 818 244                               # a configuration bit
click 1256 617 12                           # "Übernehmen", the write and the read-back
shoot field_apply_confirmation_125.png

# help: the window of its own, on the configuration registers' bookmark, then a search
click 285 10 3                              # "Hilfe"
click 250 85 1.5                            # bookmark "Konfigurationsregister"
click 840 27 0.3                            # the search field
xdotool type "Antwortzeit"
xdotool key Return
sleep 1.5
shoot field_help_window_125.png
xdotool key Escape
sleep 0.5

# Qt's own file dialog in German
click 41 10 0.6                             # "Datei"
xdotool key Down Return                     # "Parameter laden"
sleep 2
shoot field_file_dialog_de_125.png
xdotool key Escape
sleep 0.5

# the traffic window beside the main window, no larger than the screen
click 138 10 2                              # "Kommunikation"
shoot field_traffic_window_125.png
kill $pid
wait 2> /dev/null

# the link panel set, the tool ended and started again
start
choose 187 69 4                             # COM5
choose 293 69 0                             # 9600
choose 385 69 1                             # Odd
choose 468 69 1                             # RTU
type_into 664 69 17
click 41 10 0.6
xdotool key Up Return                       # "Beenden"
sleep 1.5
start
shoot field_link_remembered_125.png
kill $pid
wait 2> /dev/null
