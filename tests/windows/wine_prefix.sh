#!/usr/bin/env bash
# Makes the Wine prefix of a Windows build ready and starts its server:
#   wine_prefix.sh PREFIX [null|x11]
# The prefix is created once (wineboot, then the graphics driver: Wine's null driver, which needs
# no screen, or X11 for pictures of the windows on an X display) and reused. The server is
# started here, before CTest starts any Wine process: a first Wine process under CTest leaves
# background processes holding CTest's output pipe. KAPTOR_WINE names the loader (see
# wine_run.sh); KAPTOR_WINE_BOOT_TIMEOUT limits the first boot (300 s).
set -euo pipefail
prefix=$(realpath -m "$1")
graphics=${2:-null}
here=$(dirname "$0")
source "$here/wine_run.sh"

if [ ! -f "$prefix/.kaptor-ready" ]; then
    rm -rf "$prefix"
    mkdir -p "$prefix"
    echo "wine: creating the prefix $prefix"
    KAPTOR_WINE_TIMEOUT=${KAPTOR_WINE_BOOT_TIMEOUT:-300} wine_run "$prefix" wineboot -i \
        </dev/null >/dev/null 2>&1
    bash "$here/../../scripts/wine_fonts.sh" "$prefix"
    KAPTOR_WINE_TIMEOUT=60 wine_run "$prefix" reg add 'HKCU\Software\Wine\Drivers' \
        /v Graphics /d "$graphics" /f </dev/null >/dev/null 2>&1
    if [ "$graphics" = x11 ]; then
        # Without a window manager: Wine draws the frames itself, and closing a window does
        # not wait for one.
        for value in Managed Decorated; do
            KAPTOR_WINE_TIMEOUT=60 wine_run "$prefix" reg add 'HKCU\Software\Wine\X11 Driver' \
                /v "$value" /d N /f </dev/null >/dev/null 2>&1
        done
    fi
    WINEPREFIX=$prefix timeout 60 /usr/lib/wine/wineserver -k || true
    touch "$prefix/.kaptor-ready"
fi
# The server stays up for 30 s after its last program ends, so that each test program does not
# pay for starting it (about 4 s instead of 0.3 s). A server still running from an earlier run
# refuses a second one (status 2) and serves as it is.
WINEPREFIX=$prefix /usr/lib/wine/wineserver -p30 || [ $? -eq 2 ]
wine_run "$prefix" cmd /c exit </dev/null >/dev/null 2>&1
