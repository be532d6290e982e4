#!/usr/bin/env bash
# Decompiles the module's resources with windres and compares them with the
# expected text: template 103 (English, United States) and the version record
# (Russian, Unicode), value by value.
# Usage: check_resources.sh WINDRES MODULE EXPECTED
set -euo pipefail
windres="$1" module="$2" expected="$3"
actual="$("$windres" -J coff -i "$module" -O rc)"
if ! diff -u "$expected" <(printf '%s\n' "$actual"); then
    echo "FAIL: the resources of $module differ from $expected"
    exit 1
fi
echo "resources match $expected"
