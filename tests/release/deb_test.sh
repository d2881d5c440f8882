#!/usr/bin/env bash
# The Debian package: its name and version from CMake's project version, its file list, its
# dependencies (declared, and met by this machine), and the programs unpacked into a scratch
# root: kaptor --version and a capture from the packaged simulated board.
# Needs scripts/release.sh to have run. Usage: deb_test.sh
set -euo pipefail
source "$(dirname "$0")/checks.sh"
deb=$root/build/release/kaptor_${version}_$(dpkg --print-architecture).deb
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

listed() { grep -q -E "$1" "$scratch/files"; }
not_listed() { ! grep -E "$1" "$scratch/files"; }
field() { dpkg-deb -f "$deb" "$1"; }

# Each dependency (one of its alternatives) installed here in a version it accepts.
dependency_met() {
    local alternative name relation wanted installed
    IFS='|' read -ra alternatives <<<"$1"
    for alternative in "${alternatives[@]}"; do
        read -r name relation wanted <<<"$(sed -E 's/[()]//g' <<<"$alternative")"
        installed=$(dpkg-query -W -f='${db:Status-Status} ${Version}' "$name" 2>/dev/null) ||
            continue
        [[ "$installed" == installed\ * ]] || continue
        [ -z "$relation" ] || dpkg --compare-versions "${installed#installed }" "$relation" \
            "$wanted" || continue
        return 0
    done
    echo "        unmet: $1"
    false
}

check "package file is named for the project's version" test -f "$deb"
[ -f "$deb" ] || finish deb_test
check "package name" equals "$(field Package)" kaptor
check "package version" equals "$(field Version)" "$version"
depends=$(field Depends)
for library in libc6 'libstdc\+\+6' libpng16-16; do
    check "depends on ${library//\\/}" grep -q -E "(^|, )$library( |,|$)" <<<"$depends"
done
IFS=',' read -ra dependencies <<<"$depends"
for dependency in "${dependencies[@]}"; do
    check "dependency met here:$dependency" dependency_met "$dependency"
done

dpkg-deb -c "$deb" | awk '{print $6}' | sed 's|^\./|/|' >"$scratch/files"
check "kaptor in /usr/bin" listed '^/usr/bin/kaptor$'
check "the simulated board" listed '^/usr/lib/(.*/)?libkaptorsim\.so$'
check "the manual page" listed '^/usr/share/man/man1/kaptor\.1'
check "the control library" listed '^/usr/lib/(.*/)?kaptor/libkaptor_control\.a$'
check "the control's headers" listed '^/usr/include/kaptor/control/kaptorax_ctrl\.h$'
check "nothing outside /usr" not_listed '^/[^u]|^/u[^s]'
check "no test-only simulator variants" not_listed 'libkaptorsim_no_'
check "no Windows-only headers" not_listed '/(com|win32)/'

dpkg -x "$deb" "$scratch/root"
kaptor=$scratch/root/usr/bin/kaptor
check "kaptor --version" equals "$("$kaptor" --version)" "kaptor $version"
check "the binaries are stripped" bash -c "! objdump -h '$kaptor' | grep -q debug_info"
export KAPTOR_DRIVE_C=$scratch/drive_c
unset KAPTOR_D2XX_LIBRARY
"$kaptor" config init >/dev/null
check "a simulated capture" equals "$("$kaptor" --sim -q capture -o "$scratch/picture.bmp")" \
    "$scratch/picture.bmp"
check "the picture is a BMP" equals "$(head -c 2 "$scratch/picture.bmp" 2>/dev/null)" BM

finish deb_test
