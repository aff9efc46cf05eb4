#!/usr/bin/env bash
# Memory of the running module beside a bare Qt window following the same LED rule
# (bare-window rule): the resident memory of both after 60 s of running against a device that
# answers (Xvfb, real time), then the growth of both over a day of polls on a clock 400 times
# faster (offscreen: shell-endurance, the module's main window in process, 43,200 polls and
# their capability re-reads; bare-window rule --speed 400 --polls 43200). Each run checks its
# work: polls answered, re-reads made, no answer left outstanding.
# Usage: bench/shell/endurance.sh [build folder] [polls]
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-}
polls=${2:-43200}
# shellcheck source=bench/shell/common.sh
source "$root/bench/shell/common.sh"
endurance=$(find_program shell-endurance)
[ -n "$endurance" ] || { echo "build shell-endurance first"; exit 1; }

failures=()
# After 60 s, side by side.
"$module" "${module_args[@]}" >"$work/module.out" 2>&1 &
mpid=$!
"$bare" rule >"$work/bare.out" 2>&1 &
bpid=$!
sleep 60
mrss=$(rss_kib "$mpid" || echo 0)
brss=$(rss_kib "$bpid" || echo 0)
kill "$mpid" "$bpid"
wait "$mpid" 2>/dev/null || true
wait "$bpid" 2>/dev/null || true
[ "$(device_polls)" -ge 24 ] || failures+=("module: $(device_polls) polls reached the device in 60 s")
bpolls=$(awk '$1 == "polls" { print $2 + 0 }' "$work/bare.out")
[ "${bpolls:-0}" -ge 24 ] || failures+=("bare window: ${bpolls:-no} polls in 60 s")

# A day of polls, side by side.
QT_QPA_PLATFORM=offscreen "$endurance" "$polls" 400 >"$work/day.module" 2>&1 &
mpid=$!
QT_QPA_PLATFORM=offscreen "$bare" rule --speed 400 --polls "$polls" >"$work/day.bare" 2>&1 &
bpid=$!
wait "$mpid" || failures+=("module's day: $(grep -m1 FAILED "$work/day.module" || tail -n1 "$work/day.module")")
wait "$bpid" || failures+=("bare window's day: $(tail -n1 "$work/day.bare")")
mgrow=$(awk '/^memory at end:/ { gsub(/[(+)]/, "", $6); print $6 }' "$work/day.module")
bgrow=$(awk '/^memory at the 100th poll:/ { gsub(/[(+)]/, "", $13); print $13 }' "$work/day.bare")
bdone=$(awk '$1 == "polls" { print $2 + 0 }' "$work/day.bare")
[ "${bdone:-0}" -ge "$polls" ] || failures+=("bare window's day: ${bdone:-no} polls")

echo "memory, device answering: resident after 60 s ($QT_QPA_PLATFORM), growth over $polls polls on a fast clock (offscreen)"
printf '  %-40s %8s KiB   growth %7s KiB\n' "module" "$mrss" "${mgrow:-?}"
printf '  %-40s %8s KiB   growth %7s KiB\n' "bare Qt window, the rule" "$brss" "${bgrow:-?}"
printf '  module / bare after 60 s  %s   goal <= 2.00\n' \
  "$(awk -v a="$mrss" -v b="$brss" 'BEGIN { printf "%.2f", (b > 0 ? a / b : 99) }')"
printf '  module growth over the day  %s KiB   goal <= 1024 KiB\n' "${mgrow:-?}"
[ -n "$mgrow" ] || failures+=("module's day printed no growth")
grep -E '^(polls|live requests):' "$work/day.module" | sed 's/^/  module: /'
if [ ${#failures[@]} -gt 0 ]; then
  printf 'FAILED: %s\n' "${failures[@]}"
  exit 2
fi
