#!/usr/bin/env bash
# Start-up time: the module (shell-startup: from the launch to a main window on screen whose
# capability probe is complete, the answers checked) against a bare Qt window that shows
# itself and reads the same objects straight on net-snmp (bare-startup), each a new process,
# taking turns. Runs on a private Xvfb (offscreen when there is none).
# Usage: bench/shell/startup.sh [build folder] [rounds]
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-}
rounds=${2:-7}
# shellcheck source=bench/shell/common.sh
source "$root/bench/shell/common.sh"
startup=$(find_program shell-startup)
reference=$(find_program bare-startup)
[ -n "$startup" ] && [ -n "$reference" ] || { echo "build shell-startup and bare-startup first"; exit 1; }
"$startup" --objects >"$work/objects"

failures=()
# Milliseconds from the launch to the window ready, as the program prints it. Usage: first PROGRAM ARGS...
first() {
  local out
  out=$("$1" --t0 "$(date +%s%N)" "${@:2}" 2>&1) || true
  figure=$(awk '/^first start:/ { print $3 }' <<<"$out")
  if [ -z "$figure" ]; then
    failures+=("$(basename "$1"): $(grep -m1 FAILED <<<"$out" || echo "no figure")")
    figure=0
  fi
}
module_runs=()
bare_runs=()
for i in $(seq 1 "$rounds"); do
  for who in $([ $((i % 2)) -eq 1 ] && echo "module bare" || echo "bare module"); do
    if [ "$who" = module ]; then
      first "$startup" --port "$port" --starts 0
      module_runs+=("$figure")
    else
      first "$reference" --port "$port" "$work/objects"
      bare_runs+=("$figure")
    fi
  done
done
read -r mlo mmed mhi <<<"$(stats %.1f "${module_runs[@]}")"
read -r blo bmed bhi <<<"$(stats %.1f "${bare_runs[@]}")"
echo "start-up to a probed window on screen ($QT_QPA_PLATFORM), $rounds rounds taking turns, each a new process;" \
  "ms min / median / max"
printf '  %-62s %7s %7s %7s\n' "module (shell-startup)" "$mlo" "$mmed" "$mhi"
printf '  %-62s %7s %7s %7s\n' "bare Qt window reading the same $(wc -l <"$work/objects") requests" "$blo" "$bmed" "$bhi"
printf '  module / bare (medians)  %s   goal <= 2.00\n' \
  "$(awk -v a="$mmed" -v b="$bmed" 'BEGIN { printf "%.2f", (b > 0 ? a / b : 99) }')"
if [ ${#failures[@]} -gt 0 ]; then
  printf 'FAILED: %s\n' "${failures[@]}"
  exit 2
fi
