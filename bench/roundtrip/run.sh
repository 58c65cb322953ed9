#!/usr/bin/env bash
# Quellin's round trip without the window, against curl on the same vsftpd in the same run:
# opening a 1 MB and a 20 MB HTML page (until the text is handed to the editor) beside curl's
# retrieve, their write-back beside curl -T; and the local browser's items for a folder of
# 10,000 files. Medians of RUNS runs (default 5); ratio = ours / curl in time. Needs root (the
# FTP test user) and BENCH_BUILD_DIR; bench/run runs it inside the loopback namespace.
# Then opening 1, 20 and 50 MB pages through the main window (offscreen): the remote open
# against curl's transfer plus the editor's own Open of the same local file, with each open's
# resident peak against the page's size.
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
page 50 > "$root/fifty.html"
cp "$root/one.html" "$root/twenty.html" "$root/fifty.html" "$work/local/"
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

window_bench="$BENCH_BUILD_DIR/bench/roundtrip/roundtrip_window_bench"
mkdir -p "$work/config"
in_window() { # FIELD ARGS...: one open in a fresh window process, the field it printed
  local field=$1; shift
  XDG_CONFIG_HOME="$work/config" QT_QPA_PLATFORM=offscreen "$window_bench" "$@" 2>/dev/null | sed -n "s/^$field=//p"
}
remote_open() { in_window "$1" remote "$port" "$user" "$pass" "$2"; }
local_open() { in_window "$1" local "$work/local/$2"; }
printf '\n%-22s %8s %8s %8s %8s %8s %9s %9s\n' "window open (median)" "ours s" "curl s" "local s" "goal" \
  "MB" "ours MB" "local MB"
for f in one.html twenty.html fifty.html; do
  size=$(awk -v b="$(stat -c %s "$root/$f")" 'BEGIN { print b / 1048576 }')
  o=$(measure remote_open seconds "$f"); c=$(measure curl_get "$f"); l=$(measure local_open seconds "$f")
  om=$(measure remote_open peak_mb "$f"); lm=$(measure local_open peak_mb "$f")
  # goal: ours / (transfer + local open) at most 1.5; ours MB below 4 x the page.
  printf '%-22s %8.3f %8.3f %8.3f %8.2f %8.1f %9.1f %9.1f\n' "Open $f" "$o" "$c" "$l" \
    "$(awk -v o="$o" -v c="$c" -v l="$l" 'BEGIN { print o / (c + l) }')" "$size" "$om" "$lm"
done

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
