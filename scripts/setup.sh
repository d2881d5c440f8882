#!/usr/bin/env bash
# Installs, from Debian's packages, whatever the named parts need and this machine lacks:
#   setup.sh [native|windows|release|i686|all]...   (default: native)
# native builds kaptor, the simulator and the native tests (what the demo needs); windows adds
# the cross compilers, Wine and what the pictures of the windows need; release adds the
# installer and packaging tools; i686 the 32-bit stage's compilers and emulator. Runs as root,
# or through sudo.
set -euo pipefail

# libftdi1-dev (with libusb-1.0 beneath it) builds the driver library for a real board, umockdev
# and libumockdev-dev the emulated USB bus its tests run on; pkgconf builds a program against
# the installed libkaptor; python3-dev, pybind11-dev, python3-numpy and python3-pytest build and
# test the Python module (for Debian's python3); GStreamer's development files build the
# kaptorsrc element and its tests (gstcheck), its tools and base and good plugins run the
# pipelines of its tests and the README.
native=(cmake ninja-build g++ clang libclang-rt-14-dev libgtest-dev libbenchmark-dev
        libftdi1-dev libusb-1.0-0-dev umockdev libumockdev-dev
        clang-format libpng-dev help2man pkgconf
        python3-dev pybind11-dev python3-numpy python3-pytest
        libgstreamer1.0-dev libgstreamer-plugins-base1.0-dev gstreamer1.0-tools
        gstreamer1.0-plugins-base gstreamer1.0-plugins-good)
# mingw-w64 with the POSIX thread model, GoogleTest's sources to build with it, and 64-bit Wine
# to run the tests (wine32 is never installed: with it `wine` picks the 32-bit loader, and every
# 64-bit prefix boots a 32-bit half too), with Wine's own fonts so that its window frames draw their caption
# buttons. Pictures of the windows on a virtual display, a pointer to click in them, and
# ImageMagick to turn them into PNG files.
windows=(mingw-w64 g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix mingw-w64-tools googletest
         wine wine64 fonts-wine xvfb xdotool imagemagick)
# The 32-bit stage (tests/i686/run.sh): 32-bit Linux builds and the emulator that runs them; its
# 32-bit Wine is unpacked into the build folder, never installed.
i686=(g++-multilib qemu-user-static)
# The Windows installers (NSIS), their zips, and the Debian package's dependencies
# (dpkg-shlibdeps).
release=(nsis zip dpkg-dev)

packages=()
for part in "${@:-native}"; do
    case "$part" in
        native) packages+=("${native[@]}") ;;
        windows) packages+=("${native[@]}" "${windows[@]}") ;;
        release) packages+=("${native[@]}" "${windows[@]}" "${release[@]}") ;;
        i686) packages+=("${native[@]}" "${windows[@]}" "${i686[@]}") ;;
        all) packages+=("${native[@]}" "${windows[@]}" "${release[@]}" "${i686[@]}") ;;
        *) echo "setup.sh: unknown part '$part' (native, windows, release, i686, all)" >&2
           exit 2 ;;
    esac
done

missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' ||
        missing+=("$package")
done
if ((${#missing[@]} > 0)); then
    mapfile -t missing < <(printf '%s\n' "${missing[@]}" | sort -u)
    sudo=()
    [ "$(id -u)" -eq 0 ] || sudo=(sudo)
    echo "setup: installing ${missing[*]}"
    "${sudo[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends \
        "${missing[@]}" >/dev/null
fi
