#!/usr/bin/env bash
# Renders the PNG sizes of the icon from its SVG. The PNGs are committed, so building needs no SVG renderer;
# run this (it needs librsvg2-bin) after changing the SVG.
set -euo pipefail
cd "$(dirname "$0")/../data/icons"
svg=scalable/org.vocabrix.Vocabrix.svg
for size in 16 22 24 32 48 64 128 256; do
    mkdir -p "${size}x${size}"
    rsvg-convert --width "$size" --height "$size" "$svg" --output "${size}x${size}/org.vocabrix.Vocabrix.png"
done
