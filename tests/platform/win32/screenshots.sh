#!/usr/bin/env bash
# Takes screenshots of the settings dialog and the about box from the X
# display Wine draws on, cropped to each window, as PNG files in OUTDIR.
# Usage: screenshots.sh WINE POSE OUTDIR
set -euo pipefail
wine="$1" pose="$2" out="$3"
mkdir -p "$out"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
windows() { "${wine%wine}winepath" -w "$1" 2>/dev/null; }

shoot() {
    local kind="$1" ready="$work/$1.ready" done="$work/$1.done"
    "$wine" "$pose" "$kind" "$(windows "$ready")" "$(windows "$done")" &
    local pid=$!
    for _ in $(seq 300); do
        [ -s "$ready" ] && break
        sleep 0.1
    done
    if [ ! -s "$ready" ]; then
        echo "FAIL: the $kind window did not show"
        kill "$pid" 2>/dev/null || true
        return 1
    fi
    local geometry
    geometry="$(cat "$ready")"
    import -window root -crop "$geometry" +repage "$out/$kind.png"
    touch "$done"
    wait "$pid" || { echo "FAIL: the $kind window was not answered"; return 1; }
    local size
    size="$(identify -format '%wx%h' "$out/$kind.png")"
    [ "$size" = "${geometry%%+*}" ] || { echo "FAIL: $kind.png is $size, not ${geometry%%+*}"; return 1; }
    # A window, not an empty crop: more than a handful of colours.
    local colours
    colours="$(convert "$out/$kind.png" -format '%k' info:)"
    [ "$colours" -gt 8 ] || { echo "FAIL: $kind.png holds only $colours colours"; return 1; }
    echo "$out/$kind.png: $size, $colours colours"
}

shoot settings
shoot about
