#!/usr/bin/env bash
# The Debian packages: their names and versions from CMake's project version, their file lists,
# their dependencies (declared, and met by this machine or by each other), and the programs
# unpacked into a scratch root: kaptor --version, a capture from the packaged simulated board, a
# program built against libkaptor-dev with pkg-config, the Python module, and gst-inspect-1.0
# finding kaptorsrc.
# Needs scripts/release.sh to have run. Usage: deb_test.sh [FOLDER OF THE .debs]
set -euo pipefail
source "$(dirname "$0")/checks.sh"
debs=${1:-$root/build/release}
arch=$(dpkg --print-architecture)
packages=(kaptor libkaptor1 libkaptor-dev python3-kaptor gstreamer1.0-kaptor)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

deb_of() { echo "$debs/${1}_${version}_$arch.deb"; }
listed() { grep -q -E "$2" "$scratch/$1.files"; }
not_listed() { ! grep -E "$2" "$scratch/$1.files"; }
# Outside /usr: what is not under /usr, but for udev's rules, which Debian 12 keeps in /lib.
outside_usr() { ! grep -v -E '^/usr/|^/lib/udev/rules\.d/[^/]+\.rules$' "$scratch/$1.files"; }
field() { dpkg-deb -f "$(deb_of "$1")" "$2"; }

# Each dependency (one of its alternatives) installed here in a version it accepts, or one of
# these packages.
dependency_met() {
    local alternative name relation wanted installed
    IFS='|' read -ra alternatives <<<"$1"
    for alternative in "${alternatives[@]}"; do
        read -r name relation wanted <<<"$(sed -E 's/[()]//g' <<<"$alternative")"
        if [[ " ${packages[*]} " == *" $name "* ]]; then
            installed="installed $version"
        else
            installed=$(dpkg-query -W -f='${db:Status-Status} ${Version}' "$name" 2>/dev/null) ||
                continue
        fi
        [[ "$installed" == installed\ * ]] || continue
        [ -z "$relation" ] || dpkg --compare-versions "${installed#installed }" "$relation" \
            "$wanted" || continue
        return 0
    done
    echo "        unmet: $1"
    false
}

for package in "${packages[@]}"; do
    deb=$(deb_of "$package")
    check "$package: file is named for the project's version" test -f "$deb"
    [ -f "$deb" ] || continue
    check "$package: name" equals "$(field "$package" Package)" "$package"
    check "$package: version" equals "$(field "$package" Version)" "$version"
    IFS=',' read -ra dependencies <<<"$(field "$package" Depends)"
    for dependency in "${dependencies[@]}"; do
        check "$package: dependency met here:$dependency" dependency_met "$dependency"
    done
    dpkg-deb -c "$deb" | awk '{print $6}' | sed 's|^\./|/|' | grep -v '/$' >"$scratch/$package.files"
    check "$package: nothing outside /usr (udev's rules aside)" outside_usr "$package"
    dpkg -x "$deb" "$scratch/root"
done
[ "$failures" -eq 0 ] || finish deb_test

for library in libc6 'libstdc\+\+6' libpng16-16 libftdi1-2; do
    check "kaptor depends on ${library//\\/}" \
        grep -q -E "(^|, )$library( |,|$)" <<<"$(field kaptor Depends)"
done
check "kaptor ships the board's udev rule" grep -qx /lib/udev/rules.d/60-kaptor.rules \
    "$scratch/kaptor.files"
check "libkaptor1 depends on libstdc++6" \
    grep -q -E "(^|, )libstdc\+\+6( |,|$)" <<<"$(field libkaptor1 Depends)"
check "python3-kaptor depends on libkaptor1 and numpy" \
    grep -q -E "libkaptor1 \(= $version\).*python3-numpy" <<<"$(field python3-kaptor Depends)"

check "kaptor in /usr/bin" listed kaptor '^/usr/bin/kaptor$'
check "the simulated board" listed kaptor '^/usr/lib/(.*/)?libkaptorsim\.so$'
check "the manual page" listed kaptor '^/usr/share/man/man1/kaptor\.1'
check "no test-only simulator variants" not_listed kaptor 'libkaptorsim_no_'
check "the tool alone in kaptor" not_listed kaptor 'libkaptor\.so|/include/|python'
check "libkaptor1: the library alone" equals \
    "$(grep -c -v -E '/libkaptor\.so\.1(\.[0-9.]*)?$|/usr/share/doc/' "$scratch/libkaptor1.files")" 0
check "libkaptor-dev: the header" listed libkaptor-dev '^/usr/include/kaptor/kaptor\.h$'
check "libkaptor-dev: the public API's headers alone" \
    not_listed libkaptor-dev '/include/kaptor/(control|platform|automation)/'
check "libkaptor-dev: kaptor.pc" listed libkaptor-dev '/pkgconfig/kaptor\.pc$'
check "python3-kaptor: the module" listed python3-kaptor \
    '^/usr/lib/python3/dist-packages/kaptor/_kaptor\..*\.so$'
check "gstreamer1.0-kaptor depends on libkaptor1 and GStreamer" \
    grep -q -E "libkaptor1 \(= $version\).*libgstreamer1\.0-0" <<<"$(field gstreamer1.0-kaptor Depends)"
plugin=$(grep -m1 -E '^/usr/lib/(.*/)?gstreamer-1\.0/libgstkaptor\.so$' \
    "$scratch/gstreamer1.0-kaptor.files" || true)
check "gstreamer1.0-kaptor: the plugin in GStreamer's folder" equals "$plugin" \
    "$(pkg-config --variable=pluginsdir gstreamer-1.0)/libgstkaptor.so"

kaptor=$scratch/root/usr/bin/kaptor
check "kaptor --version" equals "$("$kaptor" --version)" "kaptor $version"
check "the binaries are stripped" bash -c "! objdump -h '$kaptor' | grep -q debug_info"
export KAPTOR_DRIVE_C=$scratch/drive_c
unset KAPTOR_D2XX_LIBRARY
"$kaptor" config init >/dev/null
check "a simulated capture" equals "$("$kaptor" --sim -q capture -o "$scratch/picture.bmp")" \
    "$scratch/picture.bmp"
check "the picture is a BMP" equals "$(head -c 2 "$scratch/picture.bmp" 2>/dev/null)" BM

libdir=$(dirname "$(grep -m1 '/libkaptor\.so\.1' "$scratch/libkaptor1.files")")
check "a program built with pkg-config captures" bash "$root/tests/release/program_check.sh" \
    "$scratch/root$libdir" "$scratch/program"
check "the Python module captures" env PYTHONPATH="$scratch/root/usr/lib/python3/dist-packages" \
    LD_LIBRARY_PATH="$scratch/root$libdir" /usr/bin/python3 -c \
    'import kaptor; b = kaptor.open(simulated=True); b.initialize(); assert b.capture().shape == (496, 640)'
check "gst-inspect-1.0 finds kaptorsrc" env GST_REGISTRY_1_0="$scratch/registry.bin" \
    GST_PLUGIN_PATH_1_0="$scratch/root${plugin%/*}" LD_LIBRARY_PATH="$scratch/root$libdir" \
    gst-inspect-1.0 kaptorsrc >/dev/null

finish deb_test
