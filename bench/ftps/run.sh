#!/usr/bin/env bash
# FTP over TLS benchmark: FtpRemoteFiles against curl --ssl-reqd, same vsftpd (TLS required,
# data connections must resume the control connection's session) on loopback, same run.
# Retrieve and Store of a 200 MB file, synchronous and asynchronous waits, both sides logging
# in (handshake included) and verifying the server's certificate against the same CA. Medians
# of RUNS runs (default 5); ratio = ours / curl in time (<= 1.0 is as fast or faster). Run by
# bench/run inside the loopback namespace; needs root and BENCH_BUILD_DIR.
set -euo pipefail
source "$(dirname "$0")/../tcpip/ftp-bench.sh"
bench_setup ftps
root="$work/root"
mkdir -p "$root" "$work/local" "$work/tls"
(cd "$work/tls"
 openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -keyout ca.key -out ca.pem \
   -days 2 -subj "/CN=Bench CA" 2>/dev/null
 openssl req -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -keyout server.key -out server.csr \
   -subj "/CN=server" 2>/dev/null
 echo "subjectAltName=IP:127.0.0.1,DNS:localhost" > server.cnf
 openssl x509 -req -in server.csr -CA ca.pem -CAkey ca.key -CAcreateserial -out server.pem -days 2 \
   -extfile server.cnf 2>/dev/null)
ca="$work/tls/ca.pem"
vsftpd_extra="ssl_enable=YES
force_local_logins_ssl=YES
force_local_data_ssl=YES
ssl_request_cert=NO
ssl_ciphers=HIGH
rsa_cert_file=$work/tls/server.pem
rsa_private_key_file=$work/tls/server.key"
head -c $((200 * 1024 * 1024)) /dev/urandom > "$root/big.bin"
cp "$root/big.bin" "$work/local/up.bin"
serve "$root"

reset_download() { rm -f "$work/local/down.bin"; sync; }
check_download() { cmp -s "$root/big.bin" "$work/local/down.bin" || { echo "retrieved file differs" >&2; exit 1; }; }
ours() { "$bench" "$@" | sed -n 's/^seconds=//p'; }
ours_retrieve() { reset_download; ours retrieve "$port" "$user" "$pass" "$ca" "$1" big.bin "$work/local/down.bin"; check_download; }
ours_store() { ours store "$port" "$user" "$pass" "$ca" "$1" up.bin "$work/local/up.bin"; }
curl_tls() { time_of curl -s --ssl-reqd --cacert "$ca" "$@"; }
curl_retrieve() { reset_download; curl_tls -o "$work/local/down.bin" "$url/big.bin"; check_download; }
curl_store() { curl_tls -T "$work/local/up.bin" "$url/up.bin"; }

printf '%-34s %10s %10s %8s\n' "case (median of $runs)" "ours s" "curl s" "ratio"
row() { printf '%-34s %10.3f %10.3f %8.2f\n' "$1" "$2" "$3" "$(ratio "$2" "$3")"; }
c_get=$(measure curl_retrieve)
row "Retrieve 200 MB, synchronous" "$(measure ours_retrieve sync)" "$c_get"
row "Retrieve 200 MB, asynchronous" "$(measure ours_retrieve async)" "$c_get"
c_put=$(measure curl_store)
row "Store 200 MB, synchronous" "$(measure ours_store sync)" "$c_put"
row "Store 200 MB, asynchronous" "$(measure ours_store async)" "$c_put"
