#!/usr/bin/env bash
# Runs one Windows program under Wine: wine_run.sh PREFIX PROGRAM [ARGUMENTS...]
# Every run has a time limit (KAPTOR_WINE_TIMEOUT seconds, default 120): a modal box under Wine
# with nobody to close it would otherwise wait forever. KAPTOR_WINE names the loader: 64-bit Wine
# by default, tests/i686/wine32.sh for the 32-bit build.
set -euo pipefail
prefix=$(realpath -m "$1")
shift
export WINEPREFIX=$prefix
# Wine names Unix files in the Unix locale's character set: without a UTF-8 locale a name with
# Windows-1252 letters cannot be created at all. C.UTF-8 is always there, and Wine still gives
# programs the ANSI code page 1252.
export LC_ALL=C.UTF-8
export WINEDEBUG=${WINEDEBUG:--all}
# A crash ends the program at once instead of starting the debugger, which would wait.
export WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d"
exec timeout --kill-after=5 "${KAPTOR_WINE_TIMEOUT:-120}" "${KAPTOR_WINE:-/usr/lib/wine/wine64}" "$@"
