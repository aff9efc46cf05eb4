#!/usr/bin/env bash
# Two real module processes: a second one for the same device ends at once, one for another
# device runs; SIGTERM closes the first. usage: single-instance-test.sh BUILD_FOLDER
set -euo pipefail
module="$1/app/qrn5290ap"
work=$(mktemp -d -t kv-instance.XXXXXX)
first=
# Only a job still running: the number of one that ended may belong to another process by now.
running() { jobs -pr | grep -qx "$1"; }
cleanup() { [ -n "$first" ] && running "$first" && kill "$first" 2>/dev/null; rm -rf "$work"; }
trap cleanup EXIT
mkdir -p "$work/run" "$work/data"
chmod 700 "$work/run"
export QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR="$work/run" XDG_DATA_HOME="$work/data"

"$module" /I127.0.0.1 /Rpublic >"$work/first.log" 2>&1 &
first=$!
# The first instance holds the device's lock once its lock file exists.
for _ in $(seq 1 100); do
  ls "$work/run"/*127.0.0.1* >/dev/null 2>&1 && break
  sleep 0.1
done
kill -0 "$first" || { echo "the first instance ended"; cat "$work/first.log"; exit 1; }

rc=0
timeout 30 "$module" /I127.0.0.1 /Rpublic >"$work/second.log" 2>&1 || rc=$?
[ "$rc" -ne 124 ] || { echo "a second instance for the same device kept running"; exit 1; }
kill -0 "$first" || { echo "the first instance ended with the second"; exit 1; }

rc=0
timeout 5 "$module" /I127.0.0.2 /Rpublic >"$work/third.log" 2>&1 || rc=$?
[ "$rc" -eq 124 ] || { echo "an instance for another device ended (rc $rc)"; cat "$work/third.log"; exit 1; }
# SIGTERM closes the first instance as the user's close does: it ends by itself, not by the signal.
kill -TERM "$first"
rc=0
wait "$first" || rc=$?
first=
[ "$rc" -eq 0 ] || { echo "the module ended by SIGTERM (rc $rc) instead of closing"; cat "$work/first.log"; exit 1; }
echo "second instance refused, other device runs, SIGTERM closes the window"
