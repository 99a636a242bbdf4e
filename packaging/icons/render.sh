#!/usr/bin/env bash
# Renders the icon's PNG sizes and the Windows .ico from lumatra.svg. The results are kept in
# the repository, so only whoever changes the drawing needs rsvg-convert (librsvg2-bin) and
# python3 here; a normal build uses the committed files.
set -euo pipefail
cd "$(dirname "$0")"
for size in 16 24 32 48 64 128 256; do
    rsvg-convert --width "$size" --height "$size" lumatra.svg --output "lumatra-$size.png"
done
python3 make-ico.py lumatra.ico lumatra-16.png lumatra-32.png lumatra-48.png lumatra-256.png
