#!/usr/bin/env bash
# Runs every fuzz target built in BUILD for SECONDS each (default 60): first every input of its seed
# corpus (fuzz/corpus/<target>, the regression inputs included), then new inputs for the rest of the
# time. New inputs go to BUILD/fuzz-work/<target>, findings to BUILD/fuzz-findings/<target>/.
# Exits non-zero when any target found something; the last line counts passed and failed targets.
#   fuzz/run.sh BUILD [SECONDS] [TARGET...]
set -uo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$(cd "${1:?usage: fuzz/run.sh BUILD [SECONDS] [TARGET...]}" && pwd)"
seconds="${2:-60}"
shift $(($# < 2 ? $# : 2))

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for f in "$build"/fuzz-targets/*; do [ -f "$f" ] && targets+=("$(basename "$f")"); done
fi
if [ ${#targets[@]} -eq 0 ]; then
  echo "no fuzz targets in $build (configure with -DPLX24_FUZZ=ON, build the target plx24_fuzz)" >&2
  exit 1
fi

export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
passed=0
failed=0
for name in "${targets[@]}"; do
  { read -r exe; read -r seeds; } < "$build/fuzz-targets/$name"
  work="$build/fuzz-work/$name"
  findings="$build/fuzz-findings/$name"
  mkdir -p "$work" "$findings"
  log="$findings/run.log"
  echo "== $name: ${seconds} s from $(find "$seeds" -type f 2>/dev/null | wc -l) seeds"
  if "$exe" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
      -artifact_prefix="$findings/" "$work" "$seeds" > "$log" 2>&1; then
    grep -E "^stat::(number_of_executed_units|new_units_added)" "$log" | tr '\n' ' '
    echo
    passed=$((passed + 1))
  else
    tail -n 60 "$log"
    echo "!! $name: finding kept in $findings/ (reproduce: $exe <file>)"
    failed=$((failed + 1))
  fi
done
echo "fuzz: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
