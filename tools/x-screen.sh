#!/usr/bin/env bash
# A virtual screen with a window manager, for the programs that look at a real screen (the window
# check, the screenshot drivers, the package test). Sourced; needs Xvfb, openbox and xprop.
#
# zendra_start_screen SIZE [DPI]: starts Xvfb at SIZE (1366x768) on a display number the server
# picks itself (so runs side by side never collide), then openbox, and returns once openbox manages
# windows. Sets ZENDRA_SCREEN (":N", for DISPLAY) and ZENDRA_SCREEN_PIDS. Returns 1, with a message
# on standard error, when either does not come up in time.
# zendra_stop_screen: ends both.
# The windows shown there are waited for by the rule of tests/ui/WindowSettle.h: framed and still.

# Seconds the server and the window manager get to come up on a loaded machine.
ZENDRA_SCREEN_START_LIMIT=${ZENDRA_SCREEN_START_LIMIT:-30}
ZENDRA_SCREEN=""
ZENDRA_SCREEN_PIDS=()

zendra_start_screen() {
    local size=$1 dpi=${2:-96} folder server manager polls
    folder=$(mktemp -d)
    polls=$((ZENDRA_SCREEN_START_LIMIT * 10))
    ZENDRA_SCREEN=""
    ZENDRA_SCREEN_PIDS=()
    # Xvfb writes the display number it chose to fd 3 once it accepts connections.
    Xvfb -displayfd 3 -screen 0 "${size}x24" -dpi "$dpi" -nolisten tcp 3>"$folder/display" >/dev/null 2>&1 &
    server=$!
    ZENDRA_SCREEN_PIDS=("$server")
    for _ in $(seq "$polls"); do
        [ -s "$folder/display" ] && break
        kill -0 "$server" 2>/dev/null || break
        sleep 0.1
    done
    if ! [ -s "$folder/display" ]; then
        rm -rf "$folder"
        echo "Xvfb did not start within ${ZENDRA_SCREEN_START_LIMIT} s" >&2
        zendra_stop_screen
        return 1
    fi
    ZENDRA_SCREEN=":$(head -n 1 "$folder/display")"
    rm -rf "$folder"
    # openbox announces itself on the root window once it manages windows. Under heavy load it has
    # been seen to exit at start; it is started again then, at most three times.
    local attempt
    for attempt in 1 2 3; do
        DISPLAY=$ZENDRA_SCREEN openbox >/dev/null 2>&1 &
        manager=$!
        ZENDRA_SCREEN_PIDS+=("$manager")
        for _ in $(seq "$polls"); do
            DISPLAY=$ZENDRA_SCREEN xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && return 0
            kill -0 "$manager" 2>/dev/null || break
            sleep 0.1
        done
        kill -0 "$manager" 2>/dev/null && break
        echo "openbox exited at start on $ZENDRA_SCREEN (attempt $attempt)" >&2
    done
    echo "openbox did not start managing windows on $ZENDRA_SCREEN within ${ZENDRA_SCREEN_START_LIMIT} s" >&2
    zendra_stop_screen
    return 1
}

zendra_stop_screen() {
    [ ${#ZENDRA_SCREEN_PIDS[@]} -eq 0 ] && return 0
    # Either may have ended already (an openbox that exited at start); that is not a failure of
    # the caller, whose errexit would otherwise turn it into one.
    kill "${ZENDRA_SCREEN_PIDS[@]}" 2>/dev/null || true
    wait "${ZENDRA_SCREEN_PIDS[@]}" 2>/dev/null || true
    ZENDRA_SCREEN_PIDS=()
    return 0
}
