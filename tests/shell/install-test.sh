#!/usr/bin/env bash
# The installed program: `cmake --install` puts it in bin/ and its message files in
# share/qrn5290ap/errmsg/, and the program started from bin/ reads them there.
# usage: install-test.sh BUILD_FOLDER
set -euo pipefail
build=$(cd "$1" && pwd)
work=$(mktemp -d "$build/install-test.XXXXXX")
trap 'rm -rf "$work"' EXIT
DESTDIR="$work/dest" cmake --install "$build" --prefix /usr >"$work/install.log" 2>&1 ||
  { cat "$work/install.log"; exit 1; }
prefix="$work/dest/usr"
[ -x "$prefix/bin/qrn5290ap" ] || { echo "no program in bin/"; cat "$work/install.log"; exit 1; }
messages="$prefix/share/qrn5290ap/errmsg"
for name in common.err snmp.err snmpv3.err snmpusm.err snmpclass.err kvsnmp.err snmp.msg; do
  [ -s "$messages/$name" ] || { echo "no $name in share/qrn5290ap/errmsg/"; exit 1; }
done

mkdir -p "$work/run" "$work/data" "$work/cwd"
chmod 700 "$work/run"
export QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR="$work/run" XDG_DATA_HOME="$work/data"
export ORVALE_HOST_SETTINGS="$work/no-host.ini"
cd "$work/cwd"
# Started for a device, the program opens every message file of its data folder (the kernel
# tells of each open), then SIGTERM closes it.
python3 - "$messages" "$work/module.log" "$prefix/bin/qrn5290ap" /I127.0.0.1 /Rpublic <<'PY'
import ctypes, os, select, struct, subprocess, sys, time

folder, log, program = sys.argv[1], sys.argv[2], sys.argv[3:]
libc = ctypes.CDLL(None, use_errno=True)
fd = libc.inotify_init1(os.O_NONBLOCK | os.O_CLOEXEC)
if fd < 0 or libc.inotify_add_watch(fd, folder.encode(), 0x20) < 0:  # IN_OPEN
    sys.exit("inotify: " + os.strerror(ctypes.get_errno()))
expected = set(os.listdir(folder))
opened = set()

def drain():
    try:
        data = os.read(fd, 65536)
    except BlockingIOError:
        return
    at = 0
    while at < len(data):
        _, _, _, length = struct.unpack_from("iIII", data, at)
        opened.add(data[at + 16:at + 16 + length].rstrip(b"\0").decode())
        at += 16 + length

with open(log, "wb") as out:
    module = subprocess.Popen(program, stdout=out, stderr=subprocess.STDOUT)
    deadline = time.monotonic() + 60
    while expected - opened and module.poll() is None and time.monotonic() < deadline:
        if select.select([fd], [], [], 0.2)[0]:
            drain()
    drain()
    running = module.poll() is None
    module.terminate()
    module.wait(60)
if expected - opened:
    print("the installed program did not read", sorted(expected - opened), "(running: %s)" % running)
    print(open(log, errors="replace").read())
    sys.exit(1)
print("installed in bin/ and share/qrn5290ap/; the program read its", len(expected), "message files")
PY
