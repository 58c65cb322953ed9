#!/usr/bin/env bash
# Tarnby's passes against a Python html.parser script on the same generated pages, and the
# batch mode's start-up on a 20 MB file. Needs BENCH_BUILD_DIR (a release build).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=${BENCH_BUILD_DIR:?BENCH_BUILD_DIR must name a release build}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
args=(--python "$here/links.py" --work "$work")
if [ -x "$build/tarnby/tarnby" ]; then
  args+=(--tarnby "$build/tarnby/tarnby")
fi
"$build/bench/tarnby/tarnby_passes_bench" "${args[@]}"
"$build/bench/tarnby/tarnby_links_bench" --python "$here/links.py" --work "$work"
