#!/bin/sh
# Draws the launcher's background tile: a pale sky-blue square with a faint diagonal hatch that
# repeats without seams. Run from anywhere; writes packaging/Background.bmp (24-bit BMP).
set -eu
here=$(cd "$(dirname "$0")" && pwd)
convert -size 24x24 xc:'#F1F6FC' \
    -fill none -stroke '#E1EBF7' -strokewidth 1 \
    -draw 'line 0,23 23,0' -draw 'line -12,11 11,-12' -draw 'line 12,35 35,12' \
    -type TrueColor "BMP3:$here/Background.bmp"
