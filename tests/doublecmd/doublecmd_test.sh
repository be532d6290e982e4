#!/usr/bin/env bash
# The module in a real file manager: Double Commander (GTK2) on a virtual
# desktop of its own, with a fresh configuration that registers the module
# for the extension csv, packs folders of a generated tree through its own
# windows, as a user would:
#   ok         Enter in the settings dialog: the report equals the stand-in
#              host's with --expand for the same selection, nested folders too
#   cancel     Escape: no report
#   close      the dialog's window closed: no report
#   configure  Configure in the pack dialog: the about box, closed with Enter
#   existing   packing onto an existing report: the file manager's error names
#              the cause, the old report stays as it was
# The file manager runs in a session of its own without input, so no terminal
# is involved. The dialogs are found by their captions and answered by keys
# sent to them. What the windows say is read from the text the file manager
# lays out (drawn_text.so, preloaded). Screenshots go to OUT/screenshots.
#
# Usage: doublecmd_test.sh MODULE HOST DRAWN_TEXT_SO OUT [ROUND...]
set -euo pipefail
set +m # without job control $! is the started program itself, not a wrapper
here="$(cd "$(dirname "$0")" && pwd)"
source "$here/desktop.sh"

module="$(realpath "$1")" host="$(realpath "$2")" drawn_text="$(realpath "$3")" out="$4"
shift 4
rounds=("$@")
[ "${#rounds[@]}" -gt 0 ] || rounds=(ok cancel close configure existing)
mkdir -p "$out/screenshots" "$out/logs"
out="$(realpath "$out")"
work="$(mktemp -d /tmp/mossgrain-doublecmd.XXXXXX)"
finish() {
    stop_desktop
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap finish EXIT
trap 'exit 130' INT TERM

failed=0
fail() {
    desktop_log "FAIL: $*"
    failed=1
}

# How long the panels take to fill after the main window shows.
PANEL_WAIT="${PANEL_WAIT:-1}"

# ---- the tree packed in every round --------------------------------------------

src="$work/tree/src"
mkdir -p "$src/alpha/deep/deeper" "$src/alpha/empty" "$src/beta"
printf 'int top;\n// about top\n\n/* block\n   still */ int after;\n' >"$src/alpha/top.c"
printf 'int one;\n' >"$src/alpha/deep/one.c"
printf 'int two; // two\nint three;\n' >"$src/alpha/deep/two.c"
printf 'not counted\n' >"$src/alpha/deep/notes.txt"
printf '#pragma once\n\n' >"$src/alpha/deep/deeper/three.h"
ln -s deep "$src/alpha/shortcut"
printf 'read me\n' >"$src/beta/readme.txt"
printf 'var b; /* c */\r\n\r\n' >"$src/beta/b.js"
ln -s alpha/deep "$src/gamma"
printf 'int zeta;\n' >"$src/zeta.c"
# The panel lists the folders (the link to one among them), then the files:
# the first four items are what the rounds select.
selection=(alpha beta gamma zeta.c)

expected="$work/expected.csv"
XDG_CONFIG_HOME="$work/host-config" "$host" pack --yes --expand --plugin "$module" \
    "$expected" "$src" "${selection[@]}" >/dev/null 2>"$out/logs/host.log" ||
    { cat "$out/logs/host.log" >&2; fail "the stand-in host did not write the expected report"; }
cp "$expected" "$out/logs/expected.csv" 2>/dev/null || true

start_desktop "$work" || exit 1
desktop_log "display $DISPLAY with openbox"

# ---- one round -------------------------------------------------------------------

dc_pid=""
dc_gone() { ! kill -0 "$dc_pid" 2>/dev/null; }

# start_doublecmd DIR: a fresh configuration registering the module, the tree
# in the left panel and DIR/out in the right one.
start_doublecmd() {
    local dir="$1"
    mkdir -p "$dir/config" "$dir/home" "$dir/out"
    cat >"$dir/config/doublecmd.xml" <<XML
<?xml version="1.0" encoding="UTF-8"?>
<doublecmd DCVersion="1.0.10" ConfigVersion="13">
  <Plugins>
    <WcxPlugins>
      <WcxPlugin Enabled="True">
        <ArchiveExt>csv</ArchiveExt>
        <Path>$module</Path>
        <Flags>407</Flags>
      </WcxPlugin>
    </WcxPlugins>
  </Plugins>
</doublecmd>
XML
    # English, whatever the machine's locale: the keys below follow the
    # English captions.
    start_process "$dir/doublecmd.log" env HOME="$dir/home" XDG_CONFIG_HOME="$dir/home/.config" \
        LANG=C.UTF-8 LC_ALL=C.UTF-8 LD_PRELOAD="$drawn_text" MOSSGRAIN_DRAWN_TEXT="$dir/drawn.txt" \
        doublecmd --no-splash --config-dir="$dir/config" -L "$src" -R "$dir/out"
    dc_pid="$STARTED_PID"
}

quit_doublecmd() {
    local main="$1"
    activate "$main"
    chord alt x
    wait_until 10 dc_gone || { desktop_log "Alt+X did not end the file manager"; stop_process "$dc_pid"; }
}

# open_pack_dialog MAIN: selects the first items of the left panel and opens
# "Pack files"; prints its window.
open_pack_dialog() {
    local main="$1"
    sleep "$PANEL_WAIT"
    activate "$main"
    xdotool mousemove --window "$main" 120 350 click 1 # the left file list takes the keys
    sleep 0.3
    xdotool key Home
    xdotool key Down # past ".."
    for _ in "${selection[@]}"; do xdotool key Insert; done
    sleep 0.2
    chord alt F5
    find_window 10 '^Pack files$'
}

# drawn DIR TEXT: whether the file manager laid out TEXT in a window;
# drawn_alone DIR TEXT: as a text of its own, such as a label's.
drawn() { grep -qF -- "$2" "$1/drawn.txt" 2>/dev/null; }
drawn_alone() { grep -qxF -- "$2" "$1/drawn.txt" 2>/dev/null; }

round() {
    local name="$1" dir="$work/$1" started main pack dialog box
    started="$(now_ms)"
    desktop_log "== $name"
    local report="$dir/out/src.csv"
    mkdir -p "$dir/out"
    [ "$name" != existing ] || printf 'old report\r\n' >"$report"
    start_doublecmd "$dir"
    if ! main="$(find_window 40 '^Double Commander')"; then
        fail "$name: no main window"
        return
    fi
    if ! pack="$(open_pack_dialog "$main")"; then
        fail "$name: no Pack files dialog"
        list_windows
        quit_doublecmd "$main"
        return
    fi
    activate "$pack"
    case "$name" in
    ok | cancel | close)
        xdotool key Return
        if ! dialog="$(find_window 10 '^Mossgrain: Settings$')"; then
            fail "$name: the module showed no settings dialog"
            list_windows
        else
            activate "$dialog"
            case "$name" in
            ok)
                screenshot "$dialog" "$out/screenshots/doublecmd-settings.png"
                xdotool key Return
                ;;
            cancel) xdotool key Escape ;;
            close) chord alt F4 ;;
            esac
            wait_until 5 window_gone '^Mossgrain: Settings$' || fail "$name: the dialog stayed open"
            local text
            for text in "Project style" "C style project" "Pascal style project" "Results File" \
                ".csv" ".VizizaVara" "Ok" "Cancel"; do
                drawn_alone "$dir" "$text" || fail "$name: the dialog did not show \"$text\""
            done
        fi
        if [ "$name" = ok ]; then
            # The rows follow the header as the walk goes: wait for all of them.
            if ! wait_until 10 cmp -s "$expected" "$report"; then
                if [ -e "$report" ]; then
                    fail "ok: the report differs from the stand-in host's with --expand"
                    diff <(tr -d '\r' <"$expected") <(tr -d '\r' <"$report") >&2 || true
                else
                    fail "ok: no report"
                fi
            fi
            cp "$report" "$out/logs/doublecmd-report.csv" 2>/dev/null || true
            grep -q '^alpha/deep/deeper;' "$report" 2>/dev/null || fail "ok: no row for a nested folder"
        else
            sleep 1
            [ ! -e "$report" ] || fail "$name: a report was written"
            # The run ended as a cancel: the file manager says nothing.
            [ "$(xdotool search --onlyvisible --name . | grep -vxc "$main")" = 0 ] ||
                { fail "$name: a window besides the main one is open"; list_windows; }
        fi
        ;;
    configure)
        chord alt f # Con&figure
        if ! box="$(find_window 10 '^About\.\.\.$')"; then
            fail "configure: no about box"
            list_windows
        else
            activate "$box"
            screenshot "$box" "$out/screenshots/doublecmd-about.png"
            drawn "$dir" "Mossgrain plug-in for TotalCommander v 0.2" ||
                fail "configure: the about box does not show the about text"
            xdotool key Return
            wait_until 5 window_gone '^About\.\.\.$' || fail "configure: the about box stayed open"
        fi
        activate "$pack"
        xdotool key Escape
        wait_until 5 window_gone '^Pack files$' || fail "configure: Pack files stayed open"
        ;;
    existing)
        xdotool key Return
        if ! box="$(find_window 10 '^Error$')"; then
            fail "existing: no error box"
            list_windows
        else
            sleep 0.3
            screenshot "$box" "$out/screenshots/doublecmd-existing.png"
            drawn "$dir" "Archive format unknown" ||
                fail "existing: the error does not say the format is unknown"
            ! drawn "$dir" "Unknown error code" || fail "existing: the error names no cause"
            activate "$box"
            xdotool key Return
            wait_until 5 window_gone '^Error$' || fail "existing: the error box stayed open"
        fi
        window_gone '^Mossgrain: Settings$' || fail "existing: the settings dialog showed"
        [ "$(cat "$report")" = $'old report\r' ] || fail "existing: the old report changed"
        ;;
    esac
    quit_doublecmd "$main"
    # The module writes nothing to the file manager's streams.
    ! grep -qE 'Mossgrain: Settings|keys:|About\.\.\.' "$dir/doublecmd.log" ||
        fail "$name: the module wrote to the file manager's output"
    cp "$dir/doublecmd.log" "$out/logs/$name.doublecmd.log" 2>/dev/null || true
    desktop_log "$name took $(awk -v ms=$(($(now_ms) - started)) 'BEGIN { printf "%.1f", ms / 1000 }') s"
}

for r in "${rounds[@]}"; do round "$r"; done
if [ "$failed" -eq 0 ]; then
    desktop_log "passed: ${rounds[*]}"
else
    desktop_log "FAILED"
fi
exit "$failed"
