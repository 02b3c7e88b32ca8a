#!/usr/bin/env bash
# Renders the menu icon sizes from zendra-icd10.svg into zendra-icd10-<size>.png next to it.
# Needs rsvg-convert (Debian package librsvg2-bin); the output is the same on every run, so the
# committed PNGs are checked by running this script and seeing git report no change.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
for size in 16 22 24 32 48 64 128 256; do
    rsvg-convert --width "$size" --height "$size" "$here/zendra-icd10.svg" --output "$here/zendra-icd10-$size.png"
done
