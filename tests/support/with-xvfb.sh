#!/usr/bin/env bash
# Runs a command with DISPLAY set to a private Xvfb server (and a window manager), then stops both.
set -euo pipefail
fdfile=$(mktemp)
exec 3<>"$fdfile"
Xvfb -displayfd 3 -nolisten tcp -screen 0 1280x1024x24 >/dev/null 2>&1 &
xvfb_pid=$!
cleanup() {
  [ -n "${wm_pid:-}" ] && kill "$wm_pid" 2>/dev/null || true
  kill "$xvfb_pid" 2>/dev/null || true
  wait 2>/dev/null || true
  rm -f "$fdfile"
}
trap cleanup EXIT
for _ in $(seq 100); do
  display=$(tr -dc '0-9' <"$fdfile")
  [ -n "$display" ] && break
  sleep 0.1
done
[ -n "${display:-}" ] || { echo "Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$display"
if [ "${WITH_WM:-1}" = 1 ] && command -v openbox >/dev/null; then
  openbox >/dev/null 2>&1 &
  wm_pid=$!
  sleep 0.5
fi
"$@"
