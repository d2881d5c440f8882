#!/usr/bin/env bash
# The 32-bit control as a script host uses it: KAPTORAX.ocx registered with regsvr32, a VBScript
# run by cscript that captures through it, the picture byte for byte the native kaptor's from the
# same stream, and regsvr32 /u. Runs in the prefix of wine_run.sh's loader (KAPTOR_WINE).
#   ocx_test.sh WINDOWS_BUILD NATIVE_BUILD
# Prints "ok NAME" or "FAILED NAME" per check.
set -uo pipefail
windows=$(realpath "$1")
native=$(realpath "$2")
here=$(dirname "$(realpath "$0")")
source "$here/../windows/wine_run.sh"
run() { wine_run "$windows/wineprefix" "$@"; }
work=$(mktemp -d /tmp/kaptor-ocx-test-XXXXXX)
trap 'rm -rf "$work"' EXIT
failed=0
check() {
    local name=$1
    shift
    if "$@"; then echo "ok   $name"; else echo "FAILED $name"; failed=1; fi
}

perl -e 'srand(11); print map { chr(int(rand(256))) } 1 .. 640 * 496' >"$work/stream.bin"
mkdir -p "$work/native" "$work/windows"
KAPTOR_DRIVE_C=$work/native "$native/bin/kaptor" config init >/dev/null
KAPTOR_DRIVE_C=$work/windows "$native/bin/kaptor" config init >/dev/null
KAPTOR_DRIVE_C=$work/native KAPTOR_D2XX_LIBRARY=$native/lib/libkaptorsim.so \
    KAPTOR_SIM_RATE=50000000 KAPTOR_SIM_REPLAY=$work/stream.bin \
    "$native/bin/kaptor" -q capture >/dev/null 2>"$work/native.err"

cat >"$work/capture.vbs" <<'VBS'
Set control = CreateObject("KAPTORAX.KAPTORAXCtrl.1")
control.destinoimagen = "C:\KAPTOR\Imagen1.BMP"
control.Inicializa
control.Toma
WScript.Echo control.destinoimagen
VBS

registered() { (cd "$windows" && run regsvr32 /s KAPTORAX.ocx </dev/null >"$work/regsvr32.out" 2>&1); }
captured() {
    KAPTOR_DRIVE_C=$(windows_path "$work/windows") KAPTOR_CURRENT_DRIVE=C \
        KAPTOR_D2XX_LIBRARY=$(windows_path "$windows/Ftd2xx.dll") KAPTOR_SIM_RATE=50000000 \
        KAPTOR_SIM_REPLAY=$(windows_path "$work/stream.bin") \
        run cscript //nologo "$(windows_path "$work/capture.vbs")" </dev/null \
        >"$work/cscript.out" 2>"$work/cscript.err" || {
        echo "cscript: status $?"
        cat "$work/cscript.out" "$work/cscript.err"
        return 1
    }
    cmp "$work/native/KAPTOR/Imagen1.BMP" "$work/windows/KAPTOR/Imagen1.BMP"
}
unregistered() { (cd "$windows" && run regsvr32 /s /u KAPTORAX.ocx </dev/null >/dev/null 2>&1); }

check "ocx-x86: regsvr32 registers KAPTORAX.ocx" registered
check "ocx-x86: a cscript capture gives the native picture" captured
check "ocx-x86: regsvr32 /u removes it" unregistered
exit "$failed"
