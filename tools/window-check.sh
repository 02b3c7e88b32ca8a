#!/usr/bin/env bash
# Runs the window check (every window and dialog inside the screen's available area, frame
# included) under Xvfb with the openbox window manager, at 1366x768 and 1280x720 and at 1366x768
# with QT_SCALE_FACTOR=1.5 and 1920x1080 with 2. Exits 77 (skipped) when Xvfb or openbox is not installed.
# Usage: tools/window-check.sh CHECK_PROGRAM [SCREENSHOT_FOLDER]
# With a folder, every window is also saved there, once per screen (suffixes -1366x768,
# -1280x720, -1366x768-scale1.5, -1920x1080-scale2).
set -uo pipefail
check=${1:?usage: window-check.sh CHECK_PROGRAM [SCREENSHOT_FOLDER]}
shots=${2:-}
for tool in Xvfb openbox xprop; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "window check skipped: $tool is not installed"
        exit 77
    fi
done
# shellcheck source=x-screen.sh
. "$(dirname "$0")/x-screen.sh"
scratch=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null; wait 2>/dev/null; rm -rf "$scratch"' EXIT

# One screen: its own Xvfb, window manager and data folders. Output goes to $scratch/N.log, the
# check's exit status to $scratch/N.status. The check waits for each window to be framed and
# still before judging it, so a slow window manager costs time, not a failure.
check_screen() {
    local n=$1 size=${2%%:*} scale=${2##*:}
    local folder="$scratch/$n" suffix status=0 started=$SECONDS
    mkdir -p "$folder"
    suffix="-$size"
    [ "$scale" != 1 ] && suffix="$suffix-scale$scale"
    echo "== $size, scale $scale" >"$folder.log"
    if ! zendra_start_screen "$size" 2>>"$folder.log"; then
        echo 1 >"$folder.status"
        return
    fi
    echo "   on display $ZENDRA_SCREEN" >>"$folder.log"
    AppData="$folder" ProgramData="$folder" DISPLAY=$ZENDRA_SCREEN QT_QPA_PLATFORM=xcb QT_SCALE_FACTOR=$scale \
        "$check" ${shots:+"$shots" "$suffix"} >>"$folder.log" 2>&1 || status=$?
    echo "   ($((SECONDS - started)) s)" >>"$folder.log"
    echo "$status" >"$folder.status"
    zendra_stop_screen
}

# The screens are checked side by side: the check mostly waits for the window manager.
# ZENDRA_WINDOW_SETTINGS="SIZE:SCALE ..." checks other screens.
settings=(${ZENDRA_WINDOW_SETTINGS:-1366x768:1 1280x720:1 1366x768:1.5 1920x1080:2})
for n in "${!settings[@]}"; do check_screen "$n" "${settings[$n]}" & done
wait
failed=0
for n in "${!settings[@]}"; do
    cat "$scratch/$n.log"
    [ "$(cat "$scratch/$n.status" 2>/dev/null)" = 0 ] || failed=1
done
exit $failed
