#!/usr/bin/env bash
# The Windows module where no window can be made (Wine without an X display:
# DialogBoxParam gives -1): the pack run fails with E_NOT_SUPPORTED instead of
# passing for a cancel, no report is made, and the stand-in says why.
# Usage: no_desktop.sh WINE HOST SAMPLES
set -euo pipefail
wine="$1" standin="$2" samples="$3"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

windows() { "${wine%wine}winepath" -w "$1" 2>/dev/null; }
report="$(windows "$work")\\report.csv"
source="$(windows "$samples")"
status=0
output="$(env -u DISPLAY "$wine" "$standin" pack "$report" "$source" web 2>&1)" || status=$?
failed=0
[ "$status" -eq 1 ] || { echo "FAIL: exit status $status, not 1"; failed=1; }
grep -q "no desktop to show it on (E_NOT_SUPPORTED, 24)" <<<"$output" ||
    { echo "FAIL: the stand-in did not name the code and the reason"; failed=1; }
[ ! -e "$work/report.csv" ] || { echo "FAIL: a report was made"; failed=1; }
echo "$output"
exit "$failed"
