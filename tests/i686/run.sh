#!/usr/bin/env bash
# The 32-bit deliverables run, not only compile:
#   - the portable test suite built for 32-bit Linux (build.sh linux-i686) under qemu-i386-static;
#   - the x86 kaptor.exe against the x86 Ftd2xx.dll under 32-bit Wine: pictures byte for byte
#     the native kaptor's, and the link's failures with the same messages and status;
#   - the x86 KAPTORAX.ocx registered with regsvr32 and driven by a VBScript through cscript.
# 32-bit Wine is Debian's wine32, unpacked into build/i686-sysroot (sysroot.sh), never installed.
# When this kernel runs 32-bit programs Wine runs as it is. Otherwise the Wine tests are skipped
# with the reason (under qemu-i386 every Wine process takes minutes to start), unless
# KAPTOR_I686_EMULATE=1: then qemu-i386-static runs it, registered in binfmt_misc for this stage
# only: in a binfmt_misc of a private user namespace where the kernel has those (Linux 6.7 on),
# else system-wide and removed again at the end. KAPTOR_I686_EMULATE=1 takes qemu even where the
# kernel could do without.
# Prints "ok NAME" or "FAILED NAME" per test and ends with "i686: N passed, M failed".
set -uo pipefail
cd "$(dirname "$0")/../.."
root=$PWD
sysroot=$root/build/i686-sysroot
prefix=$root/build/windows-i686/wineprefix
export KAPTOR_I686_SYSROOT=$sysroot
export KAPTOR_WINE=$root/tests/i686/wine32.sh

# The Wine half: the prefix, kaptor.exe and the control. Runs in the namespace when emulated.
wine_tests() {
    local started=$SECONDS
    if ! bash tests/windows/wine_prefix.sh "$prefix"; then
        echo "FAILED i686: the 32-bit Wine prefix $prefix"
        # A server left running would hold this stage's output open.
        WINEPREFIX=$prefix /usr/lib/wine/wineserver64 -k 2>/dev/null
        return
    fi
    echo "i686: the 32-bit Wine prefix is ready ($((SECONDS - started)) s)"
    local group status
    for group in pictures failures; do
        started=$SECONDS
        status=0
        timeout 1200 bash tests/windows/kaptor_exe_test.sh build/windows-i686 build/main "$group" \
            2>&1 | sed -E 's/^(ok +)/\1kaptor.exe-x86 /; s/^FAIL /FAILED kaptor.exe-x86 /' ||
            status=$?
        [ "$status" -eq 0 ] || echo "FAILED kaptor.exe-x86 $group: status $status"
        echo "i686: kaptor.exe $group took $((SECONDS - started)) s"
    done
    started=$SECONDS
    timeout 900 bash tests/i686/ocx_test.sh build/windows-i686 build/main ||
        echo "FAILED ocx-x86: status $?"
    echo "i686: the control under cscript took $((SECONDS - started)) s"
    WINEPREFIX=$prefix /usr/lib/wine/wineserver64 -k 2>/dev/null || true
}

# qemu-i386 for every 32-bit ELF program, as the usual binfmt_misc line with "F": the emulator
# is opened now and works for programs started from any folder.
register_qemu() {
    local magic='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
    local mask='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'
    echo ":qemu-i386:M::$magic:$mask:/usr/bin/qemu-i386-static:F" \
        >/proc/sys/fs/binfmt_misc/register
}

case "${1:-}" in
    --in-namespace)
        # A binfmt_misc of this user namespace alone: nothing outside sees the registration.
        mount -t binfmt_misc binfmt_misc /proc/sys/fs/binfmt_misc && register_qemu || exit 3
        wine_tests
        exit 0 ;;
esac

install() {
    bash scripts/setup.sh i686 || return
    # Only for downloading wine32's packages (sysroot.sh); nothing of i386 gets installed.
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
        echo "i686: adding the i386 architecture to dpkg"
        dpkg --add-architecture i386
        apt-get update -qq
    fi
    apt-cache show wine32:i386 >/dev/null 2>&1 || apt-get update -qq
}

