#!/usr/bin/env bash
# Installs a built tree into a staging folder and checks that the installed kaptor stands on its
# own: its version, a capture from the installed simulated board, a program built against the
# installed libkaptor with pkg-config, the manual page, no test-only libraries, and --sim
# refusing to go on when the simulator is missing.
# Usage: install_smoke.sh BUILD_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
fail() { echo "install_smoke: $*" >&2; exit 1; }

# Staged as a package stages it: /usr, and the udev rule in /lib/udev/rules.d, under the stage.
DESTDIR=$stage cmake --install "$build" --prefix /usr >/dev/null
kaptor=$stage/usr/bin/kaptor
[ -x "$kaptor" ] || fail "kaptor is not installed"

version=$("$kaptor" --version)
[[ "$version" =~ ^kaptor\ [0-9]+\.[0-9]+\.[0-9]+$ ]] || fail "unexpected version '$version'"

sim=$(find "$stage/usr" -name libkaptorsim.so)
[ -n "$sim" ] || fail "the simulated board is not installed"
[ -f "$stage/lib/udev/rules.d/60-kaptor.rules" ] || fail "the udev rule is not installed"
[ -n "$(find "$stage/usr" -name libkaptor-d2xx.so)" ] || fail "the driver library is not installed"
if find "$stage/usr" -name 'libkaptorsim_no_*' | grep -q .; then
    fail "test-only simulator variants were installed"
fi

# The installed program, with nothing of the build tree in its environment.
export KAPTOR_DRIVE_C=$stage/drive_c
unset KAPTOR_D2XX_LIBRARY
"$kaptor" config init >/dev/null
# Without --sim the driver library installed with kaptor answers: no board of that serial number
# (none that a board attached to this machine could have) on the bus.
said=$(KAPTOR_DEVICE=no-such-board "$kaptor" -q capture -o "$stage/none.bmp" 2>&1 >/dev/null) &&
    fail "a capture without a board succeeded"
[ "$said" = "KAPTORAX: ERROR AL ABRIR PUERTO USB. Reintente nuevamente" ] ||
    fail "the installed driver library did not answer: $said"
picture=$("$kaptor" --sim -q capture -o "$stage/picture.png")
[ "$picture" = "$stage/picture.png" ] || fail "capture printed '$picture'"
[ "$(head -c 8 "$stage/picture.png" | od -An -tx1 | tr -d ' \n')" = 89504e470d0a1a0a ] ||
    fail "the picture is not a PNG"

# libkaptor-dev as a program's build sees it: pkg-config's flags, the public headers alone.
libdir=$(dirname "$(find "$stage/usr" -name 'libkaptor.so.1')")
[ -f "$stage/usr/include/kaptor/kaptor.h" ] || fail "the public header is not installed"
if find "$stage/usr/include" -name 'kaptorax_ctrl.h' | grep -q .; then
    fail "the control's own headers were installed"
fi
sanitizers=
if grep -q '^KAPTOR_SANITIZE:BOOL=ON' "$build/CMakeCache.txt"; then
    sanitizers=-fsanitize=address,undefined
fi
CXXFLAGS=$sanitizers bash "$(dirname "$0")/../tests/release/program_check.sh" "$libdir" "$stage/program" ||
    fail "a program built with pkg-config --cflags --libs kaptor did not capture"

page=$(find "$stage/usr" -name kaptor.1)
[ -n "$page" ] || fail "no manual page"
MANWIDTH=100 man -l "$page" 2>/dev/null | grep -q -- '--answer' || fail "the manual page lacks --answer"

# Without its simulator the installed kaptor refuses --sim: status 2, and no real driver.
rm "$sim"
status=0
"$kaptor" --sim capture -o "$stage/none.bmp" >/dev/null 2>"$stage/err" || status=$?
[ "$status" -eq 2 ] || fail "--sim without the simulator exited $status"
grep -q 'not installed' "$stage/err" || fail "--sim without the simulator did not say why"
[ ! -e "$stage/none.bmp" ] || fail "--sim without the simulator captured"
echo "install_smoke: ok ($version)"
