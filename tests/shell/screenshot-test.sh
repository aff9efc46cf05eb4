#!/usr/bin/env bash
# The module, started under Xvfb against the simulated access point, shows its main window
# and talks to the device. usage: screenshot-test.sh SOURCE_FOLDER BUILD_FOLDER
set -euo pipefail
root=$1
build=$2
work=$(mktemp -d -t kv-shot.XXXXXX)
trap 'rm -rf "$work"' EXIT
port=$(python3 -c 'import socket; s = socket.socket(socket.AF_INET, socket.SOCK_DGRAM); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
unset DISPLAY
# Its own lock and data folders, so in-process tests of the same address do not interfere.
mkdir -p "$work/run" "$work/data"
chmod 700 "$work/run"
export XDG_RUNTIME_DIR="$work/run" XDG_DATA_HOME="$work/data"
KV_DEMO_PORT=$port KV_DEMO_STATE="$work/state" KV_DEMO_SHOT="$work/shot.png" KV_SHOT_SECONDS=${KV_SHOT_SECONDS:-8} \
  "$root/scripts/demo-run" "$build"
[ -s "$work/shot.png" ] || { echo "no screenshot"; exit 1; }
# The module wrote the PC clock to the device at start-up.
grep -q sntptimerefresh "$work/state/writes.log" || { echo "the device saw no start-up write"; exit 1; }
# The window (top left) is drawn; the rest of the screen stays black.
win=$(convert "$work/shot.png" -crop 236x240+0+0 +repage -format '%[fx:mean]' info:)
rest=$(convert "$work/shot.png" -crop 400x400+600+300 +repage -format '%[fx:mean]' info:)
echo "window brightness $win, background $rest"
awk -v w="$win" -v r="$rest" 'BEGIN { exit !(w > 0.2 && r < 0.01) }'
