#!/usr/bin/env bash
# Tries KAPSHOT, the test program, on a Linux desktop with Wine:
#   scripts/kapshot.sh [--prepare]
# Builds the Windows flavour when something is missing, registers KAPTORAX.ocx in a Wine prefix
# of its own (KAPSHOT_WINEPREFIX, default build/windows/kapshot-wineprefix), lays down the
# sample configuration on that prefix's drive C:, points the control at the simulated board
# (Ftd2xx.dll of the build) and starts KAPSHOT.exe on $DISPLAY. Pictures go to the prefix's
# drive_c/KAPTOR/Imagen1.BMP. With --prepare it does everything but start KAPSHOT.
# The KAPTOR_SIM_* variables (see the README) reach the simulated board.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=$root/build/windows
prefix=$(realpath -m "${KAPSHOT_WINEPREFIX:-$build/kapshot-wineprefix}")
wine=/usr/lib/wine/wine64
prepare_only=0
case "${1:-}" in
    "") ;;
    --prepare) prepare_only=1 ;;
    *) echo "usage: scripts/kapshot.sh [--prepare]" >&2; exit 2 ;;
esac

if [ "$prepare_only" -eq 0 ] && [ -z "${DISPLAY:-}" ]; then
    echo "kapshot.sh: no DISPLAY: KAPSHOT needs a desktop (or Xvfb)" >&2
    exit 2
fi
bash scripts/setup.sh windows
for file in KAPSHOT.exe KAPTORAX.ocx Ftd2xx.dll kaptor.exe; do
    if [ ! -f "$build/$file" ]; then
        bash scripts/build.sh windows
        break
    fi
done

export WINEPREFIX=$prefix
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml="
export LC_ALL=C.UTF-8
if [ ! -f "$prefix/.kapshot-ready" ]; then
    echo "kapshot.sh: creating the Wine prefix $prefix"
    mkdir -p "$prefix"
    "$wine" wineboot -i </dev/null >/dev/null 2>&1
    bash scripts/wine_fonts.sh "$prefix"
    touch "$prefix/.kapshot-ready"
fi

# The module registered where KAPSHOT looks for it (regsvr32 says 0 on success).
if ! (cd "$build" && "$wine" regsvr32 /s KAPTORAX.ocx </dev/null >/dev/null 2>&1); then
    echo "kapshot.sh: regsvr32 KAPTORAX.ocx failed in $prefix" >&2
    exit 1
fi

# Wine's drive Z: is the Unix root.
windowsPath() { printf 'Z:%s' "$(tr / '\\' <<<"$1")"; }
# The control reads \KAPTOR\ on the current drive: C:, named outright as the prefix's drive_c
# (the control's and KAPSHOT's own default drive C: differ from Wine's), where the pictures go
# too. The sample configuration is laid down once; an edited one is kept.
export KAPTOR_CURRENT_DRIVE=C
KAPTOR_DRIVE_C=$(windowsPath "$prefix/drive_c")
export KAPTOR_DRIVE_C
"$wine" "$build/kaptor.exe" config init </dev/null | sed 's/\r$//'
# The simulated board: the build's Ftd2xx.dll.
KAPTOR_D2XX_LIBRARY=$(windowsPath "$build/Ftd2xx.dll")
export KAPTOR_D2XX_LIBRARY

if [ "$prepare_only" -eq 1 ]; then
    echo "kapshot.sh: ready; pictures go to $prefix/drive_c/KAPTOR/Imagen1.BMP"
    exit 0
fi
echo "kapshot.sh: starting KAPSHOT; pictures go to $prefix/drive_c/KAPTOR/Imagen1.BMP"
cd "$build"
exec "$wine" KAPSHOT.exe
