#!/usr/bin/env bash
# Builds api_program.cpp against an installed libkaptor-dev with `pkg-config --cflags --libs
# kaptor` and runs it: it must capture 640 x 496 from the installed simulated board on the
# drive KAPTOR_DRIVE_C (configured by the caller). CXXFLAGS go to the compiler too (a sanitized
# libkaptor needs its sanitizers in the program).
# Usage: program_check.sh LIBDIR WORK_FOLDER
set -euo pipefail
libdir=$1
work=$2
mkdir -p "$work"
flags=$(PKG_CONFIG_PATH=$libdir/pkgconfig pkg-config --cflags --libs kaptor)
# shellcheck disable=SC2086
c++ ${CXXFLAGS:-} -o "$work/api_program" "$(dirname "$0")/api_program.cpp" $flags
said=$(LD_LIBRARY_PATH=$libdir "$work/api_program")
[ "$said" = "640 x 496" ] || { echo "        api_program said '$said'"; false; }
