#!/usr/bin/env bash
# The program under Xvfb against the simulated access point: Advanced \ Filter \ WLAN Patrition
# opens the form, which reads the device, and its Apply writes both flags.
# usage: wpart-xvfb-test.sh BUILD_FOLDER
set -euo pipefail
build=$1
work=$(mktemp -d -t kv-wpart.XXXXXX)
pids=()
# Only a job still running: the number of one that ended may belong to another process by now.
running() { jobs -pr | grep -qx "$1"; }
cleanup() {
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do
    if running "${pids[i]}"; then kill "${pids[i]}" 2>/dev/null || true; fi
  done
  # Ended before their folder goes: devsim writes into it until it exits.
  for p in "${pids[@]}"; do wait "$p" 2>/dev/null || true; done
  rm -rf "$work" || true
}
trap cleanup EXIT
port=$(python3 -c 'import socket; s = socket.socket(socket.AF_INET, socket.SOCK_DGRAM); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')

Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 1 100); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(head -n1 "$work/display")"
"$build/tools/devsim/devsim" --address 127.0.0.1 --port "$port" --state "$work/state" >/dev/null &
pids+=($!)

mkdir -p "$work/MBF" "$work/run" "$work/data"
chmod 700 "$work/run"
printf '[MibFile]\nPath=%s/MBF/\n' "$work" >"$work/host.ini"
printf '[Program Information]\nAgentPort=%s\nVersion=1\nSecurityModel=2\nSecurityLevel=0\nAuthProtocol=0\nPrivProtocol=0\n' \
  "$port" >"$work/MBF/127.0.0.1.cfg"
export ORVALE_HOST_SETTINGS="$work/host.ini" XDG_RUNTIME_DIR="$work/run" XDG_DATA_HOME="$work/data"
unset QT_QPA_PLATFORM
"$build/app/qrn5290ap" /I127.0.0.1 /Rpublic /Wprivate &
pids+=($!)
main=$(timeout 20 xdotool search --sync --onlyvisible --pid "${pids[2]}" | head -n1)
# Start-up is over once the clock has been written to the device.
for _ in $(seq 1 100); do grep -q sntptimerefresh "$work/state/writes.log" 2>/dev/null && break; sleep 0.1; done

# Advanced (the second top menu), then Filter, then WLAN Patrition, pointed at with the mouse:
# which entries are enabled depends on the forms built, which are shown on the device only.
popup() { # the newest shown window of the program that is not one of those given
  for w in $(xdotool search --onlyvisible --pid "${pids[2]}"); do
    case " $* " in *" $w "*) ;; *) echo "$w" ;; esac
  done | tail -n1
}
# Points at entry N (from 0) of a popup menu of COUNT shown entries.
point() { # WINDOW N COUNT
  eval "$(xdotool getwindowgeometry --shell "$1")"
  xdotool mousemove --window "$1" 30 $((HEIGHT * (2 * $2 + 1) / (2 * $3)))
}
xdotool mousemove --window "$main" 70 10 click 1
sleep 0.5
advanced=$(popup "$main")
[ -n "$advanced" ] || { echo "the Advanced menu did not open"; exit 1; }
# Shown on this device: Performance, Filter, DHCP Server, Multi-SSID, Rogue AP.
point "$advanced" 1 5
sleep 0.8
filter=$(popup "$main" "$advanced")
[ -n "$filter" ] || { echo "the Filter menu did not open"; exit 1; }
point "$filter" 1 2
xdotool click 1
form=$(timeout 10 xdotool search --sync --onlyvisible --name 'Advanced \\ WLAN Partition' | head -n1)
[ -n "$form" ] || { echo "the form did not open"; exit 1; }
grep -q 'get .* adInternalStationConnection adEthernet2WLANAccess' "$work/state/requests.log" ||
  { echo "the form did not read the device"; exit 1; }

xdotool mousemove --window "$form" 123 130 click 1 # Apply
for _ in $(seq 1 50); do
  grep -q 'set noError v2c:private adInternalStationConnection=1 adEthernet2WLANAccess=1' "$work/state/writes.log" && break
  sleep 0.1
done
grep -q 'adEthernet2WLANAccess=1' "$work/state/writes.log" || { echo "Apply wrote nothing"; exit 1; }
echo "opened from the menu, read and applied"
