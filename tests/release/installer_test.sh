#!/usr/bin/env bash
# The 64-bit Windows installer under Wine, in a prefix of its own (build/release/wineprefix):
#   - silent install with /SIMULATOR: the files, the control registered (ProgID to class id,
#     InprocServer32 in the install folder), the Start-menu entry, the sample configuration
#     byte for byte as `kaptor config init` writes it, the version resources; KAPSHOT starts
#     and captures with the simulated board;
#   - silent uninstall: no installed file and no registry key left; configurations and
#     pictures stay;
#   - a user's configuration and a user's Ftd2xx.dll are never overwritten nor removed;
#   - a control that cannot register stops the installation (status 2) and leaves nothing.
# Needs scripts/release.sh to have run. Usage: installer_test.sh
set -euo pipefail
source "$(dirname "$0")/checks.sh"
release=$root/build/release
prefix=$release/wineprefix
installer=$release/KAPTOR-$version-setup-x64.exe
probe=$root/build/windows/release_probe.exe
drive=$prefix/drive_c
instdir="$drive/Program Files/KAPTOR"
data=$drive/KAPTOR
menu="$drive/ProgramData/Microsoft/Windows/Start Menu/Programs/KAPTOR"
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\KAPTOR'
# The first eight digits of each identifier the control registers (class ids, type library,
# interfaces): none may stay in the registry after the uninstaller.
mapfile -t identifiers < <(grep -o '0x[0-9A-F]\{8\}' "$root/control/com/identifiers.h" | cut -c3-)
exec </dev/null
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

source "$root/tests/windows/wine_run.sh"
wine() { KAPTOR_WINE=/usr/lib/wine/wine64 KAPTOR_WINE_TIMEOUT=120 wine_run "$prefix" "$@"; }
stop_server() { WINEPREFIX=$prefix timeout 60 /usr/lib/wine/wineserver -k 2>/dev/null || true; }
reg_value() {  # reg_value KEY [VALUE]: the value's data, or status 1
    local key=$1 value=${2:-}
    local args=(/ve)
    [ -z "$value" ] || args=(/v "$value")
    wine reg query "$key" "${args[@]}" 2>/dev/null | tr -d '\r' |
        sed -n 's/^ *[^ ].*REG_[A-Z_]* *//p' | grep .
}
status_of() { local status=0; "$@" >/dev/null 2>&1 || status=$?; echo "$status"; }
registry_clean() {
    # The registry as Wine saved it, once the server has ended.
    stop_server
    local pattern
    pattern=$(printf '|%s' KAPTOR "${identifiers[@]}")
    ! grep -i -E -q "${pattern:1}" "$prefix"/system.reg "$prefix"/user.reg
}
install() { wine "$installer" "$@"; }
uninstall() {
    # The uninstaller runs from a copy in the temporary folder and returns at once; it is done
    # when its last step, the removal of the uninstall key, has happened.
    local status
    status=$(status_of wine "$instdir/uninstall.exe" /S)
    [ "$status" -eq 0 ] || return "$status"
    for _ in $(seq 1 120); do
        reg_value "$uninstall_key" DisplayName >/dev/null || { stop_server; return 0; }
        sleep 0.5
    done
    return 1
}

# A prefix with no trace of an earlier installation: a leftover one is made again.
stop_server
if [ -e "$instdir" ] || { [ -f "$prefix/system.reg" ] && ! registry_clean; }; then
    rm -rf "$prefix"
fi
bash "$root/tests/windows/wine_prefix.sh" "$prefix"
rm -rf "$data" "$menu"

# What `kaptor config init` writes, and what the simulated board gives with it.
# (Not exported: Wine would hand it to the Windows programs, which would take it as their C:.)
KAPTOR_DRIVE_C=$scratch/drive_c "$root/build/main/bin/kaptor" config init >/dev/null
# The frame must arrive within the control's 3 s: on a loaded machine, a second try.
for _ in 1 2 3; do
    KAPTOR_DRIVE_C=$scratch/drive_c "$root/build/main/bin/kaptor" --sim -q capture \
        -o "$scratch/expected.bmp" >/dev/null && break
done
sample=$scratch/drive_c/KAPTOR
stage=$release/stage-x64/KAPTOR-$version-x64

echo "== silent installation with the simulated board"
check "installer exits 0" equals "$(status_of install /S /SIMULATOR)" 0
for file in KAPTORAX.ocx KAPSHOT.exe kaptor.exe README.txt; do
    check "installed $file" same_file "$stage/$file" "$instdir/$file"
