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
for tool in Xvfb openbox; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "window check skipped: $tool is not installed"
        exit 77
    fi
done
scratch=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null; wait 2>/dev/null; rm -rf "$scratch"' EXIT

# One screen: its own Xvfb, window manager and data folders. Output goes to $scratch/N.log, the
# check's exit status to $scratch/N.status.
check_screen() {
    local n=$1 size=${2%%:*} scale=${2##*:}
    local folder="$scratch/$n" server manager display suffix status=0
    mkdir -p "$folder"
    # Xvfb picks a free display number and writes it to fd 3.
    Xvfb -displayfd 3 -screen 0 "${size}x24" -dpi 96 -nolisten tcp 3>"$folder/display" >/dev/null 2>&1 &
    server=$!
    for _ in $(seq 100); do [ -s "$folder/display" ] && break; sleep 0.05; done
    display=":$(head -n 1 "$folder/display")"
    DISPLAY=$display openbox >/dev/null 2>&1 &
    manager=$!
    # Wait until the window manager has announced itself on the root window.
    if command -v xprop >/dev/null 2>&1; then
        for _ in $(seq 100); do
            DISPLAY=$display xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
            sleep 0.1
        done
    else
        sleep 2
    fi
    suffix="-$size"
    [ "$scale" != 1 ] && suffix="$suffix-scale$scale"
    echo "== $size, scale $scale (display $display)" >"$folder.log"
    AppData="$folder" ProgramData="$folder" DISPLAY=$display QT_QPA_PLATFORM=xcb QT_SCALE_FACTOR=$scale \
        "$check" ${shots:+"$shots" "$suffix"} >>"$folder.log" 2>&1 || status=$?
    echo "$status" >"$folder.status"
    kill "$manager" "$server" 2>/dev/null
    wait "$manager" "$server" 2>/dev/null
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
