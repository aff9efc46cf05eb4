#!/usr/bin/env bash
# Times 10 MiB gets and puts with tftp-hpa against tftp-serve (KvTFTPServer) and against
# Debian's tftpd-hpa, both on loopback, and prints the ratio of their times.
# Usage: bench/tftp/compare.sh [path/to/tftp-serve] [rounds]
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
serve=${1:-$root/build/main/bench/tftp/tftp-serve}
rounds=${2:-3}
[ -x "$serve" ] || { echo "tftp-serve not found at $serve (build the tftp-serve target)"; exit 1; }
command -v tftp >/dev/null || { echo "tftp (tftp-hpa) is not installed"; exit 1; }
[ -x /usr/sbin/in.tftpd ] || { echo "in.tftpd (tftpd-hpa) is not installed"; exit 1; }

work=$(mktemp -d /tmp/kvtftp-bench.XXXXXX)
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; wait "$p" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT

free_port() {
  if command -v python3 >/dev/null; then
    python3 -c 'import socket; s=socket.socket(socket.AF_INET, socket.SOCK_DGRAM); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])'
  else
    shuf -i 20000-60000 -n 1
  fi
}

mkdir -p "$work/ours" "$work/theirs" "$work/local"
head -c $((10 * 1024 * 1024)) /dev/urandom >"$work/local/payload.bin"
cp "$work/local/payload.bin" "$work/ours/payload.bin"
cp "$work/local/payload.bin" "$work/theirs/payload.bin"
chmod 777 "$work/theirs"

port_ours=$(free_port)
"$serve" "$work/ours" "$port_ours" 2>"$work/ours.log" &
pids+=($!)
port_theirs=$(free_port)
user_args=()
[ "$(id -u)" -eq 0 ] && user_args=(-u root)
/usr/sbin/in.tftpd -L -s "$work/theirs" -a "127.0.0.1:$port_theirs" --create "${user_args[@]}" 2>"$work/theirs.log" &
pids+=($!)
sleep 0.3

now_ns() { date +%s%N; }

# Prints the milliseconds of one tftp-hpa transfer; fails when the file differs.
transfer_ms() {
  local port=$1 dir=$2 direction=$3 i=$4 start end
  start=$(now_ns)
  if [ "$direction" = get ]; then
    tftp -m binary 127.0.0.1 "$port" -c get payload.bin "$work/local/got-$port-$i.bin"
    end=$(now_ns)
    cmp -s "$work/local/payload.bin" "$work/local/got-$port-$i.bin" || { echo "get from port $port differs" >&2; return 1; }
    rm -f "$work/local/got-$port-$i.bin"
  else
    tftp -m binary 127.0.0.1 "$port" -c put "$work/local/payload.bin" "put-$i.bin"
    end=$(now_ns)
    cmp -s "$work/local/payload.bin" "$dir/put-$i.bin" || { echo "put to port $port differs" >&2; return 1; }
  fi
  echo $(((end - start) / 1000000))
}

declare -A total=([ours_get]=0 [ours_put]=0 [theirs_get]=0 [theirs_put]=0)
for i in $(seq 1 "$rounds"); do
  for direction in get put; do
    t=$(transfer_ms "$port_ours" "$work/ours" "$direction" "$i")
    total[ours_$direction]=$((total[ours_$direction] + t))
    t=$(transfer_ms "$port_theirs" "$work/theirs" "$direction" "$i")
    total[theirs_$direction]=$((total[theirs_$direction] + t))
  done
done

echo "10 MiB transfers with tftp-hpa over loopback, $rounds rounds (mean ms):"
for direction in get put; do
  ours=$((total[ours_$direction] / rounds))
  theirs=$((total[theirs_$direction] / rounds))
  ratio=$(awk -v a="$ours" -v b="$theirs" 'BEGIN { if (b == 0) b = 1; printf "%.2f", a / b }')
  printf '  %-4s KvTFTPServer %6d ms   tftpd-hpa %6d ms   ratio (ours/theirs) %s\n' "$direction" "$ours" "$theirs" "$ratio"
done
all_ours=$((total[ours_get] + total[ours_put]))
all_theirs=$((total[theirs_get] + total[theirs_put]))
awk -v a="$all_ours" -v b="$all_theirs" 'BEGIN { if (b == 0) b = 1; printf "overall ratio (ours/theirs): %.2f (below 1 means faster)\n", a / b }'