done
check "installed the simulated board" same_file "$stage/simulator/Ftd2xx.dll" "$instdir/Ftd2xx.dll"
check "wrote the uninstaller" test -f "$instdir/uninstall.exe"
clsid=$(reg_value 'HKCR\KAPTORAX.KAPTORAXCtrl.1\CLSID' || true)
check "ProgID names the control's class id" equals "$clsid" "{5D0AC0E8-5E29-4C20-947F-CF0C493236EC}"
server=$(reg_value "HKCR\\CLSID\\$clsid\\InprocServer32" || true)
check "InprocServer32 is the installed module" equals "${server,,}" \
    'c:\program files\kaptor\kaptorax.ocx'
check "uninstall entry has the version" equals \
    "$(reg_value "$uninstall_key" DisplayVersion || true)" "$version"
check "Start-menu entry for KAPSHOT" test -f "$menu/KAPSHOT.lnk"
check "sample selector as config init writes it" same_file "$sample/CONFIG.TXT" "$data/CONFIG.TXT"
check "sample configuration as config init writes it" same_file "$sample/CONFIG/EJEMPLO.TXT" \
    "$data/CONFIG/EJEMPLO.TXT"
check "OCX version resource" equals \
    "$(wine "$probe" version 'C:\Program Files\KAPTOR\KAPTORAX.ocx' | tr -d '\r')" 1.0.0.1
check "KAPSHOT version resource" equals \
    "$(wine "$probe" version 'C:\Program Files\KAPTOR\KAPSHOT.exe' | tr -d '\r')" 1.0.0.0
check "installer version resource" equals "$(wine "$probe" version "$installer" | tr -d '\r')" \
    "$version.0"
check "kaptor.exe --version" equals \
    "$(wine 'C:\Program Files\KAPTOR\kaptor.exe' --version | tr -d '\r')" "kaptor $version"
check "KAPSHOT captures with the simulated board" wine "$probe" capture \
    'C:\Program Files\KAPTOR\KAPSHOT.exe' 'C:\KAPTOR\Imagen1.BMP'
check "KAPSHOT's picture is the simulated board's frame" same_file "$scratch/expected.bmp" \
    "$data/Imagen1.BMP"

zip_holds() {  # zip_holds ARCHIVE: the installed files, byte for byte, in the zip's folder
    local archive=$1 folder
    folder=$(basename "$archive" .zip)
    for file in KAPTORAX.ocx KAPSHOT.exe kaptor.exe README.txt; do
        unzip -p "$archive" "$folder/$file" | cmp -s - "$instdir/$file" || return 1
    done
    unzip -p "$archive" "$folder/simulator/Ftd2xx.dll" | cmp -s - "$instdir/Ftd2xx.dll" &&
        unzip -p "$archive" "$folder/KAPTOR/CONFIG.TXT" | cmp -s - "$sample/CONFIG.TXT" &&
        unzip -p "$archive" "$folder/KAPTOR/CONFIG/EJEMPLO.TXT" | cmp -s - "$sample/CONFIG/EJEMPLO.TXT"
}
check "installing again over it exits 0" equals "$(status_of install /S /SIMULATOR)" 0
check "the picture stays through it" same_file "$scratch/expected.bmp" "$data/Imagen1.BMP"
check "the control is still registered" equals \
    "$(reg_value 'HKCR\KAPTORAX.KAPTORAXCtrl.1\CLSID' || true)" "$clsid"
check "the zip holds the installed files" zip_holds "$release/KAPTOR-$version-x64.zip"

echo "== silent uninstallation"
check "uninstaller exits 0 and finishes" uninstall
check "no installed file left" missing "$instdir"
check "no Start-menu entry left" missing "$menu"
check "no registry key left" registry_clean
check "the configuration stays" same_file "$sample/CONFIG/EJEMPLO.TXT" "$data/CONFIG/EJEMPLO.TXT"
check "the selector stays" same_file "$sample/CONFIG.TXT" "$data/CONFIG.TXT"
check "the picture stays" same_file "$scratch/expected.bmp" "$data/Imagen1.BMP"

