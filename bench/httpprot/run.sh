#!/usr/bin/env bash
# HTTP benchmark: THttpCli (bench driver httpprot_fetch_bench) beside curl, same nginx on
# loopback, same run, over http and over https (a certificate of a CA made here; both
# clients trust it with their CA-file option):
#   - one 200 MB document into a file (the target deleted before each run, for both);
#   - 1,000 sequential fetches of a 10 kB page: one driver process against one
#     "curl --http1.0" process given the same 1,000 URLs;
#   - the batch mode's fetch of a 200 MB page of text lines alone (tarnby_batch_fetch_bench:
#     the batch mode's own fetcher, timed in process from the request until the page lies
#     complete in memory) against "curl -s -o /dev/null", and against curl keeping the page
#     too ("-o" a file in /dev/shm, memory as well);
#   - the whole batch run on that page, "tarnby --links --passes 0 URL" (the page written out
#     lower-cased with LF line ends, so the fetch is most of it) against "curl -o /dev/null",
#     in time and peak memory (/usr/bin/time), when the tarnby program is in the build.
# Prints the median of RUNS runs (default 5) for each and the ratio ours / curl in time
# (<= 1.0 is as fast or faster), and the load average before and after (the machine is
# shared). Run by bench/run inside the loopback namespace.
set -euo pipefail
runs=${RUNS:-5}
bench="${BENCH_BUILD_DIR:?set BENCH_BUILD_DIR to a release build}/bench/httpprot/httpprot_fetch_bench"
[ -x "$bench" ] || { echo "missing $bench (build target httpprot_fetch_bench)" >&2; exit 1; }
command -v nginx >/dev/null && command -v curl >/dev/null && command -v openssl >/dev/null
tarnby="$BENCH_BUILD_DIR/tarnby/tarnby"
batch_fetch="$BENCH_BUILD_DIR/bench/httpprot/tarnby_batch_fetch_bench"
load_before=$(cut -d' ' -f1-3 /proc/loadavg)

work=$(mktemp -d /tmp/httpprot-bench-XXXXXX)
chmod 755 "$work"
kept=$(mktemp -u /dev/shm/httpprot-bench-XXXXXX)
trap 'kill "${nginx_pid:-}" 2>/dev/null || true; rm -rf "$work" "$kept"' EXIT
mkdir -p "$work/www" "$work/tmp" "$work/out"
head -c $((200 * 1024 * 1024)) /dev/urandom > "$work/www/big.bin"
head -c 7600 /dev/urandom | base64 -w 76 > "$work/www/small.html"  # about 10 kB of text
# 200 MB of page text in lines of 76 characters (LF line ends, as pages have).
head -c $((150 * 1024 * 1024)) /dev/urandom | base64 -w 76 > "$work/www/big.html"
truncate -s $((200 * 1024 * 1024)) "$work/www/big.html"
chmod -R a+rX "$work/www"

free_port() { python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])'; }
port=$(free_port)
tls_port=$(free_port)
ec=(-newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes)
openssl req -x509 "${ec[@]}" -keyout "$work/ca.key" -out "$work/ca.pem" -days 2 -subj "/CN=Bench CA" 2>/dev/null
openssl req "${ec[@]}" -keyout "$work/server.key" -out "$work/server.csr" -subj "/CN=127.0.0.1" 2>/dev/null
echo "subjectAltName=IP:127.0.0.1" > "$work/server.cnf"
openssl x509 -req -in "$work/server.csr" -CA "$work/ca.pem" -CAkey "$work/ca.key" -CAcreateserial \
  -out "$work/server.pem" -days 2 -extfile "$work/server.cnf" 2>/dev/null
cat > "$work/nginx.conf" <<CONF
daemon off;
worker_processes 1;
pid $work/nginx.pid;
error_log $work/error.log warn;
events { worker_connections 256; }
http {
  access_log off;
  client_body_temp_path $work/tmp/body;
  proxy_temp_path $work/tmp/proxy;
  fastcgi_temp_path $work/tmp/fastcgi;
  uwsgi_temp_path $work/tmp/uwsgi;
  scgi_temp_path $work/tmp/scgi;
  types { text/html html; application/octet-stream bin; }
  sendfile on;
  server { listen 127.0.0.1:$port; root $work/www; }
  server {
    listen 127.0.0.1:$tls_port ssl;
    ssl_certificate $work/server.pem;
    ssl_certificate_key $work/server.key;
    root $work/www;
  }
}
CONF
nginx -p "$work" -c "$work/nginx.conf" -e "$work/error.log" &
nginx_pid=$!
for _ in $(seq 100); do
  curl -s -o /dev/null "http://127.0.0.1:$port/small.html" && break
  sleep 0.05
done

base="http://127.0.0.1:$port"
tls_base="https://127.0.0.1:$tls_port"
for b in "$base" "$tls_base"; do
  for i in $(seq 1000); do printf 'url = "%s/small.html"\noutput = "%s/out/small-curl.html"\n' "$b" "$work"; done
done > "$work/curl-both.cfg"
head -n 2000 "$work/curl-both.cfg" > "$work/curl-small.cfg"
tail -n 2000 "$work/curl-both.cfg" > "$work/curl-small-tls.cfg"

now_ms() { date +%s%3N; }
median() { sort -n | awk '{v[NR]=$1} END {print v[int((NR+1)/2)]}'; }

