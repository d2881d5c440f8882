#!/usr/bin/env bash
# Sets everything up and runs the tests, stage by stage:
#   test.sh [native|windows|i686|release|all]...   (default: all, what CI runs)
# native: the house format, the fuzz targets for a bounded time, the test suite, and the suite
#         again under AddressSanitizer and UndefinedBehaviorSanitizer (the driver library's
#         background reader under ThreadSanitizer);
# windows: the 64-bit Windows build's suite under Wine, pictures of every window under Xvfb, and
#         the 32-bit Windows build compiled, linked and its imports checked;
# i686: the 32-bit builds run: the portable suite for 32-bit Linux under qemu-i386-static, the x86
#         kaptor.exe and KAPTORAX.ocx under 32-bit Wine (tests/i686/run.sh);
# release: the installers, zips and Debian package people install, built and tested.
# Each stage prints its time; the last line counts every test: "tests: N passed, M failed".
set -euo pipefail
cd "$(dirname "$0")/.."

stages=("$@")
[ ${#stages[@]} -gt 0 ] || stages=(all)
for stage in "${stages[@]}"; do
    case "$stage" in
        native | windows | i686 | release | all) ;;
        *) echo "test.sh: unknown stage '$stage' (native, windows, i686, release, all)" >&2
           exit 2 ;;
    esac
done

passed=0
failed=0

# Adds a CTest run's counts from its log.
count_ctest() {
    local log=$1 status=$2 summary total bad
    summary=$(grep -E '[0-9]+% tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -n 1)
    if [ -z "$summary" ]; then
        failed=$((failed + 1))
        return
    fi
    total=$(sed -E 's/.* out of ([0-9]+).*/\1/' <<<"$summary")
    bad=$(sed -E 's/.*passed, ([0-9]+) tests? failed.*/\1/' <<<"$summary")
    passed=$((passed + total - bad))
    failed=$((failed + bad))
    [ "$status" -eq 0 ] || failed=$((failed + (bad == 0 ? 1 : 0)))
}

# Builds a flavour and runs its CTest suite.
run_suite() {
    local flavour=$1 log status=0
    bash scripts/build.sh "$flavour" || return 1
    log=build/$flavour/ctest.log
    (cd "build/$flavour" && ctest --output-on-failure -j2) | tee "$log" || status=$?
    count_ctest "$log" "$status"
}

# Adds the counts of a script that prints "ok ..." and "FAILED ..." lines.
run_checks() {
    local log=$1 status=0 ok bad
    shift
    "$@" 2>&1 | tee "$log" || status=$?
    ok=$(grep -c '^ok ' "$log" || true)
    bad=$(grep -c '^FAILED ' "$log" || true)
    passed=$((passed + ok))
    failed=$((failed + bad))
    [ "$status" -eq 0 ] || failed=$((failed + (bad == 0 ? 1 : 0)))
}

stage_native() {
    bash scripts/setup.sh native || return 1

    # The house format: every C++ file as clang-format leaves it.
    git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run --Werror || return 1

    local fuzz_seconds=${KAPTOR_FUZZ_SECONDS:-10} target corpus targets
    bash scripts/build.sh fuzz || return 1
    mapfile -t targets <build/fuzz/fuzz/targets.txt
    for target in "${targets[@]}"; do
        corpus=build/fuzz/corpus/$target
        mkdir -p "$corpus"
        echo "fuzz: $target for ${fuzz_seconds}s"
        "build/fuzz/fuzz/$target" -max_total_time="$fuzz_seconds" -print_final_stats=0 "$corpus" \
            2>build/fuzz/$target.log || { tail -n 40 "build/fuzz/$target.log"; return 1; }
    done

    run_suite main || return 1
    run_suite asan || return 1

    # The driver library's background reader under ThreadSanitizer (the tsan flavour builds its
    # unit test alone).
    local log=build/tsan/ctest.log status=0
    bash scripts/build.sh tsan || return 1
    (cd build/tsan && ctest --output-on-failure -R '^UsbDevice\.') | tee "$log" || status=$?
    count_ctest "$log" "$status"
}

stage_windows() {
    bash scripts/setup.sh windows || return 1
    bash scripts/build.sh windows || return 1
    # The Wine prefix and its server, ready before CTest starts any Wine process.
    bash tests/windows/wine_prefix.sh build/windows/wineprefix || return 1
    local log=build/windows/ctest.log status=0
    (cd build/windows && ctest --output-on-failure -j2) | tee "$log" || status=$?
    count_ctest "$log" "$status"

    # Pictures of the windows a person sees, for a person to look at (not a test: nothing fails).
    bash scripts/screenshots.sh || echo "screenshots: could not be taken"

    # 32-bit Windows: compiled and linked; one test: it builds and its binaries import only
    # system DLLs.
    if bash scripts/build.sh windows-i686 &&
        bash tests/windows/imports_test.sh i686-w64-mingw32-objdump build/windows-i686/kaptor.exe \
            build/windows-i686/KAPSHOT.exe build/windows-i686/KAPTORAX.ocx \
            build/windows-i686/*.dll; then
        passed=$((passed + 1))
    else
        echo "windows-i686: the build or its imports failed"
        failed=$((failed + 1))
    fi
}

stage_i686() {
    # Each check counts as one test; the stage builds what it needs (main, windows-i686).
    mkdir -p build
    run_checks build/i686-stage.log bash tests/i686/run.sh
}

stage_release() {
    # The installers, zips and Debian package, then their tests (the 64-bit installer under Wine
    # in a prefix of its own, the package unpacked); each check counts as one test.
    if bash scripts/release.sh; then
        local test
        for test in installer_test deb_test; do
            run_checks "build/release/$test.log" bash "tests/release/$test.sh"
        done
    else
        echo "release: building the releases failed"
        failed=$((failed + 1))
    fi
}

# A stage runs as the condition of an if, where bash ignores set -e: each step that must stop
# the stage says so with "|| return 1".
run_stage() {
    local stage=$1 start=$SECONDS before_passed=$passed before_failed=$failed
    echo "== stage $stage"
    if ! "stage_$stage"; then
        echo "stage $stage: stopped on an error"
        failed=$((failed + 1))
    fi
    echo "== stage $stage: $((passed - before_passed)) passed, $((failed - before_failed)) failed" \
        "in $((SECONDS - start)) s"
}

for stage in "${stages[@]}"; do
    if [ "$stage" = all ]; then
        for each in native windows i686 release; do run_stage "$each"; done
    else
        run_stage "$stage"
    fi
done
echo
echo "tests: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
