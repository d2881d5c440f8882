#!/usr/bin/env bash
# Installs, from Debian's packages, whatever the named parts need and this machine lacks:
#   setup.sh [native|windows|release|all]...   (default: native)
# native builds kaptor, the simulator and the native tests (what the demo needs); windows adds
# the cross compilers, Wine and what the pictures of the windows need; release adds the
# installer and packaging tools. Runs as root, or through sudo.
set -euo pipefail

# pkgconf builds a program against the installed libkaptor; python3-dev, pybind11-dev,
# python3-numpy and python3-pytest build and test the Python module (for Debian's python3).
native=(cmake ninja-build g++ clang libclang-rt-14-dev libgtest-dev libbenchmark-dev
        clang-format libpng-dev help2man pkgconf
        python3-dev pybind11-dev python3-numpy python3-pytest)
# mingw-w64 with the POSIX thread model, GoogleTest's sources to build with it, and 64-bit Wine
# to run the tests (never wine32 here: this kernel runs no 32-bit programs, and with it Wine
# picks the 32-bit loader), with Wine's own fonts so that its window frames draw their caption
# buttons. Pictures of the windows on a virtual display, a pointer to click in them, and
# ImageMagick to turn them into PNG files.
windows=(mingw-w64 g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix mingw-w64-tools googletest
         wine wine64 fonts-wine xvfb xdotool imagemagick)
# The Windows installers (NSIS), their zips, and the Debian package's dependencies
# (dpkg-shlibdeps).
release=(nsis zip dpkg-dev)

packages=()
for part in "${@:-native}"; do
    case "$part" in
        native) packages+=("${native[@]}") ;;
        windows) packages+=("${native[@]}" "${windows[@]}") ;;
        release) packages+=("${native[@]}" "${windows[@]}" "${release[@]}") ;;
        all) packages+=("${native[@]}" "${windows[@]}" "${release[@]}") ;;
        *) echo "setup.sh: unknown part '$part' (native, windows, release, all)" >&2; exit 2 ;;
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
