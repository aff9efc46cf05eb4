#!/usr/bin/env bash
# CPU the running module uses while it only polls the (simulated) device, which answers, and
# blinks its LEDs by the rule: a good poll every 2 s starts a burst of 100 steps of 30 ms (a
# poll during a burst adds one step), LAN toggling on every step and WLAN on every fourth,
# about 3 s of blinking in every 4. Beside it, in turns, bare Qt windows (bare-window):
#   rule            the same rule written the plain Qt way (pictures shown and hidden over the
#                   panel, a status text per poll): the reference of the goal
#   rule in place   the same rule with LEDs that repaint only their own pixels: the floor
#   continuous      one picture shown or hidden every 30 ms without pause: not the rule, so
#                   outside the goal
# Every run is checked: the module must have polled (the device's request log) and each window
# must blink (screenshots of its panel differ); a run that did not do its work fails the
# benchmark. Runs on a private Xvfb (offscreen when there is none). Last, with valgrind, the
# user-space instructions of the module and of the rule reference over 40 s, counted by
# callgrind, which the machine's load does not change.
# Usage: bench/shell/idle.sh [build folder] [rounds] [seconds per run]
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-}
rounds=${2:-3}
seconds=${3:-60}
# shellcheck source=bench/shell/common.sh
source "$root/bench/shell/common.sh"

failures=()
# Sets figure to the percent of one CPU the program uses over the run, after a few seconds to
# settle; then checks its work. Usage: measure NAME PROGRAM ARGS...
measure() {
  local name=$1 pid a b polls_before polls out="$work/out"
  shift
  figure=0
  polls_before=$(device_polls)
  "$@" >"$out" 2>&1 &
  pid=$!
  sleep 5
  kill -0 "$pid" 2>/dev/null || { failures+=("$name ended early"); return; }
  a=$(cpu_ns "$pid")
  sleep "$seconds"
  b=$(cpu_ns "$pid")
  panel_blinks "$pid" || failures+=("$name: the panel did not blink")
  kill "$pid"
  wait "$pid" 2>/dev/null || true
  polls=$(($(device_polls) - polls_before))
  if [ "$name" = module ]; then
    [ "$polls" -ge $((seconds * 2 / 5)) ] || failures+=("module: $polls polls reached the device in $((seconds + 5)) s")
  else
    polls=$(awk '$1 == "polls" { print $2 + 0; found = 1 } END { if (!found) print 0 }' "$out")
    [ "$name" = continuous ] || [ "$polls" -ge $((seconds * 2 / 5)) ] ||
      failures+=("$name: $polls polls in $((seconds + 5)) s")
  fi
  figure=$(awk -v d=$((b - a)) -v s="$seconds" 'BEGIN { printf "%.3f", 100 * d / 1e9 / s }')
}

names=(module rule in-place continuous)
declare -A runs
run() {
  case $1 in
  module) measure module "$module" "${module_args[@]}" ;;
  rule) measure rule "$bare" rule ;;
  in-place) measure in-place "$bare" rule in-place ;;
  continuous) measure continuous "$bare" blink ;;
  esac
  runs[$1]="${runs[$1]:-} $figure"
}
for i in $(seq 1 "$rounds"); do
  # Who goes first changes every round.
  if [ $((i % 2)) -eq 1 ]; then order=("${names[@]}"); else order=(continuous in-place rule module); fi
  for n in "${order[@]}"; do run "$n"; done
done

declare -A med
echo "idle CPU over ${seconds} s, device answering ($QT_QPA_PLATFORM), $rounds rounds taking turns;" \
  "% of one CPU min / median / max"
for n in "${names[@]}"; do
  # shellcheck disable=SC2086
  read -r lo m hi <<<"$(stats %.3f ${runs[$n]})"
  med[$n]=$m
  case $n in
  module) label="module" ;;
  rule) label="bare Qt window, the rule (LEDs shown and hidden)" ;;
  in-place) label="bare Qt window, the rule, LEDs repainting only themselves" ;;
  continuous) label="bare Qt window, one picture blinking without pause (not the rule)" ;;
  esac
  printf '  %-66s %6s %6s %6s\n' "$label" "$lo" "$m" "$hi"
done
printf '  module / rule reference (medians)  %s   goal <= 0.90\n' \
  "$(awk -v a="${med[module]}" -v b="${med[rule]}" 'BEGIN { printf "%.2f", (b > 0 ? a / b : 99) }')"
# Instructions in 40 s after 25 s to start, both at once; the module's polls are counted too.
instructions() { # label, program and arguments: sets count
  local label=$1 pid
  shift
  valgrind --tool=callgrind --callgrind-out-file="$work/cg.$label.%p" "$@" >/dev/null 2>&1 &
  pid=$!
  sleep 25
  callgrind_control -z "$pid" >/dev/null 2>&1
  sleep 40
  callgrind_control -d "$pid" >/dev/null 2>&1
  kill "$pid"
  wait "$pid" 2>/dev/null || true
  awk '/^(summary|totals):/ { print $2; exit }' "$work/cg.$label.$pid.1" 2>/dev/null
}
if command -v valgrind >/dev/null; then
  polls_before=$(device_polls)
  instructions rule "$bare" rule >"$work/count.rule" &
  counting=$!
  module_count=$(instructions module "$module" "${module_args[@]}")
  wait "$counting"
  rule_count=$(cat "$work/count.rule")
  polls=$(($(device_polls) - polls_before))
  if [ -n "$module_count" ] && [ -n "$rule_count" ] && [ "$polls" -ge 25 ]; then
    awk -v a="$module_count" -v b="$rule_count" 'BEGIN { printf "  user-space instructions in 40 s (callgrind), module / rule reference: %.1fM / %.1fM = %.2f\n", a / 1e6, b / 1e6, a / b }'
  else
    failures+=("instructions: no count, or the module polled $polls times in 65 s under callgrind")
  fi
fi
if [ ${#failures[@]} -gt 0 ]; then
  printf 'FAILED: %s\n' "${failures[@]}"
  exit 2
fi
