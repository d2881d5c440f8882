#!/usr/bin/env bash
# Runs one Windows program under Wine: wine_run.sh PREFIX PROGRAM [ARGUMENTS...]. Sourced, it
# gives the same as a function to the test scripts, with windows_path (a Unix path as Wine's
# drive Z: names it):
#   source tests/windows/wine_run.sh; wine_run PREFIX PROGRAM...; windows_path /tmp/x
# Every run has a time limit (KAPTOR_WINE_TIMEOUT seconds, default 120): a modal box under Wine
# with nobody to close it would otherwise wait forever. KAPTOR_WINE names the loader: 64-bit Wine
# by default, tests/i686/wine32.sh for the 32-bit build.
wine_run() {
    local prefix
    prefix=$(realpath -m "$1")
    shift
    # Wine names Unix files in the Unix locale's character set: without a UTF-8 locale a name
    # with Windows-1252 letters cannot be created at all. C.UTF-8 is always there, and Wine
    # still gives programs the ANSI code page 1252. A crash ends the program at once instead of
    # starting the debugger, which would wait; no menu entries reach the host's desktop.
    WINEPREFIX=$prefix LC_ALL=C.UTF-8 WINEDEBUG=${WINEDEBUG:--all} \
        WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d;winemenubuilder.exe=d" \
        timeout --kill-after=5 "${KAPTOR_WINE_TIMEOUT:-120}" \
        "${KAPTOR_WINE:-/usr/lib/wine/wine64}" "$@"
}
windows_path() { printf 'Z:%s' "${1//\//\\}"; }

if [ "${BASH_SOURCE[0]}" = "$0" ]; then
    set -euo pipefail
    wine_run "$@"
fi
