#!/usr/bin/env bash
# kaptor.exe under Wine against the native kaptor, from outside: the same configuration and the
# same stream give the same picture byte for byte, and the link's failures give the same
# messages and exit status.
#   kaptor_exe_test.sh WINDOWS_BUILD NATIVE_BUILD (pictures | failures)
# Exits 77 (skipped) when the native build is not there.
set -uo pipefail
windows=$(realpath "$1")
native=$(realpath -m "$2")
group=$3
here=$(dirname "$(realpath "$0")")
if [ ! -x "$native/bin/kaptor" ]; then
    echo "no native kaptor in $native (build it with: bash scripts/build.sh main)"
    exit 77
fi

work=$(mktemp -d /tmp/kaptor-exe-test-XXXXXX)
trap 'rm -rf "$work"' EXIT
failures=0

source "$here/wine_run.sh"

# run_native NAME ENV... -- ARGS...: runs kaptor on the drive $work/NAME/native.
run_native() {
    local name=$1; shift
    local env=()
    while [ "$1" != "--" ]; do env+=("$1"); shift; done; shift
    mkdir -p "$work/$name/native"
    env KAPTOR_DRIVE_C="$work/$name/native" "${env[@]}" "$native/bin/kaptor" "$@" \
        >"$work/$name/native.out" 2>"$work/$name/native.err" </dev/null
    echo $? >"$work/$name/native.status"
}

# run_windows NAME PROGRAM ENV... -- ARGS...: runs kaptor.exe on the drive $work/NAME/windows.
run_windows() {
    local name=$1 program=$2; shift 2
    local env=()
    while [ "$1" != "--" ]; do env+=("$1"); shift; done; shift
    mkdir -p "$work/$name/windows"
    # "\KAPTOR\" lies on the current drive: C:, redirected like the native one.
    env KAPTOR_DRIVE_C="$(windows_path "$work/$name/windows")" KAPTOR_CURRENT_DRIVE=C "${env[@]}" \
        bash "$here/wine_run.sh" "$windows/wineprefix" "$program" "$@" \
        >"$work/$name/windows.out" 2>"$work/$name/windows.err" </dev/null
    echo $? >"$work/$name/windows.status"
    # Text written by a Windows program ends its lines in CR LF.
    sed -i 's/\r$//' "$work/$name/windows.out" "$work/$name/windows.err"
}

# same NAME: both ran with the same messages and the same exit status. The line that names the
# driver library kaptor tried keeps only its start: the file and the loader's own words are the
# system's.
same() {
    local name=$1 side
    for side in native windows; do
        sed -i -E "s/^(kaptor: cannot load the board's driver library ).*/\1.../" \
            "$work/$name/$side.err"
    done
    if ! cmp -s "$work/$name/native.err" "$work/$name/windows.err"; then
        echo "FAIL $name: the messages differ"
        diff "$work/$name/native.err" "$work/$name/windows.err"
        failures=$((failures + 1))
        return 1
    fi
    if ! cmp -s "$work/$name/native.status" "$work/$name/windows.status"; then
        echo "FAIL $name: exit status $(cat "$work/$name/native.status") natively," \
             "$(cat "$work/$name/windows.status") on Windows"
        failures=$((failures + 1))
        return 1
    fi
    echo "ok   $name (status $(cat "$work/$name/native.status"), $(wc -l <"$work/$name/native.err") messages)"
}

native_sim=$native/lib/libkaptorsim.so
fast=KAPTOR_SIM_RATE=50000000

# configured NAME: lays down the sample configuration on both drives of NAME.
configured() {
    run_native "$1" -- config init
    run_windows "$1" "$windows/kaptor.exe" -- config init
}

