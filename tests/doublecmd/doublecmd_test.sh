#!/usr/bin/env bash
# The module in a real file manager: Double Commander on a virtual desktop of
# its own, with a fresh configuration that registers the module for the
# extension csv, packs folders of a generated tree through its own windows,
# as a user would:
#   ok         Enter in the settings dialog: the report equals the stand-in
#              host's with --expand for the same selection, nested folders too,
#              and the pack job ends
#   cancel     Escape: no report
#   close      the dialog's window closed: no report
#   configure  Configure in the pack dialog: the about box, closed with Enter
#   existing   packing onto an existing report: the file manager's error names
#              the cause, the old report stays as it was
#   noglib     the Qt edition with QT_NO_GLIB=1 (Qt's own event loop, which
#              serves no GLib idle source): as ok, the job ends in 30 s
# The file manager runs in a session of its own without input, so no terminal
# is involved. The dialogs are found by their captions and answered by keys
# sent to them. What the windows say is read from the text the file manager
# lays out (drawn_text.so, preloaded). Screenshots go to OUT/screenshots.
#
# Usage: doublecmd_test.sh [--program PATH] [--edition NAME] [--root DIR]
#                          MODULE HOST DRAWN_TEXT_SO OUT [ROUND...]
#   --program  the file manager (default: doublecmd on the PATH)
#   --edition  a name for its screenshots: doublecmd-NAME-settings.png (by
#              default doublecmd-settings.png)
#   --root     a system root (a debootstrap of an older release) that holds
#              the file manager: it runs there by chroot, with the module, the
#              tree and its configuration inside the root, on the desktop of
#              this system; proc and the X socket folder are mounted into the
#              root for the run and unmounted on every way out
set -euo pipefail
set +m # without job control $! is the started program itself, not a wrapper
here="$(cd "$(dirname "$0")" && pwd)"
source "$here/desktop.sh"

program=doublecmd edition="" root=""
while [ "$#" -gt 0 ]; do
    case "$1" in
    --program) program="$2" && shift 2 ;;
    --edition) edition="$2" && shift 2 ;;
    --root) root="$(realpath "$2")" && shift 2 ;;
    *) break ;;
    esac
