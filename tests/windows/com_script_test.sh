#!/usr/bin/env bash
# The control from Windows Script Host under Wine, as a script author uses it: a Toma that
# cannot write its picture (a file-size limit stands for a full disk) reaches VBScript and
# JScript as a non-zero error number with the control's words (handled), and stops a VBScript
# that does not handle errors (unhandled).
#   com_script_test.sh WINDOWS_BUILD (handled | unhandled)
# Exits 77 (skipped) where this Wine's cscript cannot show what is checked.
set -uo pipefail
build=$(realpath "$1")
mode=$2
here=$(dirname "$(realpath "$0")")
prefix=$build/wineprefix
source "$here/wine_run.sh"
wine() { wine_run "$prefix" "$@"; }
work=$(mktemp -d /tmp/kaptor-script-test-XXXXXX)
trap 'wine regsvr32 /s /u "$build/KAPTORAX.ocx" >/dev/null 2>&1; rm -rf "$work"' EXIT
failures=0
export KAPTOR_WINE_TIMEOUT=60

fail() { echo "FAIL $*"; failures=$((failures + 1)); }

if [ ! -e "$prefix/drive_c/windows/system32/cscript.exe" ]; then
    echo "this Wine prefix has no cscript.exe"
    exit 77
fi
# The control is registered from the build; the simulated board lies beside it, found through
# the current folder; "\KAPTOR\" is drive C:, redirected into the test's folder.
cd "$build" || exit 1
wine regsvr32 /s KAPTORAX.ocx || { echo "regsvr32 failed"; exit 1; }
mkdir -p "$work/drive"
export KAPTOR_DRIVE_C="$(windows_path "$work")\\drive" KAPTOR_CURRENT_DRIVE=C
wine kaptor.exe config init >/dev/null 2>&1 || { echo "kaptor.exe config init failed"; exit 1; }
picture='c:\KAPTOR\Cámara.BMP'

# script FILE: runs it with the picture's path under a file-size limit below the picture's size;
# writes its output (CR LF made LF) and status to $work/FILE.out and $work/FILE.status.
script() {
    local file=$1
    # The limit holds for the script's process only; the signal is ignored, so the write fails
    # with an error instead of ending the process.
    local path
    path="$(windows_path "$here")\\scripts\\$file"
    (trap '' XFSZ; ulimit -f 200; wine cscript //nologo "$path" "$picture") \
        >"$work/$file.out" 2>&1 </dev/null
    echo $? >"$work/$file.status"
    sed -i 's/\r$//' "$work/$file.out"
}

expect_line() {  # FILE LINE: the output holds LINE
    grep -qxF -- "$2" "$work/$1.out" || fail "$1: no line '$2' in: $(cat "$work/$1.out")"
}

if [ "$mode" = handled ]; then
    for file in toma_error.vbs toma_error.js; do
        script "$file"
        [ "$(cat "$work/$file.status")" = 0 ] || fail "$file: status $(cat "$work/$file.status")"
        grep -qE '^number=8007[0-9A-F]{4}$' "$work/$file.out" ||
            fail "$file: no system error number in: $(cat "$work/$file.out")"
        grep -qF 'description=Error al escribir archivo de imagen: ' "$work/$file.out" ||
            fail "$file: not the control's words: $(cat "$work/$file.out")"
    done
    expect_line toma_error.vbs 'source=KAPTORAX.Toma'
    # The description holds the picture's path exactly, "á" and all.
    expect_line toma_error.vbs 'names the picture=True'
    expect_line toma_error.js 'names the picture=true'
else
    file=toma_error_unhandled.vbs
    script "$file"
    { grep -qxF 'before Toma' "$work/$file.out" && ! grep -qF 'after Toma' "$work/$file.out"; } ||
        fail "$file: the script did not stop at the failed Toma: $(cat "$work/$file.out")"
    # What cscript shows of an error it stops at, and its exit status, are the host's: see
    # whether this Wine's cscript shows them at all.
    printf 'Err.Raise 5, "probe", "probe words"\r\n' >"$work/probe.vbs"
    wine cscript //nologo "$(windows_path "$work")\\probe.vbs" >"$work/probe.out" 2>&1
    probe_status=$?
    if [ "$failures" = 0 ] && { [ "$probe_status" = 0 ] || ! grep -qF 'probe words' "$work/probe.out"; }; then
        echo "$file stopped at the failed Toma; its words and exit status are not checked:"
        echo "this Wine's cscript reports no script error (status $probe_status, output" \
            "'$(tr -d '\r' <"$work/probe.out")'): its IActiveScriptSite::OnScriptError is a stub"
        exit 77
    fi
    [ "$(cat "$work/$file.status")" != 0 ] || fail "$file: the script ended with status 0"
    grep -qF 'Error al escribir archivo de imagen' "$work/$file.out" ||
        fail "$file: not the control's words: $(cat "$work/$file.out")"
fi
# Nothing of the picture is left at its path.
[ ! -e "$work/drive/KAPTOR/Cámara.BMP" ] || fail "a picture was left behind"
echo "com_script_test $mode: $failures failed"
[ "$failures" = 0 ]
