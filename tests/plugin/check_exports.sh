#!/usr/bin/env bash
# Fails unless the module's dynamic symbol table defines exactly the names
# given after it (the build's one list of entry points).
# Usage: check_exports.sh MODULE NAME...
set -euo pipefail
module="$1"
shift
expected="$(printf '%s\n' "$@" | sort | tr '\n' ' ' | sed 's/ $//')"
actual="$(nm -D --defined-only "$module" | awk '{print $3}' | sort | tr '\n' ' ' | sed 's/ $//')"
if [ "$actual" != "$expected" ]; then
    echo "exported: $actual"
    echo "expected: $expected"
    exit 1
fi
echo "exports: $actual"
