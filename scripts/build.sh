#!/usr/bin/env bash
# Configures and builds one flavour: main (tests and benchmarks), asan (the test suite under
# AddressSanitizer and UndefinedBehaviorSanitizer) or fuzz (the libFuzzer targets, clang).
set -euo pipefail
cd "$(dirname "$0")/.."

flavour=${1:-main}
case "$flavour" in
    main) options=(-DCMAKE_BUILD_TYPE=RelWithDebInfo) targets=() ;;
    asan) options=(-DCMAKE_BUILD_TYPE=Debug -DKAPTOR_SANITIZE=ON -DKAPTOR_BENCH=OFF) targets=() ;;
    fuzz) options=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ -DKAPTOR_FUZZ=ON
                   -DKAPTOR_TESTS=OFF -DKAPTOR_BENCH=OFF)
          targets=(--target config_reader_fuzz listing_fuzz) ;;
    *) echo "build.sh: unknown flavour '$flavour' (main, asan, fuzz)" >&2; exit 2 ;;
esac
cmake -S . -B "build/$flavour" -G Ninja "${options[@]}" >/dev/null
cmake --build "build/$flavour" "${targets[@]}"
