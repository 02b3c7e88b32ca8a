#!/usr/bin/env bash
# Takes the README screenshots of every window under Xvfb and openbox (tools/x-screen.sh): each
# screenshot driver in tests/ui writes its own PNGs into docs/screenshots, each window once it is
# framed and still. Then the window check (tools/window-check.sh) shows every window on a laptop
# screen with a window manager, at scale 1 and 1.5; a few of those whole-screen pictures go into
# docs/screenshots/laptop.
# Needs xvfb, openbox, xprop and imagemagick (import). Usage: tools/screenshots.sh [BUILD_DIR]
# The build directory must be configured with -DZENDRA_BUILD_UI=ON; the driver is built here.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
# shellcheck source=deps.sh
. "$root/tools/deps.sh"
# shellcheck source=x-screen.sh
. "$root/tools/x-screen.sh"
zendra_install_deps xvfb imagemagick openbox x11-utils
build=${1:-"$root/build/release"}
out="$root/docs/screenshots"
mkdir -p "$out"
drivers=()
for source in "$root"/tests/ui/*ScreenshotDriver.cpp; do
    name=$(basename "$source")
    prefix=$(printf '%s' "${name%ScreenshotDriver.cpp}" | tr '[:upper:]' '[:lower:]')
    drivers+=("ui_${prefix:+${prefix}_}screenshot_driver")
done
cmake --build "$build" --target "${drivers[@]}" ui_window_check
# Data folders of the run stay out of the user's own.
scratch=$(mktemp -d)
trap 'zendra_stop_screen; rm -rf "$scratch"' EXIT
zendra_start_screen 1400x900
for name in "${drivers[@]}"; do
    driver=$(find "$build" -type f -name "$name" -perm -u+x | head -n 1)
    AppData="$scratch" ProgramData="$scratch" QT_QPA_PLATFORM=xcb DISPLAY=$ZENDRA_SCREEN "$driver" "$out"
done
zendra_stop_screen
ZENDRA_WINDOW_SETTINGS="1366x768:1 1366x768:1.5" \
    "$root/tools/window-check.sh" "$(find "$build" -type f -name ui_window_check -perm -u+x | head -n 1)" "$scratch/laptop"
mkdir -p "$out/laptop"
for name in main-window tabular-section-from-index disease-index select-code; do
    for suffix in -1366x768 -1366x768-scale1.5; do cp "$scratch/laptop/$name$suffix.png" "$out/laptop/"; done
done
ls -l "$out"/*.png "$out"/laptop/*.png
