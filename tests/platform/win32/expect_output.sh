#!/usr/bin/env bash
# Runs a command (a program of the build under Wine) and passes only when it
# exits 0 and prints a line matching PATTERN. The exit status alone proves
# nothing: a Wine that cannot run programs of this kind prints nothing and
# exits 0 all the same.
# Usage: expect_output.sh PATTERN COMMAND [ARGUMENT...]
set -uo pipefail
pattern="$1"
shift
out="$(mktemp)"
trap 'rm -f "$out"' EXIT
"$@" 2>&1 | tr -d '\r' | tee "$out"
status="${PIPESTATUS[0]}"
if [ "$status" -ne 0 ]; then
    echo "FAIL: exit status $status"
    exit 1
fi
if ! grep -Eq "$pattern" "$out"; then
    echo "FAIL: exit status 0, but no line matching '$pattern' in its output$([ -s "$out" ] || echo " (it printed nothing)")"
    exit 1
fi
