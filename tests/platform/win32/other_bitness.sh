#!/usr/bin/env bash
# The stand-in hosts of both bitnesses under Wine: each loads the module of
# its own bitness, and refuses the other one with a message that names both
# bitnesses (the system's own text for the refusal does not).
# Usage: other_bitness.sh WINE HOST32 MODULE32 HOST64 MODULE64
set -euo pipefail
wine="$1" standin32="$2" module32="$3" standin64="$4" module64="$5"
failed=0
fail() { echo "FAIL: $*"; failed=1; }

# Wine's drive Z: is the root.
windows_path() { printf 'Z:%s' "${1//\//\\}"; }

# Runs STANDIN caps with MODULE and checks the outcome: own = it loads.
check() {
    local standin="$1" bits="$2" module="$3" module_bits="$4" out err status=0
    out="$("$wine" "$standin" caps --plugin "$(windows_path "$module")" 2>"${err_file}")" || status=$?
    out="$(tr -d '\r' <<<"$out")"
    err="$(tr -d '\r' <"$err_file")"
    if [ "$bits" = "$module_bits" ]; then
        [ "$status" -eq 0 ] && [ "${out%%$'\n'*}" = "407 (0x197)" ] ||
            fail "the $bits-bit stand-in did not load $(basename "$module") (status $status): $out $err"
    else
        local says="it is a $module_bits-bit module; this mossgrain is $bits-bit"
        [ "$status" -eq 2 ] && [[ "$err" == *"$says"* ]] ||
            fail "the $bits-bit stand-in given $(basename "$module") (status $status) did not say '$says': $err"
        echo "$bits-bit stand-in, $(basename "$module"): $err"
    fi
}

err_file="$(mktemp)"
trap 'rm -f "$err_file"' EXIT
check "$standin32" 32 "$module32" 32
check "$standin64" 64 "$module64" 64
check "$standin32" 32 "$module64" 64
check "$standin64" 64 "$module32" 32
[ "$failed" -eq 0 ] || exit 1
echo "each host loads its own bitness and names the other"