done
module="$(realpath "$1")" standin="$(realpath "$2")" drawn_text="$(realpath "$3")" out="$4"
shift 4
rounds=("$@")
[ "${#rounds[@]}" -gt 0 ] || rounds=(ok cancel close configure existing)
shot_prefix="doublecmd${edition:+-$edition}"
mkdir -p "$out/screenshots" "$out/logs"
out="$(realpath "$out")"
mounts=()
work="$(mktemp -d "$root/tmp/mossgrain-doublecmd.XXXXXX")"
finish() {
    stop_desktop
    wait 2>/dev/null || true
    local i
    for ((i = ${#mounts[@]} - 1; i >= 0; i--)); do umount "${mounts[i]}" 2>/dev/null || umount -l "${mounts[i]}"; done
    rm -rf "$work"
}
trap finish EXIT
trap 'exit 130' INT TERM

# inner PATH: the path as the file manager sees it (inside the root).
inner() { printf '%s' "${1#"$root"}"; }

# mount_into_root ARGS... TARGET: a mount for the run, undone at the end.
mount_into_root() {
    local target="${*: -1}"
    mkdir -p "$target"
    ! mountpoint -q "$target" || umount "$target"
    mount "$@"
    mounts+=("$target")
}

if [ -n "$root" ]; then
    [ -x "$root$program" ] || { echo "no $program in $root" >&2; exit 1; }
    mount_into_root -t proc proc "$root/proc"
    mount_into_root --bind /tmp/.X11-unix "$root/tmp/.X11-unix"
    # What the file manager loads must lie inside its root.
    cp "$module" "$work/$(basename "$module")"
    module="$work/$(basename "$module")"
    cp "$drawn_text" "$work/drawn_text.so"
    drawn_text="$work/drawn_text.so"
fi

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
XDG_CONFIG_HOME="$work/standin-config" "$standin" pack --yes --expand --plugin "$module" \
    "$expected" "$src" "${selection[@]}" >/dev/null 2>"$out/logs/standin.log" ||
    { cat "$out/logs/standin.log" >&2; fail "the stand-in host did not write the expected report"; }
cp "$expected" "$out/logs/expected.csv" 2>/dev/null || true

start_desktop "$work" || exit 1
desktop_log "display $DISPLAY with openbox"

# ---- one round -------------------------------------------------------------------

dc_pid=""
dc_gone() { ! kill -0 "$dc_pid" 2>/dev/null; }

# start_doublecmd DIR [VAR=VALUE...]: a fresh configuration registering the
# module, the tree in the left panel and DIR/out in the right one; the
# variables are added to its environment.
start_doublecmd() {
    local dir="$1"
    shift
    mkdir -p "$dir/config" "$dir/home" "$dir/out"
    cat >"$dir/config/doublecmd.xml" <<XML
<?xml version="1.0" encoding="UTF-8"?>
<doublecmd DCVersion="1.0.10" ConfigVersion="13">
  <LastUsedPacker>csv</LastUsedPacker>
  <Plugins>
    <WcxPlugins>
      <WcxPlugin Enabled="True">
        <ArchiveExt>csv</ArchiveExt>
        <Path>$(inner "$module")</Path>
        <Flags>407</Flags>
      </WcxPlugin>
    </WcxPlugins>
  </Plugins>
</doublecmd>
XML
    # English, whatever the machine's locale: the keys below follow the
    # English captions.
    local command=(env DISPLAY="$DISPLAY" HOME="$(inner "$dir/home")"
        XDG_CONFIG_HOME="$(inner "$dir/home/.config")" LANG=C.UTF-8 LC_ALL=C.UTF-8
        LD_PRELOAD="$(inner "$drawn_text")" MOSSGRAIN_DRAWN_TEXT="$(inner "$dir/drawn.txt")"
        "$@" "$program" --no-splash --config-dir="$(inner "$dir/config")" -L "$(inner "$src")"
        -R "$(inner "$dir/out")")
    if [ -n "$root" ]; then command=(chroot "$root" "${command[@]}"); fi
    start_process "$dir/doublecmd.log" "${command[@]}"
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

# only_main_window MAIN: whether MAIN is the only window on the desktop (the
# pack job's progress window and every dialog are gone).
only_main_window() { [ "$(xdotool search --onlyvisible --name . | grep -vxc "$1")" = 0 ]; }

round() {
    local name="$1" dir="$work/$1" started main pack dialog box
    started="$(now_ms)"
    desktop_log "== $name"
    local report="$dir/out/src.csv"
    mkdir -p "$dir/out"
    [ "$name" != existing ] || printf 'old report\r\n' >"$report"
    if [ "$name" = noglib ]; then
        start_doublecmd "$dir" QT_NO_GLIB=1
    else
        start_doublecmd "$dir"
    fi
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
    ok | noglib | cancel | close)
        xdotool key Return
        local asked
        asked="$(now_ms)"
        if ! dialog="$(find_window 10 '^Mossgrain: Settings$')"; then
            fail "$name: the module showed no settings dialog"
            list_windows
        else
            activate "$dialog"
            case "$name" in
            ok)
                screenshot "$dialog" "$out/screenshots/$shot_prefix-settings.png"
                xdotool key Return
                ;;
            noglib) xdotool key Return ;;
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
        if [ "$name" = ok ] || [ "$name" = noglib ]; then
            # The rows follow the header as the walk goes: wait for all of them.
            if ! wait_until 10 cmp -s "$expected" "$report"; then
                if [ -e "$report" ]; then
                    fail "$name: the report differs from the stand-in host's with --expand"
                    diff <(tr -d '\r' <"$expected") <(tr -d '\r' <"$report") >&2 || true
                else
                    fail "$name: no report"
                fi
            fi
            cp "$report" "$out/logs/$shot_prefix-$name-report.csv" 2>/dev/null || true
            grep -q '^alpha/deep/deeper;' "$report" 2>/dev/null ||
                fail "$name: no row for a nested folder"
            # The pack job ends: its progress window goes, within 30 s of the
            # pack being asked for, whatever became of the dialog.
            local left=$((30 - ($(now_ms) - asked) / 1000))
            wait_until $((left > 0 ? left : 0)) only_main_window "$main" ||
                { fail "$name: the pack job did not end within 30 s"; list_windows; }
        else
            sleep 1
            [ ! -e "$report" ] || fail "$name: a report was written"
            # The run ended as a cancel: the file manager says nothing.
            only_main_window "$main" ||
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
            screenshot "$box" "$out/screenshots/$shot_prefix-about.png"
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
            screenshot "$box" "$out/screenshots/$shot_prefix-existing.png"
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
    cp "$dir/doublecmd.log" "$out/logs/$shot_prefix-$name.log" 2>/dev/null || true
    desktop_log "$name took $(awk -v ms=$(($(now_ms) - started)) 'BEGIN { printf "%.1f", ms / 1000 }') s"
}

for r in "${rounds[@]}"; do round "$r"; done
if [ "$failed" -eq 0 ]; then
    desktop_log "passed: ${rounds[*]}"
else
    desktop_log "FAILED"
fi
exit "$failed"
