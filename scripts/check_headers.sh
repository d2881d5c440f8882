#!/usr/bin/env bash
# Every portable header compiles on its own, and after the Windows headers too (where mingw-w64
# is installed): no header leans on what another happened to include before it, and none
# declares a name the Windows headers define as a macro.
#   check_headers.sh SOURCE
set -uo pipefail
cd "$1"
mapfile -t headers < <(git ls-files 'platform/*.h' 'automation/*.h' 'control/*.h' 'boardsim/*.h' \
    'cli/*.h' 'host/*.h' | grep -v -E '^(platform/win32|control/com|control/win32)/')
mingw=$(command -v x86_64-w64-mingw32-g++-posix || true)
check() {
    local header=$1
    printf '#include "%s"\n' "$header" |
        g++ -std=c++20 -fsyntax-only -Wall -Werror -I. -Ihost/include -x c++ - ||
        { echo "FAILED alone: $header"; return 1; }
    if [ -n "$mingw" ]; then
        printf '#include <windows.h>\n#include "%s"\n' "$header" |
            "$mingw" -std=c++20 -fsyntax-only -Wall -Werror -DWIN32_LEAN_AND_MEAN -DNOMINMAX -I. \
                -Ihost/include -x c++ - ||
            { echo "FAILED after windows.h: $header"; return 1; }
    fi
}
export -f check
export mingw
printf '%s\n' "${headers[@]}" | xargs -P 2 -I{} bash -c 'check {}'
status=$?
echo "${#headers[@]} headers checked"
exit $status
