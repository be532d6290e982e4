#!/usr/bin/env bash
# Checks the release zip: exactly the module, the installation file and the
# read-me; the module is the one just built; pluginst.inf tells the file
# manager how to install it.
# Usage: check_release_zip.sh ZIP MODULE
set -euo pipefail
zip="$(realpath "$1")" module="$2"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
failed=0
fail() { echo "FAIL: $*"; failed=1; }

[ -f "$zip" ] || { echo "FAIL: no $zip"; exit 1; }
(cd "$work" && cmake -E tar xf "$zip")
contents="$(cd "$work" && find . -type f | sed 's|^\./||' | sort | tr '\n' ' ')"
[ "$contents" = "Mossgrain.wcx pluginst.inf readme.txt " ] || fail "zip holds: $contents"
cmp -s "$work/Mossgrain.wcx" "$module" || fail "Mossgrain.wcx in the zip is not the built module"

inf="$(tr -d '\r' <"$work/pluginst.inf")"
[ "$(head -1 <<<"$inf")" = "[plugininstall]" ] || fail "pluginst.inf does not start with [plugininstall]"
for line in "type=wcx" "file=Mossgrain.wcx" "defaultextension=csv"; do
    grep -qx "$line" <<<"$inf" || fail "pluginst.inf lacks $line"
done
grep -Eq "^description=.+" <<<"$inf" || fail "pluginst.inf has no description"
grep -q $'\r$' "$work/pluginst.inf" || fail "pluginst.inf lines do not end in CR LF"
grep -q "Installing" "$work/readme.txt" || fail "readme.txt says nothing of installing"

[ "$failed" -eq 0 ] || exit 1
echo "$zip: $contents"
