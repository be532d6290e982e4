#!/usr/bin/env bash
# Fails unless the module's dynamic symbol table defines exactly the nine
# packer entry points.
set -euo pipefail
expected="CloseArchive ConfigurePacker GetPackerCaps OpenArchive PackFiles ProcessFile ReadHeader SetChangeVolProc SetProcessDataProc"
actual="$(nm -D --defined-only "$1" | awk '{print $3}' | sort | tr '\n' ' ' | sed 's/ $//')"
if [ "$actual" != "$expected" ]; then
    echo "exported: $actual"
    echo "expected: $expected"
    exit 1
fi
echo "exports: $actual"
