#!/usr/bin/env bash
# Times gets and puts of 10 MiB and 40 MiB with tftp-hpa as the client against tftp-serve
# (KvTFTPServer) and against Debian's tftpd-hpa, both on loopback. The two servers take turns
# in every round (who goes first alternates); prints min / median / max and the ratio of the
# medians beside the goal.
# Usage: bench/tftp/compare.sh [path/to/tftp-serve] [rounds]
# Without a path it builds the benchmarks in the Release folder build/bench and uses that.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
serve=${1:-}
rounds=${2:-5}
if [ -z "$serve" ]; then
  "$root/bench/build-release" >/dev/null
  serve=$root/build/bench/bench/tftp/tftp-serve
fi
[ -x "$serve" ] || { echo "tftp-serve not found at $serve"; exit 1; }
command -v tftp >/dev/null || { echo "tftp (tftp-hpa) is not installed"; exit 1; }
[ -x /usr/sbin/in.tftpd ] || { echo "in.tftpd (tftpd-hpa) is not installed"; exit 1; }

# shellcheck source=bench/common/work.sh
source "$root/bench/common/work.sh"

mkdir -p "$work/ours" "$work/theirs" "$work/local"
for mib in 10 40; do
  head -c $((mib * 1024 * 1024)) /dev/urandom >"$work/local/p$mib.bin"
  cp "$work/local/p$mib.bin" "$work/ours/p$mib.bin"
  cp "$work/local/p$mib.bin" "$work/theirs/p$mib.bin"
done
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

# Milliseconds of one tftp-hpa transfer; fails when the file differs.
transfer_ms() {
  local port=$1 dir=$2 direction=$3 mib=$4 start end
  if [ "$direction" = get ]; then
    start=$(now_ns)
    tftp -m binary 127.0.0.1 "$port" -c get "p$mib.bin" "$work/local/got.bin"
    end=$(now_ns)
    cmp -s "$work/local/p$mib.bin" "$work/local/got.bin" || { echo "FAILED: the file got from port $port differs from the one served" >&2; return 1; }
    rm -f "$work/local/got.bin"
  else
    start=$(now_ns)
    tftp -m binary 127.0.0.1 "$port" -c put "$work/local/p$mib.bin" "put.bin"
    end=$(now_ns)
    cmp -s "$work/local/p$mib.bin" "$dir/put.bin" || { echo "FAILED: the file put to port $port differs from the one sent" >&2; return 1; }
    rm -f "$dir/put.bin"
  fi
  echo $(((end - start) / 1000000))
}

# "min median max" of the numbers given.
stats() {
  printf '%s\n' "$@" | sort -n | awk '{ v[NR] = $1 } END {
    m = (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
    printf "%d %d %d", v[1], m, v[NR] }'
}

declare -A times
for i in $(seq 1 "$rounds"); do
  for mib in 10 40; do
    for direction in get put; do
      if [ $((i % 2)) -eq 1 ]; then order="ours theirs"; else order="theirs ours"; fi
      for who in $order; do
        if [ "$who" = ours ]; then t=$(transfer_ms "$port_ours" "$work/ours" "$direction" "$mib")
        else t=$(transfer_ms "$port_theirs" "$work/theirs" "$direction" "$mib"); fi
        times[$who-$mib-$direction]="${times[$who-$mib-$direction]:-} $t"
      done
    done
  done
done

echo "TFTP with tftp-hpa as the client over loopback, $rounds rounds taking turns; ms min / median / max"
for mib in 10 40; do
  for direction in get put; do
    # shellcheck disable=SC2086
    read -r omin omed omax <<<"$(stats ${times[ours-$mib-$direction]})"
    # shellcheck disable=SC2086
    read -r tmin tmed tmax <<<"$(stats ${times[theirs-$mib-$direction]})"
    ratio=$(awk -v a="$omed" -v b="$tmed" 'BEGIN { if (b == 0) b = 1; printf "%.2f", a / b }')
    printf '  %2d MiB %-3s  KvTFTPServer %5d %5d %5d   tftpd-hpa %5d %5d %5d   ratio %s (goal <= 1.00)\n' \
      "$mib" "$direction" "$omin" "$omed" "$omax" "$tmin" "$tmed" "$tmax" "$ratio"
  done
done
