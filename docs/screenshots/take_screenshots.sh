#!/bin/bash
# Takes the tab and About screenshots of this folder: xvfb-run -a -s "-screen 0 1366x768x24" docs/screenshots/take_screenshots.sh docs/screenshots
# (the click positions are those of the tab bar at 1366x768; PLX24_BIN names another binary).
out=$1
export XDG_RUNTIME_DIR=/tmp/runtime-root
# a settings file of this run's own: the window starts centred with the default link panel
settings=$(mktemp -d)
trap 'rm -rf "$settings"' EXIT
export PLX24_USER_SETTINGS=$settings/user.ini
"${PLX24_BIN:-$(dirname "$0")/../../build/src/app/plx24cfg}" "${@:2}" > /dev/null 2>&1 &
pid=$!
sleep 3
names=(tab0_allgemein tab1_anzeige tab2_tasten tab3_monitor tab4_led_symbole tab5_externe_messwerte tab6_sollwert_temperatur tab7_sollwert_prozent tab8_sollwert_wert)
xs=(203 281 348 414 506 631 773 907 1036)
for i in 0 1 2 3 4 5 6 7 8; do
  xdotool mousemove ${xs[$i]} 145 click 1
  sleep 0.6
  xdotool mousemove 1300 740
  sleep 0.3
  import -window root $out/${names[$i]}.png
done
xdotool mousemove 322 33 click 1
sleep 1.5
import -window root $out/about.png
xdotool key Escape
sleep 0.3
kill $pid
