#!/usr/bin/env bash
# Installs, from Debian's packages, whatever building, testing and the demo need and this
# machine lacks. Runs as root, or through sudo.
set -euo pipefail

packages=(cmake ninja-build g++ clang libclang-rt-14-dev libgtest-dev libbenchmark-dev
          imagemagick clang-format libpng-dev help2man
          # The windows flavours: mingw-w64 with the POSIX thread model, GoogleTest's sources to
          # build with it, and 64-bit Wine to run the tests (wine32 is never installed: with it
          # `wine` picks the 32-bit loader, and every 64-bit prefix boots a 32-bit half too).
          mingw-w64 g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix mingw-w64-tools googletest
          wine wine64
          # The 32-bit stage (tests/i686/run.sh): 32-bit Linux builds and the emulator that runs
          # them; its 32-bit Wine is unpacked into the build folder, never installed.
          g++-multilib qemu-user-static
          # Pictures of the windows on a virtual display, and a pointer to click in them.
          xvfb xdotool
          # Releases: the Windows installers (NSIS), their zips, and the Debian package's
          # dependencies (dpkg-shlibdeps).
          nsis zip dpkg-dev)
missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' ||
        missing+=("$package")
done
if ((${#missing[@]} > 0)); then
    sudo=()
    [ "$(id -u)" -eq 0 ] || sudo=(sudo)
    echo "setup: installing ${missing[*]}"
    "${sudo[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends \
        "${missing[@]}" >/dev/null
fi
