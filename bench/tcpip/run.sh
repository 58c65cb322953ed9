#!/usr/bin/env bash
# FTP benchmark: T_FTP against curl and lftp, same vsftpd on loopback, same run.
#   Retrieve and Store of a 200 MB file (synchronous and asynchronous), and a LIST of a folder
#   of 20,000 files parsed into entries. Retrieve runs two ways: saved to the file after the
#   transfer, and written to it block by block from OnDataReceived (as curl -o and lftp do, and
#   as Quellin's Copy To Local does, keeping only the newest block in memory). "Receive, no file" times the bytes into memory only
#   (ours: until Retrieve returns; curl: to /dev/null). Medians of RUNS runs (default 5), ratio = ours / peer
#   in time (<= 1.0 is as fast or faster). Run by bench/run inside the loopback namespace; needs
#   root (it creates the FTP test user as the test fixture does) and BENCH_BUILD_DIR.
set -euo pipefail
source "$(dirname "$0")/ftp-bench.sh"
bench_setup tcpip
root="$work/root"
mkdir -p "$root/many" "$work/local"
head -c $((200 * 1024 * 1024)) /dev/urandom > "$root/big.bin"
cp "$root/big.bin" "$work/local/up.bin"
(cd "$root/many" && seq -f "page%05g.html" 1 20000 | xargs touch)
serve "$root"

ours() { "$bench" "$@" | sed -n 's/^seconds=//p'; }
# Before every download, ours and the peers': no earlier target, and the dirty pages of the
# earlier runs written back, so that no run pays for another's writeback.
reset_download() { rm -f "$work/local/down.bin"; sync; }

ours_retrieve() { reset_download; ours retrieve "$port" "$user" "$pass" "$1" big.bin "$work/local/down.bin"; }
ours_download() { reset_download; ours download "$port" "$user" "$pass" "$1" big.bin "$work/local/down.bin"; }
ours_store() { ours store "$port" "$user" "$pass" "$1" up.bin "$work/local/up.bin"; }
ours_list() { "$bench" list "$port" "$user" "$pass" sync many > "$work/list.out"; sed -n 's/^seconds=//p' "$work/list.out"; }
ours_receive() { "$bench" retrieve "$port" "$user" "$pass" "$1" big.bin /dev/null | sed -n 's/^received_in=//p'; }
curl_retrieve() { reset_download; time_of curl -s -o "$work/local/down.bin" "$url/big.bin"; }
curl_receive() { time_of curl -s -o /dev/null "$url/big.bin"; }
curl_store() { time_of curl -s -T "$work/local/up.bin" "$url/up.bin"; }
curl_list() { time_of curl -s -o "$work/local/list.txt" "$url/many/"; }
lftp_retrieve() { reset_download; time_of lftp -u "$user,$pass" -p "$port" -e "set net:max-retries 1; get big.bin -o $work/local/down.bin; quit" 127.0.0.1; }
lftp_store() { time_of lftp -u "$user,$pass" -p "$port" -e "set net:max-retries 1; put $work/local/up.bin -o up.bin; quit" 127.0.0.1; }

printf '%-34s %10s %10s %8s %10s %8s\n' "case (median of $runs)" "ours s" "curl s" "ratio" "lftp s" "ratio"
row() { # label, ours, curl, lftp
  local l=$1 o=$2 c=$3 f=${4:-}
  if [ -n "$f" ]; then
    printf '%-34s %10.3f %10.3f %8.2f %10.3f %8.2f\n' "$l" "$o" "$c" "$(ratio "$o" "$c")" "$f" "$(ratio "$o" "$f")"
  else
    printf '%-34s %10.3f %10.3f %8.2f\n' "$l" "$o" "$c" "$(ratio "$o" "$c")"
  fi
}
c_get=$(measure curl_retrieve)
f_get=$(measure lftp_retrieve)
row "Retrieve 200 MB, synchronous" "$(measure ours_retrieve sync)" "$c_get" "$f_get"
row "Retrieve 200 MB, asynchronous" "$(measure ours_retrieve async)" "$c_get" "$f_get"
row "Retrieve, written as it comes, sync" "$(measure ours_download sync)" "$c_get" "$f_get"
row "Retrieve, written as it comes, async" "$(measure ours_download async)" "$c_get" "$f_get"
c_null=$(measure curl_receive)
row "Receive 200 MB, no file, sync" "$(measure ours_receive sync)" "$c_null"
row "Receive 200 MB, no file, async" "$(measure ours_receive async)" "$c_null"
c_put=$(measure curl_store)
f_put=$(measure lftp_store)
row "Store 200 MB, synchronous" "$(measure ours_store sync)" "$c_put" "$f_put"
row "Store 200 MB, asynchronous" "$(measure ours_store async)" "$c_put" "$f_put"
row "LIST 20,000 files (+ parse)" "$(measure ours_list)" "$(measure curl_list)"
sed -n 's/^entries=/listing: entries=/p' "$work/list.out"
