#!/usr/bin/env bash
# Folders linked into a tree under Wine (which shows POSIX links to folders as
# folders): a second way to a folder is counted again, a way back round to a
# folder already on the walk's path is not entered. Runs the stand-in host.
# Usage: linked_folders.sh WINE HOST
set -euo pipefail
wine="$1" standin="$2"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

mkdir -p "$work/tree/src" "$work/tree/lib"
printf 'x\n' >"$work/tree/src/a.c"
printf 'y\ny\n' >"$work/tree/lib/b.c"
ln -s ../lib "$work/tree/src/lib"  # lib/b.c is reached twice
ln -s .. "$work/tree/lib/up"       # back to the top: a cycle
ln -s . "$work/tree/src/self"      # a folder inside itself

windows() { "${wine%wine}winepath" -w "$1" 2>/dev/null; }
"$wine" "$standin" pack --yes "$(windows "$work/report.csv")" "$(windows "$work")" tree >/dev/null
expected=$'Name;Files;Total Lines;Code Lines;Comments;Empty Lines;Ratio %\r\ntree;    3;       5;       5;       0;       0;100\r'
actual="$(cat "$work/report.csv")"
if [ "$actual" != "$expected" ]; then
    echo "FAIL: report:"
    cat -A "$work/report.csv"
    exit 1
fi
echo "linked folders counted once per way in, cycles not entered"
