#!/usr/bin/env bash
# Makes the Wine prefix of a Windows build ready and starts its server:
#   wine_prefix.sh PREFIX
# The prefix is created once (wineboot, then Wine's null graphics driver, which needs no
# screen) and reused. The server is started here, before CTest starts any Wine process: a
# first Wine process under CTest leaves background processes holding CTest's output pipe.
set -euo pipefail
prefix=$(realpath -m "$1")
here=$(dirname "$0")
export WINEPREFIX=$prefix
export WINEDEBUG=-all
export LC_ALL=C.UTF-8
export WINEDLLOVERRIDES="mscoree,mshtml="

if [ ! -f "$prefix/.kaptor-ready" ]; then
    rm -rf "$prefix"
    mkdir -p "$prefix"
    echo "wine: creating the prefix $prefix"
    timeout 300 /usr/lib/wine/wine64 wineboot -i </dev/null >/dev/null 2>&1
    timeout 60 /usr/lib/wine/wine64 reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f \
        </dev/null >/dev/null 2>&1
    timeout 60 /usr/lib/wine/wineserver -k || true
    touch "$prefix/.kaptor-ready"
fi
# The server stays up for 30 s after its last program ends, so that each test program does not
# pay for starting it (about 4 s instead of 0.3 s).
/usr/lib/wine/wineserver -p30
bash "$here/wine_run.sh" "$prefix" cmd /c exit </dev/null >/dev/null 2>&1
