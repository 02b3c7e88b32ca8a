#!/bin/sh
# Takes the README screenshots of the seventh-character dialog and the Select Code dialog under Xvfb.
# Needs xvfb (xvfb-run) and imagemagick (import). Usage: tools/screenshots-dialogs.sh [BUILD_DIR]
# The build directory must be configured with -DZENDRA_BUILD_UI=ON; the driver is built here.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-"$root/build/release"}
out="$root/docs/screenshots"
mkdir -p "$out"
cmake --build "$build" --target ui_dialogs_screenshot_driver
driver=$(find "$build" -type f -name ui_dialogs_screenshot_driver -perm -u+x | head -n 1)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
AppData="$scratch" ProgramData="$scratch" QT_QPA_PLATFORM=xcb \
    xvfb-run -a -s "-screen 0 1400x900x24 -dpi 96" "$driver" "$out"
ls -l "$out"/seven-character-dialog.png "$out"/select-code-dialog.png
