#!/usr/bin/env bash
# The list-view walk benchmark offscreen and on a real X server (a private Xvfb).
# Usage: bench/bindings/run.sh [path/to/bench_bindings] [benchmark arguments...]
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
bench=${1:-}
[ $# -gt 0 ] && shift
if [ -z "$bench" ]; then
  "$root/bench/build-release" >/dev/null
  bench=$root/build/bench/bench/bindings/bench_bindings
fi
[ -x "$bench" ] || { echo "bench_bindings not found at $bench"; exit 1; }

QT_QPA_PLATFORM=offscreen "$bench" "$@"

command -v Xvfb >/dev/null || { echo "Xvfb is not installed: no run on an X server"; exit 0; }
numfile=$(mktemp)
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$numfile" >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null || true; wait $xvfb 2>/dev/null || true; rm -f "$numfile"' EXIT
for _ in $(seq 1 100); do [ -s "$numfile" ] && break; sleep 0.1; done
[ -s "$numfile" ] || { echo "Xvfb did not start"; exit 1; }
DISPLAY=":$(head -n1 "$numfile")" QT_QPA_PLATFORM=xcb "$bench" "$@"
