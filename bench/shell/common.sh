# What the main-window benchmarks (idle.sh, startup.sh, endurance.sh) share, sourced after
# "root" and "build" are set (an empty build: the Release build bench/build-release makes):
# the build's programs, a private work folder, a private Xvfb (offscreen when there is none),
# the simulated access point with its request log, the host's settings for it, and the
# checks of what a window did.
[ -n "$build" ] || build=$("$root/bench/build-release")

find_program() { find "$build" -name "$1" -type f -perm -u+x | head -n1; }
module=$(find_program qrn5290ap)
bare=$(find_program bare-window)
devsim=$(find "$build" -path '*devsim/devsim' -type f -perm -u+x | head -n1)
[ -n "$module" ] && [ -n "$bare" ] && [ -n "$devsim" ] || { echo "build qrn5290ap, bare-window and devsim first"; exit 1; }

# shellcheck source=bench/common/work.sh
source "$root/bench/common/work.sh"

# The simulated access point; it logs every request in $work/devsim/requests.log.
port=$(free_port)
"$devsim" --address 127.0.0.1 --port "$port" --state "$work/devsim" >"$work/devsim.log" 2>&1 &
pids+=($!)
for _ in $(seq 1 100); do grep -q 'devsim ready' "$work/devsim.log" 2>/dev/null && break; sleep 0.1; done

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
module_args=(/I127.0.0.1 /Rpublic /Wprivate)

# CPU time of process $1 so far in ns, all its threads (the scheduler's own count, which is
# exact where the 10 ms ticks of /proc/PID/stat are not).
cpu_ns() { cat "/proc/$1/task/"*/schedstat 2>/dev/null | awk '{ s += $1 } END { printf "%.0f", s }'; }
rss_kib() { awk '/^VmRSS:/ { print $2 }' "/proc/$1/status"; }

# Status polls the device has answered so far (gets of sysDescr in its request log).
device_polls() { awk '$2 == "get" && $4 == "sysDescr" && NF == 4 { n++ } END { print n + 0 }' "$work/devsim/requests.log" 2>/dev/null; }

# True when the panel of the window of process $1 changes within a few seconds (the LEDs
# blink): screenshots of the window above its status bar, compared. Always true offscreen.
panel_blinks() {
  [ "$QT_QPA_PLATFORM" = xcb ] || return 0
  local wid geometry w h shots=() i
  wid=$(xdotool search --onlyvisible --pid "$1" 2>/dev/null | head -n1)
  [ -n "$wid" ] || return 1
  geometry=$(xwininfo -id "$wid" | awk '/Width:/ { w = $2 } /Height:/ { h = $2 } END { print w, h }')
  read -r w h <<<"$geometry"
  for i in $(seq 1 40); do
    shots+=("$(xwd -silent -id "$wid" | convert xwd:- -crop "${w}x$((h - 30))+0+0" rgb:- | md5sum)")
    [ "$(printf '%s\n' "${shots[@]}" | sort -u | wc -l)" -ge 2 ] && return 0
    sleep 0.1
  done
  return 1
}

# "min median max" of the numbers given, with the format given for each.
stats() {
  printf '%s\n' "${@:2}" | sort -n | awk -v f="$1" '{ v[NR] = $1 } END {
    m = (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
    printf f " " f " " f, v[1], m, v[NR] }'
}
