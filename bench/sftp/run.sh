#!/usr/bin/env bash
# SFTP benchmark: SftpSession against OpenSSH's sftp in batch mode, same sshd on loopback, same
# run. Retrieve and Store of a 200 MB file (synchronous and asynchronous waits) and a listing of
# a folder of 20,000 files. Both sides log in with the same key of the same user, log-in
# included. Medians of RUNS runs (default 5); ratio = ours / peer in time (<= 1.0 is as fast or
# faster). Run by bench/run inside the loopback namespace; needs root (it makes the test user
# as the test fixture does) and BENCH_BUILD_DIR.
set -euo pipefail
runs=${RUNS:-5}
bench="${BENCH_BUILD_DIR:?set BENCH_BUILD_DIR to a release build}/bench/sftp/sftp_bench"
[ -x "$bench" ] || { echo "missing $bench (build target sftp_bench)" >&2; exit 1; }
work=$(mktemp -d /tmp/sftp-bench-XXXXXX)
chmod 755 "$work"
trap 'kill "${sshd_pid:-}" 2>/dev/null || true; rm -rf "$work"' EXIT

source "$(dirname "$0")/../sshd.sh"
user=$ssh_user
root="$work/home/$user"
mkdir -p "$root/many" "$work/local"
head -c $((200 * 1024 * 1024)) /dev/urandom > "$root/big.bin"
cp "$root/big.bin" "$work/local/up.bin"
(cd "$root/many" && seq -f "page%05g.html" 1 20000 | xargs touch)
ensure_ssh_user
chown -R "$user" "$root"
start_sshd "$root" "$work"

now() { date +%s.%N; }
median() { sort -g | awk '{a[NR]=$1} END {print (NR%2 ? a[(NR+1)/2] : (a[NR/2]+a[NR/2+1])/2)}'; }
time_of() { local s e; s=$(now); "$@" >/dev/null 2>&1; e=$(now); awk -v s="$s" -v e="$e" 'BEGIN { print e - s }'; }
measure() {
  local values=()
  for _ in $(seq "$runs"); do values+=("$("$@")"); done
  printf '%s\n' "${values[@]}" | median
}
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { print a / b }'; }
reset_download() { rm -f "$work/local/down.bin"; sync; }
check_download() { cmp -s "$root/big.bin" "$work/local/down.bin" || { echo "retrieved file differs" >&2; exit 1; }; }

ours() { "$bench" "$@" | sed -n 's/^seconds=//p'; }
ours_retrieve() { reset_download; ours retrieve "$port" "$user" "$work/client" "$1" big.bin "$work/local/down.bin"; check_download; }
ours_store() { ours store "$port" "$user" "$work/client" "$1" up.bin "$work/local/up.bin"; }
ours_list() { ours list "$port" "$user" "$work/client" sync many; }
peer() {
  printf '%s\n' "$1" > "$work/batch"
  time_of sftp -b "$work/batch" -i "$work/client/id_ed25519" -P "$port" \
    -o UserKnownHostsFile="$work/client/known_hosts" -o StrictHostKeyChecking=accept-new \
    -o BatchMode=yes "$user@127.0.0.1"
}
peer_retrieve() { reset_download; peer "get big.bin $work/local/down.bin"; check_download; }
peer_store() { peer "put $work/local/up.bin up.bin"; }
peer_list() { peer "ls -l many"; }

# The first log-in of each stores the host key; not timed.
"$bench" list "$port" "$user" "$work/client" sync . >/dev/null
peer "ls" >/dev/null

printf '%-34s %10s %10s %8s\n' "case (median of $runs)" "ours s" "sftp s" "ratio"
row() { printf '%-34s %10.3f %10.3f %8.2f\n' "$1" "$2" "$3" "$(ratio "$2" "$3")"; }
p_get=$(measure peer_retrieve)
row "Retrieve 200 MB, synchronous" "$(measure ours_retrieve sync)" "$p_get"
row "Retrieve 200 MB, asynchronous" "$(measure ours_retrieve async)" "$p_get"
p_put=$(measure peer_store)
row "Store 200 MB, synchronous" "$(measure ours_store sync)" "$p_put"
row "Store 200 MB, asynchronous" "$(measure ours_store async)" "$p_put"
row "Listing of 20,000 files" "$(measure ours_list)" "$(measure peer_list)"