pictures() {
    # A stream of 640 x 496 bytes from a fixed seed, and the test chart.
    perl -e 'srand(7); print map { chr(int(rand(256))) } 1 .. 640 * 496' >"$work/stream.bin"
    local replay_native=KAPTOR_SIM_REPLAY=$work/stream.bin
    local replay_windows
    replay_windows=KAPTOR_SIM_REPLAY=$(windows_path "$work/stream.bin")
    local config
    for config in interlaced single-field; do
        for source in replay chart; do
            local name=$config-$source env_native=() env_windows=()
            if [ "$source" = replay ]; then
                env_native=("$replay_native") env_windows=("$replay_windows")
            fi
            configured "$name"
            if [ "$config" = single-field ]; then
                # The sample with singleField and fieldInversion set (the last two lines).
                for side in native windows; do
                    file=$work/$name/$side/KAPTOR/CONFIG/EJEMPLO.TXT
                    head -c -6 "$file" >"$file.new" && printf '1\r\n1\r\n' >>"$file.new"
                    mv "$file.new" "$file"
                done
            fi
            run_native "$name" KAPTOR_D2XX_LIBRARY="$native_sim" $fast "${env_native[@]}" -- capture
            # No library named: LoadLibraryA finds Ftd2xx.dll beside kaptor.exe.
            run_windows "$name" "$windows/kaptor.exe" $fast "${env_windows[@]}" -- capture
            same "$name" || continue
            local picture_native=$work/$name/native/KAPTOR/Imagen1.BMP
            local picture_windows=$work/$name/windows/KAPTOR/Imagen1.BMP
            if ! cmp "$picture_native" "$picture_windows"; then
                echo "FAIL $name: the pictures differ"
                failures=$((failures + 1))
            elif [ "$(stat -c %s "$picture_windows")" != 323518 ]; then
                echo "FAIL $name: the picture has $(stat -c %s "$picture_windows") bytes"
                failures=$((failures + 1))
            else
                echo "ok   $name: the same $(stat -c %s "$picture_windows") bytes"
            fi
        done
    done
}

failure_tables() {
    # No library at all: kaptor.exe alone in a folder, and a library that is not there.
    mkdir -p "$work/alone"
    cp "$windows/kaptor.exe" "$work/alone/"
    configured missing-library
    run_native missing-library KAPTOR_D2XX_LIBRARY="$work/libmissing.so" -- invoke call:Inicializa
    run_windows missing-library "$work/alone/kaptor.exe" -- invoke call:Inicializa
    same missing-library
    local fn
    for fn in FT_Write FT_Read FT_Open FT_OpenEx FT_ListDevices FT_Close FT_ResetDevice \
        FT_Purge FT_SetTimeouts FT_GetQueueStatus; do
        configured "no-$fn"
        run_native "no-$fn" KAPTOR_D2XX_LIBRARY="$native/lib/libkaptorsim_no_$fn.so" -- \
            invoke call:Inicializa
        run_windows "no-$fn" "$windows/kaptor.exe" \
            KAPTOR_D2XX_LIBRARY="$(windows_path "$windows/kaptorsim_no_$fn.dll")" -- \
            invoke call:Inicializa
        same "no-$fn"
    done
    local fault
    for fault in no-device write-zero-at=3 silent; do
        configured "$fault"
        run_native "$fault" KAPTOR_D2XX_LIBRARY="$native_sim" KAPTOR_SIM_FAULTS="$fault" -- \
            invoke call:Inicializa
        run_windows "$fault" "$windows/kaptor.exe" KAPTOR_SIM_FAULTS="$fault" -- \
            invoke call:Inicializa
        same "$fault"
    done
    # -o fields the system's strftime would treat differently (msvcrt refuses what glibc
    # keeps): kaptor's own list decides, the same on both.
    local pattern i=0
    for pattern in '100%.bmp' 'a-%Ey.bmp' '%Q.bmp' 'b-%F-%n.bmp'; do
        i=$((i + 1))
        configured "pattern-$i"
        run_native "pattern-$i" KAPTOR_D2XX_LIBRARY="$native_sim" -- \
            capture -o "$work/pattern-$i/$pattern"
        run_windows "pattern-$i" "$windows/kaptor.exe" -- \
            capture -o "$(windows_path "$work/pattern-$i")\\$pattern"
        same "pattern-$i"
    done
    # A value given to an option that takes none: the two runtimes' getopt_long report it
    # differently; kaptor says the same.
    configured sim-value
    run_native sim-value -- --sim=1 config show
    run_windows sim-value "$windows/kaptor.exe" -- --sim=1 config show
    same sim-value
}

case "$group" in
    pictures) pictures ;;
    failures) failure_tables ;;
    *) echo "kaptor_exe_test.sh: unknown group '$group' (pictures, failures)"; exit 2 ;;
esac
echo "$group: $failures failed"
[ "$failures" -eq 0 ]
