#!/usr/bin/env bash
# Quellin's round trip without the window, against curl on the same vsftpd in the same run:
# opening a 1 MB and a 20 MB HTML page (until the text is handed to the editor) beside curl's
# retrieve, their write-back beside curl -T; and the local browser's items for a folder of
# 10,000 files. Medians of RUNS runs (default 5); ratio = ours / curl in time. Needs root (the
# FTP test user) and BENCH_BUILD_DIR; bench/run runs it inside the loopback namespace.
set -euo pipefail
source "$(dirname "$0")/../tcpip/ftp-bench.sh"
bench_setup roundtrip
root="$work/root"
mkdir -p "$root" "$work/local" "$work/many"
page() { # SIZE_MB: an HTML page of LF lines
  python3 -c "
import sys
n = int(sys.argv[1]) * 1024 * 1024
line = b'<p>A paragraph of a long page, with <a href=\"x.html\">a link</a> and some text.</p>\n'
sys.stdout.buffer.write(b'<html>\n<body>\n' + line * (n // len(line)) + b'</body>\n</html>\n')" "$1"
}
page 1 > "$root/one.html"
page 20 > "$root/twenty.html"
cp "$root/one.html" "$root/twenty.html" "$work/local/"
(cd "$work/many" && seq -f "file%05g.html" 1 10000 | xargs touch)
serve "$root"

ours() { "$bench" "$@" | sed -n 's/^seconds=//p'; }
ours_open() { ours open "$port" "$user" "$pass" "$1"; }
ours_writeback() { ours writeback "$port" "$user" "$pass" "$1"; }
curl_get() { rm -f "$work/down.html"; time_of curl -s -o "$work/down.html" "$url/$1"; }
curl_put() { time_of curl -s -T "$work/local/$1" "$url/$1"; }
ours_fill() { ours localfill "$work/many"; }

printf '%-34s %10s %10s %8s\n' "case (median of $runs)" "ours s" "curl s" "ratio"
row() { printf '%-34s %10.3f %10.3f %8.2f\n' "$1" "$2" "$3" "$(ratio "$2" "$3")"; }
for f in one.html twenty.html; do
  row "Open $f" "$(measure ours_open "$f")" "$(measure curl_get "$f")"
  row "Write back $f" "$(measure ours_writeback "$f")" "$(measure curl_put "$f")"
done
printf '%-34s %10.3f\n' "Local folder of 10,000 files" "$(measure ours_fill)"

# Write-back with the conflict check and the whole-file store against a plain store, alternating
# in one session (log-in not timed), on vsftpd and on sshd. Goal: at most 1.2 times.
wb="$BENCH_BUILD_DIR/bench/roundtrip/writeback_bench"
[ -x "$wb" ] || { echo "missing $wb (build target writeback_bench)" >&2; exit 1; }
source "$(dirname "$0")/../sshd.sh"
sroot="$work/sftp"
mkdir -p "$sroot"
ensure_ssh_user
chown "$ssh_user" "$sroot"
ftp_port=$port
trap 'kill "${vsftpd_pid:-}" "${sshd_pid:-}" 2>/dev/null || true; rm -rf "$work"' EXIT
start_sshd "$sroot" "$work"
printf '\n%-34s %10s %10s %8s\n' "write-back (median of $runs)" "whole s" "direct s" "ratio"
for f in one.html twenty.html; do
  for protocol in ftp sftp; do
    if [ "$protocol" = ftp ]; then
      out=$("$wb" ftp "$ftp_port" "$user" "$pass" - "$f" "$work/local/$f" "$runs")
    else
      out=$("$wb" sftp "$port" "$ssh_user" "" "$work/client" "$f" "$work/local/$f" "$runs")
    fi
    direct=$(sed -n 's/^direct=//p' <<<"$out")
    whole=$(sed -n 's/^whole=//p' <<<"$out")
    row "Write back $f over $protocol" "$whole" "$direct"
  done
done
