#!/usr/bin/env bash
# Configures and builds one flavour: main (tests and benchmarks), asan (the test suite under
# AddressSanitizer and UndefinedBehaviorSanitizer), tsan (the driver library's unit test, usb_test,
# under ThreadSanitizer: its background reader against FT_Read, purge and close), fuzz (the libFuzzer targets, clang),
# windows (64-bit Windows with mingw-w64: kaptor.exe, Ftd2xx.dll and the tests, run under Wine)
# windows-i686 (32-bit Windows: kaptor.exe, Ftd2xx.dll, KAPTORAX.ocx; tests/i686/run.sh runs them
# under 32-bit Wine) or linux-i686 (the portable test suite for 32-bit Linux, run under
# qemu-i386-static).
set -euo pipefail
cd "$(dirname "$0")/.."

flavour=${1:-main}
case "$flavour" in
    main) options=(-DCMAKE_BUILD_TYPE=RelWithDebInfo) targets=() ;;
    asan) options=(-DCMAKE_BUILD_TYPE=Debug -DKAPTOR_SANITIZE=ON -DKAPTOR_BENCH=OFF) targets=() ;;
    tsan) options=(-DCMAKE_BUILD_TYPE=Debug -DKAPTOR_TSAN=ON -DKAPTOR_BENCH=OFF)
          targets=(--target usb_test) ;;
    fuzz) options=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ -DKAPTOR_FUZZ=ON
                   -DKAPTOR_TESTS=OFF -DKAPTOR_BENCH=OFF)
          targets=(--target fuzz_targets) ;;
    windows) options=(-DCMAKE_BUILD_TYPE=RelWithDebInfo
                      -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-x86_64.cmake" -DKAPTOR_BENCH=OFF)
             targets=() ;;
    windows-i686) options=(-DCMAKE_BUILD_TYPE=RelWithDebInfo
                           -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-i686.cmake" -DKAPTOR_BENCH=OFF
                           -DKAPTOR_TESTS=OFF)
                  targets=() ;;
    linux-i686) options=(-DCMAKE_BUILD_TYPE=RelWithDebInfo
                         -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/linux-i686.cmake" -DKAPTOR_BENCH=OFF
                         -DKAPTOR_PNG=OFF)
                targets=() ;;
    *) echo "build.sh: unknown flavour '$flavour' (main, asan, tsan, fuzz, windows, windows-i686," \
            "linux-i686)" >&2
       exit 2 ;;
esac
cmake -S . -B "build/$flavour" -G Ninja -DKAPTOR_WERROR=ON "${options[@]}" >/dev/null
cmake --build "build/$flavour" --parallel 2 "${targets[@]}"
