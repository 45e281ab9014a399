#!/usr/bin/env bash
# Renders the hicolor PNGs from the SVG (needs rsvg-convert, package librsvg2-bin).
# The PNGs are committed; run this again after changing the SVG.
set -euo pipefail
cd "$(dirname "$0")"
for size in 16 22 24 32 48 64 128 256; do
  rsvg-convert -w "$size" -h "$size" org.bramble.Kestrel.svg -o "org.bramble.Kestrel-$size.png"
done