ours_big=() curl_big=() ours_small=() curl_small=()
ours_big_tls=() curl_big_tls=() ours_small_tls=() curl_small_tls=()
batch_ms=() batch_kb=() curl_page_ms=() curl_page_kb=()
fetch_ms=() curl_null_ms=() curl_kept_ms=()
page_size=$(stat -c %s "$work/www/big.html")
# "elapsed-ms max-rss-kB" of a command, its output discarded.
measured() {
  /usr/bin/time -f '%e %M' -o "$work/time.txt" "$@" > /dev/null
  awk '{ printf "%d %d\n", $1 * 1000, $2 }' "$work/time.txt"
}
for _ in $(seq "$runs"); do
  if [ -x "$batch_fetch" ]; then
    fetch_ms+=("$("$batch_fetch" "$base/big.html" "$page_size")")
    t0=$(now_ms); curl -s -o /dev/null "$base/big.html"; t1=$(now_ms)
    curl_null_ms+=($((t1 - t0)))
    rm -f "$kept"
    t0=$(now_ms); curl -s -o "$kept" "$base/big.html"; t1=$(now_ms)
    curl_kept_ms+=($((t1 - t0)))
    rm -f "$kept"
  fi
  if [ -x "$tarnby" ]; then
    read -r ms kb < <(measured "$tarnby" --links --passes 0 "$base/big.html")
    batch_ms+=("$ms") batch_kb+=("$kb")
    read -r ms kb < <(measured curl -s -o /dev/null "$base/big.html")
    curl_page_ms+=("$ms") curl_page_kb+=("$kb")
  fi
  rm -f "$work/out/big-ours.bin"
  ours_big+=("$("$bench" "$base/big.bin" "$work/out/big-ours.bin" 1)")
  cmp -s "$work/out/big-ours.bin" "$work/www/big.bin" || { echo "200 MB document differs" >&2; exit 1; }
  rm -f "$work/out/big-curl.bin"
  t0=$(now_ms); curl -s -o "$work/out/big-curl.bin" "$base/big.bin"; t1=$(now_ms)
  curl_big+=($((t1 - t0)))

  ours_small+=("$("$bench" "$base/small.html" "$work/out/small-ours.html" 1000)")
  t0=$(now_ms); curl --http1.0 -s -K "$work/curl-small.cfg"; t1=$(now_ms)
  curl_small+=($((t1 - t0)))

  rm -f "$work/out/big-ours.bin"
  ours_big_tls+=("$("$bench" "$tls_base/big.bin" "$work/out/big-ours.bin" 1 "$work/ca.pem")")
  cmp -s "$work/out/big-ours.bin" "$work/www/big.bin" || { echo "200 MB document over TLS differs" >&2; exit 1; }
  rm -f "$work/out/big-curl.bin"
  t0=$(now_ms); curl -s --cacert "$work/ca.pem" -o "$work/out/big-curl.bin" "$tls_base/big.bin"; t1=$(now_ms)
  curl_big_tls+=($((t1 - t0)))

  ours_small_tls+=("$("$bench" "$tls_base/small.html" "$work/out/small-ours.html" 1000 "$work/ca.pem")")
  t0=$(now_ms); curl --http1.0 -s --cacert "$work/ca.pem" -K "$work/curl-small-tls.cfg"; t1=$(now_ms)
  curl_small_tls+=($((t1 - t0)))
done

report() { # name ours... -- curl...
  local name=$1; shift
  local ours=() peer=() side=ours
  for v in "$@"; do
    if [ "$v" = "--" ]; then side=peer; continue; fi
    if [ $side = ours ]; then ours+=("$v"); else peer+=("$v"); fi
  done
  local mo mp
  mo=$(printf '%s\n' "${ours[@]}" | median)
  mp=$(printf '%s\n' "${peer[@]}" | median)
  printf '%-38s THttpCli %6d ms   curl %6d ms   ratio %.2f\n' "$name" "$mo" "$mp" "$(awk -v a="$mo" -v b="$mp" 'BEGIN { print (b > 0 ? a / b : 0) }')"
}
echo "httpprot: medians of $runs runs, nginx on 127.0.0.1"
report "200 MB document into a file" "${ours_big[@]}" -- "${curl_big[@]}"
report "1,000 sequential 10 kB fetches" "${ours_small[@]}" -- "${curl_small[@]}"
report "200 MB document over TLS" "${ours_big_tls[@]}" -- "${curl_big_tls[@]}"
report "1,000 sequential 10 kB HTTPS fetches" "${ours_small_tls[@]}" -- "${curl_small_tls[@]}"
if [ "${#fetch_ms[@]}" -gt 0 ]; then
  report "batch fetch part, 200 MB page" "${fetch_ms[@]}" -- "${curl_null_ms[@]}"
  report "  the same, curl keeping it (/dev/shm)" "${fetch_ms[@]}" -- "${curl_kept_ms[@]}"
fi
if [ "${#batch_ms[@]}" -gt 0 ]; then
  report "tarnby --links, 200 MB page (time)" "${batch_ms[@]}" -- "${curl_page_ms[@]}"
  peak_kb=$(printf '%s\n' "${batch_kb[@]}" | median)
  printf '%-38s tarnby %6d MB   curl %6d MB   (peak memory, median; %.2f x the page)\n' \
    "tarnby --links, 200 MB page (memory)" $((peak_kb / 1024)) \
    $(($(printf '%s\n' "${curl_page_kb[@]}" | median) / 1024)) "$(awk -v k="$peak_kb" -v p="$page_size" 'BEGIN { print k * 1024 / p }')"
fi
echo "load average before: $load_before, after: $(cut -d' ' -f1-3 /proc/loadavg)"
