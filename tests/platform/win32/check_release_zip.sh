#!/usr/bin/env bash
# Checks the release zip: exactly the two modules, the installation file and
# the read-me; each module is the one just built, of its machine (the 32-bit
# one PE32 for i386, the 64-bit one PE32+ for x86-64) and exporting exactly
# the entry points by their plain names; pluginst.inf tells the file manager
# how to install the plug-in, and the read-me which module is for which
# edition.
# Usage: check_release_zip.sh OBJDUMP ZIP MODULE32 MODULE64 EXPORT...
set -euo pipefail
objdump="$1" zip="$(realpath "$2")" module32="$3" module64="$4"
shift 4
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
failed=0
fail() { echo "FAIL: $*"; failed=1; }

[ -f "$zip" ] || { echo "FAIL: no $zip"; exit 1; }
(cd "$work" && cmake -E tar xf "$zip")
name32="$(basename "$module32")" name64="$(basename "$module64")"
contents="$(cd "$work" && find . -type f | sed 's|^\./||' | LC_ALL=C sort | tr '\n' ' ')"
expected="$(printf '%s\n' "$name32" "$name64" pluginst.inf readme.txt | LC_ALL=C sort | tr '\n' ' ')"
[ "$contents" = "$expected" ] || fail "zip holds: $contents"

here="$(dirname "$0")"
cmp -s "$work/$name32" "$module32" || fail "$name32 in the zip is not the built module"
cmp -s "$work/$name64" "$module64" || fail "$name64 in the zip is not the built module"
"$here/check_pe.sh" "$objdump" i386 "$work/$name32" "$name32" "$@" || failed=1
"$here/check_pe.sh" "$objdump" x86-64 "$work/$name64" "$name64" "$@" || failed=1

inf="$(tr -d '\r' <"$work/pluginst.inf")"
[ "$(head -1 <<<"$inf")" = "[plugininstall]" ] || fail "pluginst.inf does not start with [plugininstall]"
# The installer names the 32-bit module; the 64-bit edition takes the one
# with the same name and its own extension beside it.
for line in "type=wcx" "file=$name32" "defaultextension=csv"; do
    grep -qx "$line" <<<"$inf" || fail "pluginst.inf lacks $line"
done
grep -Eq "^description=.+" <<<"$inf" || fail "pluginst.inf has no description"
grep -q $'\r$' "$work/pluginst.inf" || fail "pluginst.inf lines do not end in CR LF"

readme="$(tr -d '\r' <"$work/readme.txt")"
grep -q "Installing" <<<"$readme" || fail "readme.txt says nothing of installing"
grep -Eq "^ *${name32//./\\.} +for the 32-bit edition" <<<"$readme" ||
    fail "readme.txt does not say that $name32 is for the 32-bit edition"
grep -Eq "^ *${name64//./\\.} +for the 64-bit edition" <<<"$readme" ||
    fail "readme.txt does not say that $name64 is for the 64-bit edition"

[ "$failed" -eq 0 ] || exit 1
echo "$zip: $contents"
