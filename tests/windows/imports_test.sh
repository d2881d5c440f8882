#!/usr/bin/env bash
# Every Windows binary of the build imports only DLLs that come with Windows itself: the C++
# runtime and the thread library are linked in.
#   imports_test.sh OBJDUMP BINARY...
set -uo pipefail
objdump=$1
shift
system='^(kernel32|msvcrt|user32|gdi32|advapi32|ole32|oleaut32|shell32|comctl32|comdlg32|uuid)\.dll$'
failures=0
for binary in "$@"; do
    imports=$("$objdump" -p "$binary" | sed -n 's/^\tDLL Name: //p')
    if [ -z "$imports" ]; then
        echo "FAIL $binary: no imports found"
        failures=$((failures + 1))
        continue
    fi
    foreign=0
    for dll in $imports; do
        if ! tr 'A-Z' 'a-z' <<<"$dll" | grep -Eq "$system"; then
            echo "FAIL $(basename "$binary") imports $dll"
            foreign=$((foreign + 1))
        fi
    done
    failures=$((failures + foreign))
    [ "$foreign" -gt 0 ] || echo "ok   $(basename "$binary"): $(tr '\n' ' ' <<<"$imports")"
done
[ "$failures" -eq 0 ]
