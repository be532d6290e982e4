#!/usr/bin/env bash
# Fails when a Linux binary asks for more than the oldest system it is made
# for has: glibc 2.31, the C++ runtime of GCC 10 (GLIBCXX_3.4.28,
# CXXABI_1.3.12, GCC_7.0.0 of libgcc_s), and libraries beyond the C and C++
# runtimes. A younger version comes from a call the build machine's
# libraries have a newer version of: bind it to its old version in
# platform/posix/oldest_glibc/symbol_versions.h, or define it in
# old_calls.cpp where it has none.
# Usage: check_symbol_versions.sh BINARY...
set -euo pipefail
declare -A floor=([GLIBC]=2.31 [GLIBCXX]=3.4.28 [CXXABI]=1.3.12 [GCC]=7.0.0)
allowed=" libc.so.6 libdl.so.2 libpthread.so.0 libm.so.6 libstdc++.so.6 libgcc_s.so.1 ld-linux-x86-64.so.2 "
failed=0
# newer A B: whether version A is newer than B.
newer() { [ "$1" != "$2" ] && [ "$(printf '%s\n%s\n' "$1" "$2" | sort -V | tail -1)" = "$1" ]; }
for binary in "$@"; do
    while read -r version symbol; do
        family="${version%%_*}" number="${version#*_}"
        [ -n "${floor[$family]:-}" ] || continue
        if newer "$number" "${floor[$family]}"; then
            echo "FAIL: $(basename "$binary") asks for $symbol@$version (at most ${family}_${floor[$family]})"
            failed=1
        fi
    done < <(objdump -T "$binary" | sed -nE 's/.*[ (]((GLIBC|GLIBCXX|CXXABI|GCC)_[0-9.]+)\)? +([^ ]+)$/\1 \3/p')
    for library in $(objdump -p "$binary" | awk '$1 == "NEEDED" { print $2 }'); do
        [[ "$allowed" == *" $library "* ]] ||
            { echo "FAIL: $(basename "$binary") needs $library"; failed=1; }
    done
    newest="$(objdump -T "$binary" | grep -oE 'GLIBC_[0-9.]+' | sort -V | tail -1)"
    echo "$(basename "$binary"): newest glibc version asked for: ${newest:-none}"
done
exit "$failed"
