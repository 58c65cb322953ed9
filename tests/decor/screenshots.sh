#!/usr/bin/env bash
# Takes the screenshots of Tarnby's window in docs/screenshots/ (decor-*.png): active, inactive,
# the Get button hovered and pressed, at 100 % and 200 %, under Xvfb with openbox.
#   tests/decor/screenshots.sh [BUILD_DIR]     (default build/decor; needs tarnby, decor_screengrab)
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-$root/build/decor}
out=$root/docs/screenshots
mkdir -p "$out"
config=$(mktemp -d)
trap 'rm -rf "$config"' EXIT

shoot() { # scale, then shots as name:options
  local scale=$1
  shift
  XDG_CONFIG_HOME=$config QT_SCALE_FACTOR=$scale "$build/tarnby/tarnby" &
  local pid=$!
  for shot in "$@"; do
    local name=${shot%%:*} options=${shot#*:}
    # shellcheck disable=SC2086
    "$build/tests/decor/decor_screengrab" --window Tarnby --out "$out/decor-$name.png" $options
  done
  kill "$pid"
  wait "$pid" 2>/dev/null || true
}

export -f shoot
export build out config
# Points are window pixels: (20, 60) is on the Get button at 100 %.
"$root/tests/support/with-xvfb.sh" bash -c '
  shoot 1 "active:" "inactive:--deactivate" "hover:--hover 20,60" "pressed:--press 20,60"
  shoot 2 "active-200:" "pressed-200:--press 40,120"
'
ls -l "$out"/decor-*.png
