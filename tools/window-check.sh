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
server=""
manager=""
cleanup() {
    [ -n "$manager" ] && kill "$manager" 2>/dev/null
    [ -n "$server" ] && kill "$server" 2>/dev/null
    wait 2>/dev/null
    rm -rf "$scratch"
}
trap cleanup EXIT
failed=0
# ZENDRA_WINDOW_SETTINGS="SIZE:SCALE ..." checks other screens.
for setting in ${ZENDRA_WINDOW_SETTINGS:-1366x768:1 1280x720:1 1366x768:1.5 1920x1080:2}; do
    size=${setting%%:*}
    scale=${setting##*:}
    # Xvfb picks a free display number and writes it to fd 3.
    exec 3>"$scratch/display"
    Xvfb -displayfd 3 -screen 0 "${size}x24" -dpi 96 -nolisten tcp >/dev/null 2>&1 &
    server=$!
    for _ in $(seq 100); do [ -s "$scratch/display" ] && break; sleep 0.05; done
    exec 3>&-
    display=":$(head -n 1 "$scratch/display")"
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
    echo "== $size, scale $scale (display $display)"
    if ! AppData="$scratch" ProgramData="$scratch" DISPLAY=$display QT_QPA_PLATFORM=xcb QT_SCALE_FACTOR=$scale \
        "$check" ${shots:+"$shots" "$suffix"}; then
        failed=1
    fi
    kill "$manager" "$server" 2>/dev/null
    wait "$manager" "$server" 2>/dev/null
    manager=""
    server=""
    : >"$scratch/display"
done
exit $failed
