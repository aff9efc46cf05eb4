#!/usr/bin/env bash
# CPU the running module uses while it only polls the (simulated) device, which answers,
# against a bare Qt window, the same window with a timer that ticks every 30 ms like the LED
# blink timer and does nothing, and the same timer showing or hiding a small picture on every
# tick as the LAN LED does while it blinks; they take turns. Runs on a private Xvfb
# (offscreen when there is none).
# Usage: bench/shell/idle.sh [build folder] [rounds] [seconds per run]
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-}
rounds=${2:-2}
seconds=${3:-60}
if [ -z "$build" ]; then
  build=$("$root/bench/build-release")
fi
module=$(find "$build" -name qrn5290ap -type f -perm -u+x | head -n1)
bare=$(find "$build" -name bare-window -type f -perm -u+x | head -n1)
devsim=$(find "$build" -path '*devsim/devsim' -type f -perm -u+x | head -n1)
[ -n "$module" ] && [ -n "$bare" ] && [ -n "$devsim" ] || { echo "build qrn5290ap, bare-window and devsim first"; exit 1; }

work=$(mktemp -d /tmp/kv-idle.XXXXXX)
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; wait "$p" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT

port=$(python3 -c 'import socket; s=socket.socket(socket.AF_INET, socket.SOCK_DGRAM); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
"$devsim" --address 127.0.0.1 --port "$port" --state "$work/devsim" >"$work/devsim.log" 2>&1 &
pids+=($!)

if command -v Xvfb >/dev/null; then
  numfile="$work/display"
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$numfile" >/dev/null 2>&1 &
  pids+=($!)
  for _ in $(seq 1 100); do [ -s "$numfile" ] && break; sleep 0.1; done
  export DISPLAY=":$(head -n1 "$numfile")"
  export QT_QPA_PLATFORM=xcb
else
  export QT_QPA_PLATFORM=offscreen
fi

# The host's settings for 127.0.0.1 (SNMPv2c on the simulator's port) and private folders.
mkdir -p "$work/MBF" "$work/data" "$work/run"
chmod 700 "$work/run"
printf '[MibFile]\nPath=%s/MBF/\n' "$work" >"$work/host.ini"
printf '[Program Information]\nAgentPort=%s\nVersion=1\nSecurityModel=2\nSecurityLevel=0\nAuthProtocol=0\nPrivProtocol=0\n' \
  "$port" >"$work/MBF/127.0.0.1.cfg"
export ORVALE_HOST_SETTINGS="$work/host.ini" XDG_DATA_HOME="$work/data" XDG_RUNTIME_DIR="$work/run"

ticks=$(getconf CLK_TCK)
cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }

# Percent of one CPU the program uses over the run, after a few seconds to settle.
measure() {
  "$@" >/dev/null 2>&1 &
  local pid=$! a b
  trap 'kill $pid 2>/dev/null || true' EXIT
  sleep 5
  kill -0 "$pid" 2>/dev/null || { echo "$1 ended early" >&2; exit 1; }
  a=$(cpu_ticks "$pid")
  sleep "$seconds"
  b=$(cpu_ticks "$pid")
  kill "$pid"
  wait "$pid" 2>/dev/null || true
  awk -v d=$((b - a)) -v t="$ticks" -v s="$seconds" 'BEGIN { printf "%.2f", 100 * d / t / s }'
}

mod=()
ref=()
tick=()
blink=()
for i in $(seq 1 "$rounds"); do
  if [ $((i % 2)) -eq 1 ]; then
    mod+=("$(measure "$module" /I127.0.0.1 /Rpublic /Wprivate)")
    ref+=("$(measure "$bare")")
    tick+=("$(measure "$bare" 30)")
    blink+=("$(measure "$bare" 30 blink)")
  else
    blink+=("$(measure "$bare" 30 blink)")
    tick+=("$(measure "$bare" 30)")
    ref+=("$(measure "$bare")")
    mod+=("$(measure "$module" /I127.0.0.1 /Rpublic /Wprivate)")
  fi
done
stats() { printf '%s\n' "$@" | sort -n | awk '{ v[NR] = $1 } END {
  m = (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
  printf "%.2f %.2f %.2f", v[1], m, v[NR] }'; }
read -r mmin mmed mmax <<<"$(stats "${mod[@]}")"
read -r rmin rmed rmax <<<"$(stats "${ref[@]}")"
read -r tmin tmed tmax <<<"$(stats "${tick[@]}")"
read -r bmin bmed bmax <<<"$(stats "${blink[@]}")"
echo "idle CPU over ${seconds} s of polling, device answering ($QT_QPA_PLATFORM), $rounds rounds taking turns; % of one CPU min / median / max"
printf '  module        %5s %5s %5s   (goal <= 0.30)\n' "$mmin" "$mmed" "$mmax"
printf '  bare Qt window %5s %5s %5s\n' "$rmin" "$rmed" "$rmax"
printf '  bare Qt window with a 30 ms timer %5s %5s %5s\n' "$tmin" "$tmed" "$tmax"
printf '  bare Qt window with a 30 ms timer blinking a picture %5s %5s %5s\n' "$bmin" "$bmed" "$bmax"
