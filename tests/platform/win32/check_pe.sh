#!/usr/bin/env bash
# Checks a built Windows image: the machine it is for (i386: a PE32 image for
# 32-bit x86; x86-64: a PE32+ image), and that it imports only KERNEL32,
# USER32 and msvcrt (the C and C++ runtimes are linked in). Given a module
# name and export names, it must also be a DLL of that name exporting exactly
# those names, undecorated: a 32-bit host asks for PackFiles, never for
# _PackFiles@20.
# Usage: check_pe.sh OBJDUMP i386|x86-64 FILE [MODULE_NAME EXPORT...]
set -euo pipefail
objdump="$1" machine="$2" file="$3"
shift 3
failed=0
fail() { echo "FAIL: $(basename "$file"): $*"; failed=1; }

case "$machine" in
    i386) magic="PE32" machine_bytes="4c01" ;;
    x86-64) magic="PE32+" machine_bytes="6486" ;;
    *) echo "check_pe.sh: unknown machine $machine" >&2 && exit 2 ;;
esac

# The machine field of the file header, read from the bytes themselves.
bytes() { od -An -tx1 -j"$1" -N"$2" "$file" | tr -d ' \n'; }
pe_offset="$(od -An -tu4 -j60 -N4 "$file" | tr -d ' \n')"
if [ "$(bytes 0 2)" != "4d5a" ] || [ "$(bytes "$pe_offset" 4)" != "50450000" ]; then
    echo "FAIL: $(basename "$file") is no PE image"
    exit 1
fi
[ "$(bytes $((pe_offset + 4)) 2)" = "$machine_bytes" ] ||
    fail "machine field $(bytes $((pe_offset + 4)) 2), not that of $machine ($machine_bytes)"

headers="$("$objdump" -p "$file" 2>&1)" || fail "$objdump cannot read it"
kind="$(sed -n 's/^Magic[[:space:]]*[0-9a-f]*[[:space:]]*(\(.*\))$/\1/p' <<<"$headers")"
[ "$kind" = "$magic" ] || fail "a ${kind:-unknown} image, not $magic"

# The system's kernel, window and C library DLLs, and nothing else.
allowed='^(KERNEL32|USER32|msvcrt)\.dll$'
imports="$(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$headers")"
while read -r dll; do
    [ -z "$dll" ] || [[ "$dll" =~ $allowed ]] || fail "imports $dll"
done <<<"$imports"

summary="$(basename "$file"): $kind $machine"
if [ "$#" -gt 0 ]; then
    module_name="$1"
    shift
    sed -n '/^Characteristics/,/^$/p' <<<"$headers" | grep -Eq "^[[:space:]]+DLL$" || fail "not a DLL"
    grep -Eq "^Name[[:space:]]+[0-9a-f]+ ${module_name//./\\.}$" <<<"$headers" ||
        fail "the export directory does not name $module_name"

    exported="$(sed -n '/^\[Ordinal\/Name Pointer\] Table/,/^$/p' <<<"$headers" |
        sed -n 's/^[[:space:]]*\[ *[0-9]*\] //p' | sort)"
    decorated="$(grep -E '@|^_' <<<"$exported" | tr '\n' ' ' || true)"
    [ -z "$decorated" ] || fail "decorated names exported: $decorated"
    names="$(tr '\n' ' ' <<<"$exported" | sed 's/ $//')"
    expected="$(printf '%s\n' "$@" | sort | tr '\n' ' ' | sed 's/ $//')"
    [ "$names" = "$expected" ] || fail "exports $names; expected $expected"
    # Every address is reached by a name: no export by ordinal only.
    addresses="$(sed -n 's/^[[:space:]]*Export Address Table[[:space:]]*\([0-9a-f]*\)$/\1/p' <<<"$headers" | head -1)"
    [ "$((16#${addresses:-0}))" -eq "$#" ] || fail "its export address table holds $((16#${addresses:-0})) entries"
    summary+=" DLL $module_name; exports: $names"
fi

[ "$failed" -eq 0 ] || exit 1
echo "$summary; imports: $(tr '\n' ' ' <<<"$imports")"
