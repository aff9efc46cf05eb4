#!/usr/bin/env bash
# User-space instructions per get and per walked row, through the library and on a bare
# net-snmp loop, counted by callgrind. Each figure is the difference of two runs of different
# length divided by the difference in gets (rows), so start-up and the agent cancel out.
# Usage: bench/snmp/instructions.sh [path/to/bench_snmp_engine]
set -euo pipefail
shopt -s inherit_errexit # a failed run inside $(...) ends the script
root=$(cd "$(dirname "$0")/../.." && pwd)
bench=${1:-}
if [ -z "$bench" ]; then
  "$root/bench/build-release" >/dev/null
  bench=$root/build/bench/bench/snmp/bench_snmp_engine
fi
[ -x "$bench" ] || { echo "bench_snmp_engine not found at $bench"; exit 1; }
command -v valgrind >/dev/null || { echo "valgrind is not installed (scripts/install-deps)"; exit 1; }
work=$(mktemp -d /tmp/kvsnmp-instr.XXXXXX)
trap 'rm -rf "$work"' EXIT

# Instructions of one run: the callgrind total.
count() {
  local out="$work/cg.$1.$2.$3"
  valgrind --tool=callgrind --callgrind-out-file="$out" "$bench" --only "$1" "--$2" "$3" >/dev/null 2>"$out.log" \
    || { tail -n 5 "$out.log" >&2; echo "FAILED: the run $1 --$2 $3 failed its check" >&2; exit 1; }
  awk '/^(summary|totals):/ { print $2; exit }' "$out"
}

small=200
large=1200
per() { # mode, what
  local a b
  a=$(count "$1" "$2" $small)
  b=$(count "$1" "$2" $large)
  echo $(((b - a) / (large - small)))
}

lib_get=$(per lib-gets gets)
bare_get=$(per bare-gets gets)
lib_row=$(per lib-walk rows)
bare_row=$(per bare-walk rows)
echo "user-space instructions (callgrind; runs of $small and $large, difference per unit):"
printf '  per get:  library %7d   bare net-snmp %7d   ratio %s   goal <= 1.50\n' "$lib_get" "$bare_get" \
  "$(awk -v a="$lib_get" -v b="$bare_get" 'BEGIN { printf "%.2f", a / b }')"
printf '  per row:  library %7d   bare net-snmp %7d   ratio %s   goal <= 1.50\n' "$lib_row" "$bare_row" \
  "$(awk -v a="$lib_row" -v b="$bare_row" 'BEGIN { printf "%.2f", a / b }')"
