# Shared by the bench scripts, sourced after setting `bench` to the script's name:
#   bench=NAME; . "$(dirname "$0")/common.sh" "${1:-}"
# Sets `sim` and `ctl` to the build's programs (BUILD_DIR, else ../build), and stops when one is missing.
build=${1:-$(dirname "$0")/../build}
sim="$build/src/sim/plx24-sim"
ctl="$build/src/cli/plx24ctl"
for exe in "$sim" "$ctl"; do
  [ -x "$exe" ] || { echo "$bench: $exe is not built (cmake --build $build)" >&2; exit 2; }
done

# The device a simulator names on its first line, once it has written it to LOG (5 s at most).
sim_device() {
  for _ in $(seq 50); do [ -s "$1" ] && break; sleep 0.1; done
  head -1 "$1"
}
