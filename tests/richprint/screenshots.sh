#!/usr/bin/env bash
# Takes the printing screenshots in docs/screenshots/: a printed page (the print command's PDF
# turned into PNG by pdftoppm) and the preview window under Xvfb with openbox.
#   tests/richprint/screenshots.sh [BUILD_DIR]   (default build; needs richprint_print_driver
#                                                 and richprint_preview_shot)
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-$root/build}
out=$root/docs/screenshots
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work/runtime
mkdir -p -m 700 "$XDG_RUNTIME_DIR" "$out"
sample=$work/index.html
for i in $(seq 1 120); do
  printf '<tr>\t<td class="row">%d</td>\t<td><a href="page%d.html">Page %d of the site map</a></td></tr>\r\n' "$i" "$i" "$i"
done >"$sample"
"$build/tests/richprint/richprint_print_driver" --print -o "$work/index.pdf" "$sample"
pdftoppm -r 60 -f 1 -l 1 -png -singlefile "$work/index.pdf" "$out/richprint-page"
"$root/tests/support/with-xvfb.sh" "$build/tests/richprint/richprint_preview_shot" "$sample" \
  "$out/richprint-preview.png" 1
