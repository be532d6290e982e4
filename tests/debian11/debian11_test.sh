#!/usr/bin/env bash
# The Linux release on the oldest system it is made for: a Debian 11 root
# (glibc 2.31, GCC 10's C++ runtime, Double Commander 0.9.10 with GTK2).
#   - The release's stand-in host, run in the root, packs a generated tree
#     with --expand; its report equals this system's build's byte for byte.
#   - Double Commander 0.9.10, run in the root on a desktop of this system,
#     packs through the release's module as tests/doublecmd/doublecmd_test.sh
#     drives it (Enter, Escape, closing the window, Configure, an old report).
# Usage: debian11_test.sh ROOT TARBALL HOST MODULE DRAWN_TEXT_SO OUT
#   HOST and MODULE: this system's build, for the expected reports
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
root="$(realpath "$1")" tarball="$(realpath "$2")" standin="$(realpath "$3")"
module="$(realpath "$4")" drawn_text="$(realpath "$5")" out="$6"
mkdir -p "$out"
out="$(realpath "$out")"

work="$(mktemp -d "$root/tmp/mossgrain-debian11.XXXXXX")"
proc_mounted=""
finish() {
    [ -z "$proc_mounted" ] || umount "$root/proc" 2>/dev/null || umount -l "$root/proc"
    rm -rf "$work"
}
trap finish EXIT
trap 'exit 130' INT TERM
inner() { printf '%s' "${1#"$root"}"; }

tar xzf "$tarball" -C "$work"
release="$(find "$work" -mindepth 1 -maxdepth 1 -type d)"

# A tree of every kind of line, nested, with a link to a folder, a link back
# up, a file of another extension and an empty folder.
tree="$work/tree"
for top in alpha beta gamma; do
    for depth in one one/two one/two/three; do
        mkdir -p "$tree/$top/$depth"
        printf 'int %s;\n// note\n\n/* block\n   still */ int after; // tail\n' "$top" \
            >"$tree/$top/$depth/code.c"
        printf 'var x = 1;\r\n/* c */ y();\r\n\r\n   \t\r\n' >"$tree/$top/$depth/app.js"
        printf '#pragma once\n/*\n' >"$tree/$top/$depth/open.H"
        printf 'no line feed' >"$tree/$top/$depth/last.cpp"
        printf 'not counted\n' >"$tree/$top/$depth/notes.txt"
    done
done
mkdir -p "$tree/empty"
ln -s ../gamma/one "$tree/alpha/linked"
ln -s .. "$tree/beta/one/up"

# pack_expand STANDIN MODULE REPORT TREE: a run of the stand-in host over the
# tree's folders, as a file manager lists them.
pack_expand() {
    XDG_CONFIG_HOME="$(dirname "$3")/config" "$1" pack --yes --expand --plugin "$2" "$3" "$4" \
        alpha beta gamma empty >/dev/null 2>&1
}
failed=0
mount -t proc proc "$root/proc" && proc_mounted=yes # the stand-in finds its own folder there
pack_expand "$standin" "$module" "$work/here.csv" "$tree" || { echo "FAIL: this system's stand-in failed"; failed=1; }
mkdir -p "$work/there"
chroot "$root" env -i PATH=/usr/bin:/bin "$(inner "$release")/mossgrain" --version ||
    { echo "FAIL: the release's stand-in does not start in the root"; failed=1; }
if ! chroot "$root" env -i PATH=/usr/bin:/bin HOME=/tmp \
    XDG_CONFIG_HOME="$(inner "$work/there")/config" "$(inner "$release")/mossgrain" pack --yes --expand \
    "$(inner "$work/there")/report.csv" "$(inner "$tree")" alpha beta gamma empty >"$work/there/log" 2>&1; then
    echo "FAIL: the release's stand-in failed in the root:"
    cat "$work/there/log"
    failed=1
fi
if cmp "$work/here.csv" "$work/there/report.csv"; then
    echo "the release's stand-in in the root wrote this system's report, $(wc -l <"$work/here.csv") lines"
else
    echo "FAIL: the release's stand-in in the root wrote another report"
    diff <(tr -d '\r' <"$work/here.csv") <(tr -d '\r' <"$work/there/report.csv") || true
    failed=1
fi
cp "$work/there/report.csv" "$out/release-standin-report.csv" 2>/dev/null || true
umount "$root/proc" && proc_mounted=""

"$here/../doublecmd/doublecmd_test.sh" --root "$root" --program /usr/bin/doublecmd \
    --edition debian11 "$release/Mossgrain.wcx" "$standin" "$drawn_text" "$out" || failed=1
exit "$failed"
