#!/usr/bin/env bash
# Builds what people install, into build/release/:
#   KAPTOR-<version>-setup-x64.exe and -x86.exe  Windows installers (NSIS)
#   KAPTOR-<version>-x64.zip and -x86.zip        the same files, for registering by hand
#   kaptor_<version>_<arch>.deb                  the Debian package (CPack)
# The version is CMake's project version; the sample configuration is what `kaptor config
# init` writes. The 32-bit (x86) installer is built, never run here.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh release
for flavour in main windows windows-i686; do
    bash scripts/build.sh "$flavour"
done

out=build/release
mkdir -p "$out"
version=$(sed -n 's/^set(CPACK_PACKAGE_VERSION "\(.*\)")$/\1/p' build/main/CPackConfig.cmake)
[ -n "$version" ] || { echo "release: no version in build/main/CPackConfig.cmake" >&2; exit 1; }

# The sample configuration from the one place that defines it.
sample=$out/sample
rm -rf "$sample"
KAPTOR_DRIVE_C=$PWD/$sample env -u KAPTOR_CURRENT_DRIVE build/main/bin/kaptor config init >/dev/null
sample=$sample/KAPTOR

# Windows: the installed files, stripped, then the installer and the zip of each architecture.
for arch in x64 x86; do
    case $arch in
        x64) build=build/windows triplet=x86_64-w64-mingw32 ;;
        x86) build=build/windows-i686 triplet=i686-w64-mingw32 ;;
    esac
    stage=$out/stage-$arch/KAPTOR-$version-$arch
    rm -rf "$out/stage-$arch"
    mkdir -p "$stage/simulator"
    for file in KAPTORAX.ocx KAPSHOT.exe kaptor.exe; do
        "$triplet-strip" -o "$stage/$file" "$build/$file"
    done
    "$triplet-strip" -o "$stage/simulator/Ftd2xx.dll" "$build/Ftd2xx.dll"
    sed 's/$/\r/' README.md >"$stage/README.txt"
    cp -r "$sample" "$stage/KAPTOR"

    installer=$out/KAPTOR-$version-setup-$arch.exe
    makensis -V2 -DVERSION="$version" -DARCH=$arch -DSTAGE="$PWD/$stage" \
        -DSIMULATOR="$PWD/$stage/simulator" -DSAMPLE="$PWD/$stage/KAPTOR" \
        -DOUTFILE="$PWD/$installer" packaging/kaptor.nsi
    archive=$PWD/$out/KAPTOR-$version-$arch.zip
    rm -f "$archive"
    (cd "$out/stage-$arch" && zip -q -r -X "$archive" "KAPTOR-$version-$arch")
    echo "release: $installer"
    echo "release: $out/KAPTOR-$version-$arch.zip"
done

# Linux: the Debian package.
rm -rf "$out/deb"
cpack --config build/main/CPackConfig.cmake -B "$out/deb" >"$out/cpack.log" 2>&1 ||
    { cat "$out/cpack.log"; exit 1; }
deb=$(find "$out/deb" -maxdepth 1 -name '*.deb')
mv "$deb" "$out/"
echo "release: $out/$(basename "$deb")"