stage() {
    local started=$SECONDS
    install || { echo "FAILED i686: installing what the stage needs"; return; }

    # The portable suite under qemu-i386-static (CMake's emulator for this build): one line
    # per test.
    if bash scripts/build.sh linux-i686 >build/linux-i686.log 2>&1; then
        local status=0 test='^ *[0-9]+/[0-9]+ Test +#[0-9]+: ([^ ]+) '
        (cd build/linux-i686 && timeout 1200 ctest -j2 --output-on-failure) \
            >build/linux-i686/ctest.log 2>&1 || status=$?
        sed -nE "s|$test.* Passed .*|ok   linux-i686 \1|p; s|$test.*[*]{3}.*|FAILED linux-i686 \1|p" \
            build/linux-i686/ctest.log
        if [ "$status" -ne 0 ]; then
            tail -n 40 build/linux-i686/ctest.log
            grep -Eq "$test.*[*]{3}" build/linux-i686/ctest.log ||
                echo "FAILED linux-i686: ctest ended with status $status"
        fi
    else
        tail -n 30 build/linux-i686.log
        echo "FAILED linux-i686: the build"
    fi
    echo "i686: the 32-bit Linux suite took $((SECONDS - started)) s"

    for flavour in main windows-i686; do
        bash scripts/build.sh "$flavour" >"build/$flavour.log" 2>&1 || {
            tail -n 30 "build/$flavour.log"
            echo "FAILED i686: building $flavour"
            return
        }
    done
    started=$SECONDS
    bash tests/i686/sysroot.sh "$sysroot" || { echo "FAILED i686: unpacking 32-bit Wine"; return; }
    echo "i686: 32-bit Wine unpacked ($((SECONDS - started)) s)"

    if [ "${KAPTOR_I686_EMULATE:-0}" != 1 ] &&
        "$KAPTOR_WINE" --version >/dev/null 2>&1; then
        echo "i686: this kernel runs 32-bit programs: 32-bit Wine runs without an emulator"
        wine_tests
        return
    fi
    if [ "${KAPTOR_I686_EMULATE:-0}" != 1 ]; then
        # Measured with Debian 12's qemu 7.2: it takes MAP_FIXED_NOREPLACE for a mere hint, so
        # Wine's loader, reserving its address space, fails and halves every area down to 64 KiB
        # (QEMU_STRACE: about 65,000 mmap2/munmap pairs) at each process start: minutes per
        # process, hours for these tests.
        echo "i686: SKIPPED 32-bit Wine: this kernel runs no 32-bit programs, and under" \
            "qemu-i386 each Wine process spends minutes reserving its address space" \
            "(KAPTOR_I686_EMULATE=1 runs it anyway)"
        return
    fi
    echo "i686: 32-bit Wine under qemu-i386-static"
    export KAPTOR_WINE_TIMEOUT=${KAPTOR_WINE_TIMEOUT:-900} KAPTOR_WINE_BOOT_TIMEOUT=3600
    # Without an emulator, Wine's loader under qemu starts its preloader and every further
    # process through the kernel: qemu must be registered for 32-bit programs.
    if unshare --user --map-root-user --mount --propagation private \
        bash -c 'mount -t binfmt_misc binfmt_misc /proc/sys/fs/binfmt_misc' 2>/dev/null; then
        echo "i686: qemu-i386 registered in binfmt_misc of a private user namespace"
        unshare --user --map-root-user --mount --propagation private \
            bash tests/i686/run.sh --in-namespace
        return
    fi
    [ -f /proc/sys/fs/binfmt_misc/register ] ||
        mount -t binfmt_misc binfmt_misc /proc/sys/fs/binfmt_misc ||
        { echo "FAILED i686: binfmt_misc cannot be mounted"; return; }
    if [ -e /proc/sys/fs/binfmt_misc/qemu-i386 ]; then
        echo "i686: qemu-i386 is registered in binfmt_misc already"
        wine_tests
        return
    fi
    echo "i686: registering qemu-i386 in binfmt_misc for this stage (removed at its end)"
    register_qemu || { echo "FAILED i686: registering qemu-i386"; return; }
    trap 'echo -1 >/proc/sys/fs/binfmt_misc/qemu-i386' EXIT
    wine_tests
    echo -1 >/proc/sys/fs/binfmt_misc/qemu-i386
    trap - EXIT
}

mkdir -p build
started=$SECONDS
stage 2>&1 | tee build/i686.log
passed=$(grep -c '^ok ' build/i686.log)
failed=$(grep -c '^FAILED ' build/i686.log)
echo "i686: $passed passed, $failed failed ($((SECONDS - started)) s)"
[ "$failed" -eq 0 ]
