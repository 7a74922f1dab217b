#!/usr/bin/env bash
# Renders the program's icon from kiv.svg into the PNG sizes the window, the
# notification area and the desktop's icon theme use, and into kiv.ico for
# the Windows program. Run after changing kiv.svg; the results are committed.
# Needs rsvg-convert (librsvg2-bin) and ImageMagick.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")"
sizes=(16 22 24 32 48 64 128 256)
for size in "${sizes[@]}"; do
  rsvg-convert --width "$size" --height "$size" kiv.svg --output "kiv-$size.png"
done
# The sizes Windows asks an icon file for.
convert kiv-{16,24,32,48,64,128,256}.png kiv.ico
