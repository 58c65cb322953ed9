#!/usr/bin/env bash
# Link-check benchmark: a loopback site of 2,000 pages with 20,000 links (5 % broken, 5 %
# redirected, a few slow pages), served by nginx and checked recursively from its start page,
# in the same run, by "tarnby --check --recursive", by Debian's linkchecker and by linkinator
# (npm). Prints each checker's median time of RUNS runs (default 3) and peak memory, the
# ratios against the faster peer, and any difference in the broken and redirected addresses
# found. Goal: at least 3 times faster than the faster peer, with lower peak memory than
# either. Run by bench/run inside the loopback namespace.
set -euo pipefail
runs=${RUNS:-3}
here=$(cd "$(dirname "$0")" && pwd)
tarnby="${BENCH_BUILD_DIR:?set BENCH_BUILD_DIR to a release build}/tarnby/tarnby"
[ -x "$tarnby" ] || { echo "missing $tarnby (build target tarnby)" >&2; exit 1; }
command -v nginx >/dev/null && command -v curl >/dev/null
bash "$here/install-peers.sh"
# PEERS names the peers to run (default both; linkchecker alone takes about 20 minutes).
peers=${PEERS:-linkchecker linkinator}
have_linkchecker=$([[ " $peers " == *" linkchecker "* ]] && command -v linkchecker || true)
have_linkinator=$([[ " $peers " == *" linkinator "* ]] && command -v linkinator || true)

work=$(mktemp -d /tmp/linkcheck-bench-XXXXXX)
chmod 755 "$work"
trap 'kill "${nginx_pid:-}" 2>/dev/null || true; rm -rf "$work"' EXIT
mkdir -p "$work/www" "$work/tmp"
python3 "$here/make_site.py" "$work/www" "${PAGES:-2000}" "${LINKS:-10}"
chmod -R a+rX "$work/www"

port=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])')
cat > "$work/nginx.conf" <<CONF
daemon off;
worker_processes 1;
pid $work/nginx.pid;
error_log $work/error.log warn;
events { worker_connections 1024; }
http {
  access_log off;
  client_body_temp_path $work/tmp/body;
  proxy_temp_path $work/tmp/proxy;
  fastcgi_temp_path $work/tmp/fastcgi;
  uwsgi_temp_path $work/tmp/uwsgi;
  scgi_temp_path $work/tmp/scgi;
  types { text/html html; }
  server {
    listen 127.0.0.1:$port;
    root $work/www;
    location /r/ { rewrite ^/r/(.*)\$ /\$1 permanent; }
    location /slow/ { limit_rate 8k; }
  }
}
CONF
nginx -p "$work" -c "$work/nginx.conf" -e "$work/error.log" &
nginx_pid=$!
for _ in $(seq 100); do
  curl -s -o /dev/null "http://127.0.0.1:$port/index.html" && break
  sleep 0.05
done
start="http://127.0.0.1:$port/"

median() { sort -n | awk '{v[NR]=$1} END {print v[int((NR+1)/2)]}'; }
# Runs a command RUNS times; prints "median-ms peak-kB" and keeps the last run's output.
measure() {
  local out=$1; shift
  local times=() peak=0
  for _ in $(seq "$runs"); do
    local begin end
    begin=$(date +%s%3N)
    /usr/bin/time -f '%M' -o "$work/rss" "$@" > "$out" 2> "$work/stderr.$(basename "$1")" || true
    end=$(date +%s%3N)
    times+=($((end - begin)))
    local rss; rss=$(tail -n 1 "$work/rss")
    [ "$rss" -gt "$peak" ] && peak=$rss
  done
  echo "$(printf '%s\n' "${times[@]}" | median) $peak"
}

read -r t_ms t_kb < <(measure "$work/tarnby.csv" "$tarnby" --check --recursive --format csv --concurrency 32 --per-host 32 "$start")
echo "tarnby --check:  ${t_ms} ms, peak ${t_kb} kB   ($(tail -n 1 "$work/stderr.tarnby"))"
best_ms=0
lc_report=/dev/null li_report=/dev/null
if [ -n "$have_linkchecker" ]; then
  # Its default of 10 requests a second would measure the limit, not the checker.
  printf '[checking]\nmaxrequestspersecond=1000\nthreads=32\n' > "$work/linkcheckerrc"
  read -r l_ms l_kb < <(measure "$work/linkchecker.csv" linkchecker --no-status -f "$work/linkcheckerrc" -o csv "$start")
  echo "linkchecker $(linkchecker --version 2>/dev/null | head -n 1 | awk '{print $2}'): ${l_ms} ms, peak ${l_kb} kB"
  best_ms=$l_ms best_kb=$l_kb lc_report="$work/linkchecker.csv"
else
  echo "linkchecker: not installed (scripts/install-test-deps.sh installs it)"
fi
if [ -n "$have_linkinator" ]; then
  read -r i_ms i_kb < <(measure "$work/linkinator.json" linkinator "$start" --recurse --format json --concurrency 32)
  echo "linkinator $(linkinator --version 2>/dev/null): ${i_ms} ms, peak ${i_kb} kB"
  if [ "$best_ms" -eq 0 ] || [ "$i_ms" -lt "$best_ms" ]; then best_ms=$i_ms; fi
  li_report="$work/linkinator.json"
else
  echo "linkinator: not installed (bench/linkcheck/install-peers.sh installs it)"
fi
if [ "$best_ms" -gt 0 ]; then
  awk -v o="$t_ms" -v p="$best_ms" 'BEGIN {printf "speed-up over the faster peer: %.2f (goal >= 3)\n", p / o}'
fi
{ [ -n "$have_linkchecker" ] || [ -n "$have_linkinator" ]; } && \
  python3 "$here/compare.py" "$work/tarnby.csv" "$lc_report" "$li_report"
[ -s "$work/linkinator.json" ] || { [ -n "$have_linkinator" ] && head -c 400 "$work/stderr.linkinator"; }
exit 0