echo "== a user's configuration and driver library"
printf 'MIO.TXT\r\n' >"$data/CONFIG.TXT"
printf 'edited by hand\r\n' >"$data/CONFIG/EJEMPLO.TXT"
cp "$data/CONFIG.TXT" "$data/CONFIG/EJEMPLO.TXT" "$scratch/"
check "installer without /SIMULATOR exits 0" equals "$(status_of install /S)" 0
check "no simulated board without /SIMULATOR" missing "$instdir/Ftd2xx.dll"
check "the user's selector is kept" same_file "$scratch/CONFIG.TXT" "$data/CONFIG.TXT"
check "the user's configuration is kept" same_file "$scratch/EJEMPLO.TXT" \
    "$data/CONFIG/EJEMPLO.TXT"
check "uninstaller exits 0" uninstall
printf 'the vendor driver\r\n' >"$scratch/vendor.dll"
mkdir -p "$instdir"
cp "$scratch/vendor.dll" "$instdir/Ftd2xx.dll"
check "installer with /SIMULATOR over a driver exits 0" equals "$(status_of install /S /SIMULATOR)" 0
check "the user's Ftd2xx.dll is kept" same_file "$scratch/vendor.dll" "$instdir/Ftd2xx.dll"
check "uninstaller exits 0" uninstall
check "the user's Ftd2xx.dll stays after uninstalling" same_file "$scratch/vendor.dll" \
    "$instdir/Ftd2xx.dll"
check "nothing else stays" equals "$(ls "$instdir")" Ftd2xx.dll
check "no registry key left" registry_clean
rm -rf "$instdir"

echo "== a file in use while uninstalling"
check "installer exits 0" equals "$(status_of install /S)" 0
mkfifo "$scratch/input"
wine "$probe" hold 'C:\Program Files\KAPTOR\kaptor.exe' <"$scratch/input" >"$scratch/held" &
holder=$!
exec 3>"$scratch/input"
for _ in $(seq 1 150); do
    grep -q held "$scratch/held" && break
    sleep 0.2
done
# In place (_?=, the rest of the command line), so that its status is the uninstallation's own.
check "uninstaller exits 2" equals "$(status_of wine "$probe" run \
    '"C:\Program Files\KAPTOR\uninstall.exe" /S _?=C:\Program Files\KAPTOR')" 2
check "the file in use stays" test -f "$instdir/kaptor.exe"
check "the uninstaller stays" test -f "$instdir/uninstall.exe"
check "the uninstall entry stays" equals "$(reg_value "$uninstall_key" DisplayName)" \
    "KAPTOR $version (x64)"
exec 3>&-
wait "$holder" || true
check "uninstaller exits 0 once the file is free" uninstall
check "no installed file left" missing "$instdir"
check "no registry key left" registry_clean

echo "== a control that cannot register"
broken=$scratch/stage
cp -r "$stage" "$broken"
cp "$root/build/windows/KAPTORAX_without_typelib.ocx" "$broken/KAPTORAX.ocx"
makensis -V1 -DVERSION="$version" -DARCH=x64 -DSTAGE="$broken" -DSIMULATOR="$broken/simulator" \
    -DSAMPLE="$broken/KAPTOR" -DOUTFILE="$scratch/broken-setup.exe" "$root/packaging/kaptor.nsi"
check "installer exits 2" equals "$(status_of wine "$scratch/broken-setup.exe" /S)" 2
check "no installed file" missing "$instdir"
check "no Start-menu entry" missing "$menu"
check "no registry key" registry_clean

echo "== the binaries of both architectures (x86: built, never run here)"
for arch in x64 x86; do
    objdump=x86_64-w64-mingw32-objdump
    [ $arch = x64 ] || objdump=i686-w64-mingw32-objdump
    folder=$release/stage-$arch/KAPTOR-$version-$arch
    check "$arch release binaries import only system DLLs" bash \
        "$root/tests/windows/imports_test.sh" $objdump "$folder"/*.exe "$folder"/*.ocx \
        "$folder/simulator/Ftd2xx.dll" >/dev/null
done
check "x86 installer version resource" equals \
    "$(wine "$probe" version "$release/KAPTOR-$version-setup-x86.exe" | tr -d '\r')" "$version.0"
for file in KAPTORAX.ocx KAPSHOT.exe kaptor.exe simulator/Ftd2xx.dll; do
    check "x86 zip: 32-bit $file" grep -q 'file format pei-i386' < <(
        unzip -p "$release/KAPTOR-$version-x86.zip" "KAPTOR-$version-x86/$file" \
            >"$scratch/x86" && i686-w64-mingw32-objdump -f "$scratch/x86")
done

finish installer_test
