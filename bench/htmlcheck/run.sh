#!/usr/bin/env bash
# The HTML check against pygmentize colouring the same generated pages, and opening a 20 MB
# file into the editor. Needs BENCH_BUILD_DIR (a release build).
set -euo pipefail
build=${BENCH_BUILD_DIR:?BENCH_BUILD_DIR must name a release build}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
QT_QPA_PLATFORM=offscreen "$build/bench/htmlcheck/htmlcheck_bench" --work "$work" \
  --pygmentize "$(if [ -x /usr/bin/pygmentize ]; then echo /usr/bin/pygmentize; else command -v pygmentize; fi)"
here=$(cd "$(dirname "$0")" && pwd)
"$build/bench/htmlcheck/htmlcheck_problems_bench" --work "$work" --python "$here/html5lib_errors.py"
