#!/usr/bin/env bash
# Renders the programs' SVG icons into the PNG sizes of the hicolor theme (data/icons/hicolor).
# The PNGs are kept in the repository, so building needs no SVG renderer; run this after
# changing an SVG (it needs librsvg2-bin).
set -euo pipefail
cd "$(dirname "$0")/../data/icons"
for name in tarnby quellin; do
  for size in 16 22 24 32 48 64 128 256; do
    mkdir -p "hicolor/${size}x${size}/apps"
    rsvg-convert -w "$size" -h "$size" "$name.svg" -o "hicolor/${size}x${size}/apps/$name.png"
  done
done
