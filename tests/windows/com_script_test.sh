#!/usr/bin/env bash
# The control from Windows Script Host under Wine, as a script author uses it: a Toma that
# cannot write its picture (a file-size limit stands for a full disk) reaches VBScript and
# JScript as a non-zero error number with the control's words, and stops a VBScript that does
# not handle errors.
#   com_script_test.sh WINDOWS_BUILD
set -uo pipefail
build=$(realpath "$1")
here=$(dirname "$(realpath "$0")")
prefix=$build/wineprefix
work=$(mktemp -d /tmp/kaptor-script-test-XXXXXX)
trap 'rm -rf "$work"' EXIT
failures=0
export KAPTOR_WINE_TIMEOUT=60

fail() { echo "FAIL $*"; failures=$((failures + 1)); }
wine() { bash "$here/wine_run.sh" "$prefix" "$@"; }

if ! wine cscript //nologo //? >/dev/null 2>&1 && [ ! -e "$prefix/drive_c/windows/system32/cscript.exe" ]; then
    echo "this Wine prefix has no cscript.exe"
    exit 77
fi
# The control is registered from the build; the simulated board lies beside it, found through
# the current folder; "\KAPTOR\" is drive C:, redirected into the test's folder.
cd "$build" || exit 1
wine regsvr32 /s KAPTORAX.ocx || { echo "regsvr32 failed"; exit 1; }
mkdir -p "$work/drive"
export KAPTOR_DRIVE_C="Z:${work//\//\\}\\drive" KAPTOR_CURRENT_DRIVE=C
wine kaptor.exe config init >/dev/null 2>&1 || { echo "kaptor.exe config init failed"; exit 1; }
picture='c:\KAPTOR\Cámara.BMP'

# script FILE: runs it with the picture's path under a file-size limit below the picture's size;
# writes its output (CR LF made LF) and status to $work/FILE.out and $work/FILE.status.
script() {
    local file=$1
    # The limit holds for the script's process only; the signal is ignored, so the write fails
    # with an error instead of ending the process.
    (trap '' XFSZ; ulimit -f 200; wine cscript //nologo "$(printf 'Z:%s' "${here//\//\\}")\\scripts\\$file" \
        "$picture") >"$work/$file.out" 2>&1 </dev/null
    echo $? >"$work/$file.status"
    sed -i 's/\r$//' "$work/$file.out"
}

expect_line() {  # FILE LINE: the output holds LINE
    grep -qxF -- "$2" "$work/$1.out" || fail "$1: no line '$2' in: $(cat "$work/$1.out")"
}

for file in toma_error.vbs toma_error.js toma_error_unhandled.vbs; do
    script "$file"
done
for file in toma_error.vbs toma_error.js; do
    [ "$(cat "$work/$file.status")" = 0 ] || fail "$file: status $(cat "$work/$file.status")"
    grep -qE '^number=8007[0-9A-F]{4}$' "$work/$file.out" ||
        fail "$file: no system error number in: $(cat "$work/$file.out")"
    grep -qF 'description=Error al escribir archivo de imagen: ' "$work/$file.out" ||
        fail "$file: not the control's words: $(cat "$work/$file.out")"
    [ "$file" = toma_error.js ] || expect_line "$file" "names the picture=True"
done
expect_line toma_error.vbs 'source=KAPTORAX.Toma'
expect_line toma_error.js 'names the picture=true'
[ "$(cat "$work/toma_error_unhandled.vbs.status")" != 0 ] ||
    fail "toma_error_unhandled.vbs: the script carried on with status 0"
grep -qF 'Error al escribir archivo de imagen' "$work/toma_error_unhandled.vbs.out" ||
    fail "toma_error_unhandled.vbs: not the control's words: $(cat "$work/toma_error_unhandled.vbs.out")"
grep -qF 'after Toma' "$work/toma_error_unhandled.vbs.out" &&
    fail "toma_error_unhandled.vbs: the script went on after the failed Toma"
# The previous picture is never replaced by part of one.
[ ! -e "$work/drive/KAPTOR/Cámara.BMP" ] || fail "a picture was left behind"
wine regsvr32 /s /u KAPTORAX.ocx
echo "com_script_test: $failures failed"
[ "$failures" = 0 ]
