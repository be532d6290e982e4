#!/usr/bin/env bash
# Checks the Linux release archive: one folder holding exactly the module,
# the stand-in host and the read-me; the programs are the ones just built
# (without their symbols); the host there uses the module beside it; the
# read-me tells how to install and use the module in the file manager.
# Usage: check_release_tarball.sh TARBALL MODULE STANDIN STRIP
set -euo pipefail
tarball="$(realpath "$1")" module="$2" standin="$3" strip="$4"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
failed=0
fail() { echo "FAIL: $*"; failed=1; }

[ -f "$tarball" ] || { echo "FAIL: no $tarball"; exit 1; }
name="$(basename "$tarball" .tar.gz)"
(cd "$work" && tar xzf "$tarball")
contents="$(cd "$work" && find . -type f | sed 's|^\./||' | sort | tr '\n' ' ')"
expected="$name/Mossgrain.wcx $name/README.txt $name/mossgrain "
[ "$contents" = "$expected" ] || fail "the archive holds: $contents"

"$strip" -o "$work/module" "$module"
"$strip" -o "$work/standin" "$standin"
cmp -s "$work/$name/Mossgrain.wcx" "$work/module" || fail "Mossgrain.wcx is not the built module"
cmp -s "$work/$name/mossgrain" "$work/standin" || fail "mossgrain is not the built stand-in"
[ -x "$work/$name/mossgrain" ] || fail "mossgrain is not executable"
caps="$("$work/$name/mossgrain" caps | head -1)" || true
[ "$caps" = "407 (0x197)" ] || fail "the packed stand-in did not load the module beside it: $caps"

readme="$work/$name/README.txt"
for text in "Plugins WCX" "Add" "csv" "doublecmd.xml" "<Flags>407</Flags>" "Alt+F5" \
    "Archive format unknown" "Remove or rename the old report" "Double Commander 1.0.10"; do
    grep -qF "$text" "$readme" || fail "README.txt says nothing of \"$text\""
done

[ "$failed" -eq 0 ] || exit 1
echo "$tarball: $contents"
