# A virtual desktop for driving a GUI program by its windows: an X server of
# its own with a window manager (so that windows get captions and can be
# activated), windows found by their names, keys sent to the active one.
# Every wait is bounded; every process started here is remembered by PID and
# stopped by PID at the end.
# shellcheck shell=bash

DESKTOP_PIDS=()

desktop_log() { printf '%s %s\n' "$(date +%T.%1N)" "$*" >&2; }

# now_ms: milliseconds since the epoch.
now_ms() { echo $(($(date +%s%N) / 1000000)); }

# wait_until SECONDS COMMAND...: polls COMMAND until it succeeds.
wait_until() {
    local end=$(($(now_ms) + $1 * 1000))
    shift
    until "$@" >/dev/null 2>&1; do
        [ "$(now_ms)" -lt "$end" ] || return 1
        sleep 0.1
    done
}

# start_process LOG COMMAND...: starts COMMAND in a session of its own, with
# no input and its output in LOG; its PID is remembered and left in
# STARTED_PID. (Not in a subshell: the PID would be lost there.)
start_process() {
    local log="$1"
    shift
    (exec setsid "$@" </dev/null >"$log" 2>&1) &
    STARTED_PID=$!
    DESKTOP_PIDS+=("$STARTED_PID")
}

# stop_process PID: TERM, then KILL after 3 s.
stop_process() {
    local pid="$1" i
    kill -0 "$pid" 2>/dev/null || return 0
    kill "$pid" 2>/dev/null || true
    for i in $(seq 30); do
        kill -0 "$pid" 2>/dev/null || return 0
        sleep 0.1
    done
    kill -9 "$pid" 2>/dev/null || true
}

# Stops every process started here, the last one first.
stop_desktop() {
    local i
    for ((i = ${#DESKTOP_PIDS[@]} - 1; i >= 0; i--)); do stop_process "${DESKTOP_PIDS[i]}"; done
    DESKTOP_PIDS=()
}

# start_desktop WORK: an X server on a free display (exported as DISPLAY) at
# 96 dots per inch, so that form pixels are screen pixels, and openbox on it.
start_desktop() {
    local work="$1"
    # -noreset: the server would otherwise reset as its first client leaves,
    # and a client connecting at that moment is refused.
    (exec setsid Xvfb -displayfd 3 -screen 0 1280x800x24 -dpi 96 -nolisten tcp -noreset \
        3>"$work/display" </dev/null >"$work/xvfb.log" 2>&1) &
    DESKTOP_PIDS+=($!)
    wait_until 10 test -s "$work/display" || { desktop_log "Xvfb did not start"; return 1; }
    DISPLAY=":$(head -1 "$work/display")"
    export DISPLAY
    wait_until 10 xdpyinfo || { desktop_log "display $DISPLAY does not answer"; return 1; }
    start_process "$work/openbox.log" openbox --sm-disable
    wait_until 10 window_manager_up || { desktop_log "openbox did not start"; return 1; }
}

window_manager_up() { xprop -root _NET_SUPPORTING_WM_CHECK | grep -q 'window id'; }

# find_window SECONDS REGEX: prints the first visible window whose name matches.
find_window() {
    local end=$(($(now_ms) + $1 * 1000)) id
    while :; do
        id="$(xdotool search --onlyvisible --name "$2" 2>/dev/null | head -1)"
        [ -n "$id" ] && { echo "$id"; return 0; }
        [ "$(now_ms)" -lt "$end" ] || return 1
        sleep 0.1
    done
}

window_gone() { ! xdotool search --onlyvisible --name "$1" >/dev/null 2>&1; }

# The names of the visible windows, for messages.
list_windows() {
    local id
    for id in $(xdotool search --onlyvisible --name '.' 2>/dev/null); do
        printf '  %s "%s"\n' "$id" "$(xdotool getwindowname "$id")" >&2
    done
}

# activate ID: makes the window the active one, so that keys go to it.
activate() {
    xdotool windowactivate --sync "$1" >/dev/null 2>&1 || xdotool windowfocus --sync "$1"
    sleep 0.2
}

# chord MODIFIER KEY: the modifier held down around the key; the combined
# "alt+F5" form was lost at times.
chord() {
    xdotool keydown "$1"
    sleep 0.1
    xdotool key "$2"
    sleep 0.1
    xdotool keyup "$1"
}

# screenshot ID FILE: the window with its frame, as PNG.
screenshot() { import -display "$DISPLAY" -frame -window "$1" "$2"; }
