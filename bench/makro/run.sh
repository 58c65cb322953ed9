#!/usr/bin/env bash
# Typing benchmark: the macro player against `xdotool type --delay 0`, the same 10,000
# characters into the same kind of target window on the same private Xvfb (with openbox), in
# the same run. Prints characters per second (median of RUNS runs, default 3) and the ratio.
set -euo pipefail
runs=${RUNS:-3}
dir="${BENCH_BUILD_DIR:?set BENCH_BUILD_DIR to a release build}/bench/makro"
[ -x "$dir/makro_bench" ] || { echo "missing $dir/makro_bench (build target makro_bench)" >&2; exit 1; }
root="$(cd "$(dirname "$0")/../.." && pwd)"
QT_QPA_PLATFORM=xcb "$root/tests/support/with-xvfb.sh" "$dir/makro_bench" "$dir/makro_bench_target" "$runs"
