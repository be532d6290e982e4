#!/usr/bin/env bash
# Checks the built Windows module with objdump: a 64-bit DLL named
# Mossgrain.wcx that exports exactly the given entry points (the build's one
# list), by name and undecorated, and imports only system DLLs. The stand-in
# host must need no DLL beyond the system's either.
# Usage: check_pe.sh OBJDUMP MODULE HOST NAME...
set -euo pipefail
objdump="$1" module="$2" host="$3"
shift 3
failed=0
fail() { echo "FAIL: $*"; failed=1; }

headers="$("$objdump" -p "$module")"
grep -q "^Magic.*(PE32+)" <<<"$headers" || fail "not a PE32+ image"
sed -n '/^Characteristics/,/^$/p' <<<"$headers" | grep -Eq "^[[:space:]]+DLL$" || fail "not a DLL"
grep -Eq "^Name[[:space:]]+[0-9a-f]+ Mossgrain\.wcx$" <<<"$headers" || fail "export name is not Mossgrain.wcx"

expected="$(printf '%s\n' "$@" | sort | tr '\n' ' ' | sed 's/ $//')"
names="$(sed -n '/^\[Ordinal\/Name Pointer\] Table/,/^$/p' <<<"$headers" |
    sed -n 's/^[[:space:]]*\[ *[0-9]*\] //p' | sort | tr '\n' ' ' | sed 's/ $//')"
[ "$names" = "$expected" ] || fail "exported names: $names"
# Every address is reached by a name: no export by ordinal only.
addresses="$(sed -n 's/^[[:space:]]*Export Address Table[[:space:]]*\([0-9a-f]*\)$/\1/p' <<<"$headers" | head -1)"
[ "$((16#${addresses:-0}))" -eq "$#" ] || fail "export address table holds $((16#${addresses:-0})) entries"

# System DLLs only: the C and C++ runtimes are linked in.
allowed='^(KERNEL32|USER32|SHLWAPI|VERSION|msvcrt|ucrtbase|api-ms-win-crt-[a-z0-9-]+)\.dll$'
check_imports() {
    local file="$1" dll
    while read -r dll; do
        [[ "$dll" =~ $allowed ]] || fail "$(basename "$file") imports $dll"
    done < <("$objdump" -p "$file" | sed -n 's/^[[:space:]]*DLL Name: //p')
}
check_imports "$module"
check_imports "$host"

if [ "$failed" -ne 0 ]; then exit 1; fi
echo "exports: $names"
echo "imports: $("$objdump" -p "$module" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr '\n' ' ')"
