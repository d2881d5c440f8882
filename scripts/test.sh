#!/usr/bin/env bash
# Sets everything up and runs every test: the fuzz targets for a bounded time, the test suite,
# the test suite again under AddressSanitizer and UndefinedBehaviorSanitizer, and the Windows
# build: its test suite under Wine, and the 32-bit Windows build compiled and linked; then the
# releases people install, built and tested.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh

# The house format: every C++ file as clang-format leaves it.
git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run --Werror

fuzz_seconds=${KAPTOR_FUZZ_SECONDS:-30}

bash scripts/build.sh fuzz
for target in config_reader_fuzz listing_fuzz; do
    corpus=build/fuzz/corpus/$target
    mkdir -p "$corpus"
    echo "fuzz: $target for ${fuzz_seconds}s"
    "build/fuzz/fuzz/$target" -max_total_time="$fuzz_seconds" -print_final_stats=0 "$corpus" \
        2>build/fuzz/$target.log || { tail -n 40 "build/fuzz/$target.log"; exit 1; }
done

passed=0
failed=0
for flavour in main asan windows; do
    bash scripts/build.sh "$flavour"
    if [ "$flavour" = windows ]; then
        # The Wine prefix and its server, ready before CTest starts any Wine process.
        bash tests/windows/wine_prefix.sh build/windows/wineprefix
    fi
    log=build/$flavour/ctest.log
    status=0
    (cd "build/$flavour" && ctest --output-on-failure -j2) | tee "$log" || status=$?
    summary=$(grep -E '[0-9]+% tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -n 1)
    total=$(sed -E 's/.* out of ([0-9]+).*/\1/' <<<"$summary")
    bad=$(sed -E 's/.*passed, ([0-9]+) tests? failed.*/\1/' <<<"$summary")
    passed=$((passed + total - bad))
    failed=$((failed + bad))
    [ "$status" -eq 0 ] || failed=$((failed + (bad == 0 ? 1 : 0)))
done

# Pictures of the windows a person sees, for a person to look at (not a test: nothing fails).
bash scripts/screenshots.sh || echo "screenshots: could not be taken"

# 32-bit Windows: one test, it builds and its binaries import only system DLLs; the stage below
# runs them.
if bash scripts/build.sh windows-i686 &&
    bash tests/windows/imports_test.sh i686-w64-mingw32-objdump build/windows-i686/kaptor.exe \
        build/windows-i686/KAPSHOT.exe build/windows-i686/KAPTORAX.ocx \
        build/windows-i686/*.dll; then
    passed=$((passed + 1))
else
    echo "windows-i686: the build or its imports failed"
    failed=$((failed + 1))
fi

# 32-bit: the portable suite for 32-bit Linux under qemu-i386-static, the x86 kaptor.exe and
# KAPTORAX.ocx under 32-bit Wine (tests/i686/run.sh); each check counts as one test.
status=0
bash tests/i686/run.sh || status=$?
ok=$(grep -c '^ok ' build/i686.log || true)
bad=$(grep -c '^FAILED ' build/i686.log || true)
passed=$((passed + ok))
failed=$((failed + bad))
[ "$status" -eq 0 ] || failed=$((failed + (bad == 0 ? 1 : 0)))

# Releases: the installers, zips and Debian package, then their tests (the 64-bit installer
# under Wine in a prefix of its own, the package unpacked); each check counts as one test.
if bash scripts/release.sh; then
    for test in installer_test deb_test; do
        log=build/release/$test.log
        status=0
        bash "tests/release/$test.sh" 2>&1 | tee "$log" || status=$?
        ok=$(grep -c '^ok ' "$log" || true)
        bad=$(grep -c '^FAILED ' "$log" || true)
        passed=$((passed + ok))
        failed=$((failed + bad))
        [ "$status" -eq 0 ] || failed=$((failed + (bad == 0 ? 1 : 0)))
    done
else
    echo "release: building the releases failed"
    failed=$((failed + 1))
fi
echo
echo "tests: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
