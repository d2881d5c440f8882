#!/usr/bin/env bash
# kaptor with no --sim and no KAPTOR_D2XX_LIBRARY, through its driver library over libftdi1, on
# boards attached to an emulated USB bus (kaptor-usb-board), against the D2XX simulator's answers
# for the same configuration, scene and faults: the same picture byte for byte, the same command
# bytes on the wire, the same messages and exit status.
#   usb_test.sh BUILD
set -uo pipefail
build=$1
kaptor=$build/bin/kaptor
bus=$build/bin/kaptor-usb-board
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
unset KAPTOR_D2XX_LIBRARY KAPTOR_DEVICE KAPTOR_SIM_FAULTS KAPTOR_SIM_SCENE KAPTOR_SIM_REPLAY
# umockdev's preload library comes before a sanitizer's runtime in the sanitizer build.
export ASAN_OPTIONS=${ASAN_OPTIONS:+$ASAN_OPTIONS:}verify_asan_link_order=0
passed=0
failed=0

ok() { passed=$((passed + 1)); echo "ok: $1"; }
bad() { failed=$((failed + 1)); echo "FAILED: $1: $2"; }

# A drive with the sample configuration and the given settings.
drive() {
    local dir=$work/$1
    shift
    rm -rf "$dir" && mkdir -p "$dir"
    KAPTOR_DRIVE_C=$dir "$kaptor" config init >/dev/null || return 1
    [ $# -eq 0 ] || KAPTOR_DRIVE_C=$dir "$kaptor" --answer ok config set "$@" >/dev/null 2>&1
}

# run NAME [VARIABLE=VALUE]... -- COMMAND...: status, standard error and time in $work/NAME.*
run() {
    local name=$1 start
    shift
    local vars=()
    while [ "$1" != -- ]; do vars+=("$1"); shift; done
    shift
    start=$(date +%s%N)
    env "${vars[@]}" timeout 60 "$@" >"$work/$name.out" 2>"$work/$name.err"
    echo $? >"$work/$name.status"
    echo $((($(date +%s%N) - start) / 1000000)) >"$work/$name.ms"
}

# The wire: command bytes as each side's trace records them.
wire() { sed -n "s/^$2//p" "$1"; }

# Pictures: the same settings and scene through the emulated bus and through the D2XX simulator.
# (How the fields are put together, one or both, is the control's, the same on either path.)
# The board's registers hold at most 1023 pixels a line, so the largest frame comes as a replay.
# At 4 MB/s the largest frame takes 1 s of the control's 3 s, so that a machine busy with other
# work still gets every frame whole.
python3 -c 'import sys; sys.stdout.buffer.write(bytes(i * 7 % 251 for i in range(1024 * 1534)))' \
    >"$work/large.replay"
picture_rows=(
    # name | settings | KAPTOR_SIM_REPLAY
    "640x496 interlaced||"
    "1024x1534 interlaced|pixelsPerLine=1024 activeLines=767|$work/large.replay"
)
for row in "${picture_rows[@]}"; do
    IFS='|' read -r name settingsText replay <<<"$row"
    read -ra settings <<<"$settingsText"
    key=${name// /_}
    drive "$key" "${settings[@]}" || { bad "$name" "the configuration was refused"; continue; }
    c=$work/$key
    run "$key.sim" KAPTOR_DRIVE_C="$c" KAPTOR_SIM_TRACE="$c/sim.trace" KAPTOR_SIM_REPLAY="$replay" \
        KAPTOR_SIM_RATE=4000000 -- "$kaptor" --sim -q capture -o "$c/sim.bmp"
    run "$key.usb" KAPTOR_DRIVE_C="$c" KAPTOR_SIM_TRACE="$c/usb.trace" KAPTOR_SIM_REPLAY="$replay" \
        KAPTOR_SIM_RATE=4000000 -- "$bus" -- "$kaptor" -q capture -o "$c/usb.bmp"
    if [ "$(cat "$work/$key.usb.status")" != 0 ] || [ -s "$work/$key.usb.err" ]; then
        bad "$name" "status $(cat "$work/$key.usb.status"): $(cat "$work/$key.usb.err")"
    elif ! cmp -s "$c/sim.bmp" "$c/usb.bmp"; then
        bad "$name" "the pictures differ"
    elif [ "$(wire "$c/usb.trace" "USB OUT" | wc -l)" != 45 ] ||
        ! diff <(wire "$c/sim.trace" FT_Write) <(wire "$c/usb.trace" "USB OUT") >/dev/null; then
        bad "$name" "the board received other bytes than the simulator's 44 frames and capture"
    elif ! diff <(grep '^BOARD capture' "$c/sim.trace") <(grep '^BOARD capture' "$c/usb.trace") \
        >/dev/null; then
        bad "$name" "the board was programmed otherwise"
    else
        ok "$name"
    fi
done

# Failures through the whole stack: the emulated board's outcome (status, messages, picture)
# against the simulator's with the same faults, or against a fixed outcome where the simulator
# has no such case; no run waits past its time.
openFailed="KAPTORAX: ERROR AL ABRIR PUERTO USB. Reintente nuevamente"
failure_rows=(
    # name | kaptor-usb-board options | KAPTOR_SIM_FAULTS | expected status | expected message
    "no board|--boards 0||1|$openFailed"
    "the no-device fault|-|no-device|sim|"
    "a board of another description|--product OTHER BOARD||1|$openFailed"
    "a write the bus refuses|-|write-zero-at=3|sim|"
    "unplugged in the middle of a frame|-|disconnect-at=100000|sim|"
    "a frame that stops short: reads end at their time-out with what came|-|short-frame=1000|sim|"
)
drive failures
for row in "${failure_rows[@]}"; do
    IFS='|' read -r name options faults status message <<<"$row"
    key=${name%%:*}
    key=${key// /_}
    boardOptions=()
    case "$options" in
        --product*) boardOptions=(--product "${options#--product }") ;;
        -) ;;
        *) read -ra boardOptions <<<"$options" ;;
    esac
    c=$work/failures
    run "$key.usb" KAPTOR_DRIVE_C="$c" KAPTOR_SIM_FAULTS="$faults" -- \
        "$bus" "${boardOptions[@]}" -- "$kaptor" -q capture -o "$c/$key.usb.bmp"
    if [ "$status" = sim ]; then
        run "$key.sim" KAPTOR_DRIVE_C="$c" KAPTOR_SIM_FAULTS="$faults" -- \
            "$kaptor" --sim -q capture -o "$c/$key.sim.bmp"
        status=$(cat "$work/$key.sim.status")
        message=$(cat "$work/$key.sim.err")
    fi
    if [ "$(cat "$work/$key.usb.status")" != "$status" ]; then
        bad "$name" "status $(cat "$work/$key.usb.status"), not $status"
    elif [ "$(cat "$work/$key.usb.err")" != "$message" ]; then
        bad "$name" "said '$(cat "$work/$key.usb.err")', not '$message'"
    elif [ -e "$c/$key.sim.bmp" ] && [ "$faults" != disconnect-at=100000 ] &&
        ! cmp -s "$c/$key.sim.bmp" "$c/$key.usb.bmp"; then
        bad "$name" "the pictures differ"
    elif [ "$(cat "$work/$key.usb.ms")" -gt 10000 ]; then
        bad "$name" "took $(cat "$work/$key.usb.ms") ms"
    else
        ok "$name"
    fi
done

# Two boards, each with its own scene: --device (or KAPTOR_DEVICE) picks one by its serial number.
printf 'P5\n2 2\n255\n\x10\x40\x80\xf0' >"$work/scene_a.pgm"
printf 'P5\n2 2\n255\n\xf0\x80\x40\x10' >"$work/scene_b.pgm"
drive two
c=$work/two
for serial in A100 B200; do
    scene=$work/scene_a.pgm
    [ $serial = A100 ] || scene=$work/scene_b.pgm
    run "two.$serial.sim" KAPTOR_DRIVE_C="$c" KAPTOR_SIM_SCENE="$scene" -- \
        "$kaptor" --sim -q capture -o "$c/$serial.sim.bmp"
    # One through kaptor's option, the other as any host of the library names it.
    choice=(--device "$serial") named=KAPTOR_DEVICE=
    [ $serial = A100 ] || choice=() named=KAPTOR_DEVICE=$serial
    run "two.$serial.usb" KAPTOR_DRIVE_C="$c" "$named" -- \
        "$bus" --serial A100 --serial B200 --scene "$work/scene_a.pgm" --scene "$work/scene_b.pgm" \
        -- "$kaptor" "${choice[@]}" -q capture -o "$c/$serial.usb.bmp"
    if [ "$(cat "$work/two.$serial.usb.status")" != 0 ]; then
        bad "the board $serial" "$(cat "$work/two.$serial.usb.err")"
    elif ! cmp -s "$c/$serial.sim.bmp" "$c/$serial.usb.bmp"; then
        bad "the board $serial" "not the picture of that board's scene"
    else
        ok "the board $serial"
    fi
done
if cmp -s "$c/A100.usb.bmp" "$c/B200.usb.bmp"; then
    bad "two boards" "both pictures are the same"
fi

# Listing, and a board another process holds: listed as busy, refused when named, passed over
# when not. The holder captures three times a second apart; the others run meanwhile.
c=$work/two
run held KAPTOR_DRIVE_C="$c" -- "$bus" --serial A100 --serial B200 --scene "$work/scene_a.pgm" \
    --scene "$work/scene_b.pgm" -- bash -c '
    k=$1 out=$2
    "$k" devices >"$out.free.txt"
    "$k" devices --json >"$out.free.json"
    "$k" --device A100 -q capture --count 3 --interval 1 -o "$out.held%n.bmp" >/dev/null 2>&1 &
    sleep 1.5
    "$k" devices >"$out.busy.txt"
    "$k" --device A100 -q capture -o "$out.refused.bmp" 2>"$out.refused.err"
    echo $? >"$out.refused.status"
    "$k" -q capture -o "$out.other.bmp" >/dev/null 2>&1
    echo $? >"$out.other.status"
    wait' - "$kaptor" "$c/held"
listing=(
    "devices|$c/held.free.txt|LUMENFRAME USB 1.0: serial A100, bus 001, address 002
LUMENFRAME USB 1.0: serial B200, bus 001, address 003"
    "devices --json|$c/held.free.json|[{\"description\": \"LUMENFRAME USB 1.0\", \"serial\": \"A100\", \"bus\": 1, \"address\": 2, \"busy\": false}, {\"description\": \"LUMENFRAME USB 1.0\", \"serial\": \"B200\", \"bus\": 1, \"address\": 3, \"busy\": false}]"
    "devices while A100 is held|$c/held.busy.txt|LUMENFRAME USB 1.0: serial A100, bus 001, address 002, busy
LUMENFRAME USB 1.0: serial B200, bus 001, address 003"
    "--device A100 while it is held: the open fails|$c/held.refused.err|$openFailed"
    "--device A100 while it is held: status 1|$c/held.refused.status|1"
    "no --device while A100 is held: B200 captures|$c/held.other.status|0"
)
for row in "${listing[@]}"; do
    IFS='|' read -r name file expected <<<"$row"
    expected=${row#*|*|}
    if [ "$(cat "$file" 2>/dev/null)" = "$expected" ]; then
        ok "$name"
    else
        bad "$name" "got '$(cat "$file" 2>/dev/null)'"
    fi
done
cmp -s "$c/held.other.bmp" "$c/B200.sim.bmp" || bad "the free board's picture" "not B200's"
for n in 1 2 3; do
    [ -s "$c/held.held$n.bmp" ] || bad "the holder's capture $n" "no picture"
done

# The library's own functions as any program calls them: FT_ListDevices (the count, the
# descriptions and serial numbers by index), FT_OpenEx by serial number, FT_Open by index (a
# board this process holds already refused, one past the last not found), FT_Close.
run functions -- "$bus" --serial A100 --serial B200 -- python3 -c '
import ctypes, sys
lib = ctypes.CDLL(sys.argv[1])
count = ctypes.c_uint32()
said = [lib.FT_ListDevices(ctypes.byref(count), None, 0x80000000), count.value]
for index in range(count.value):
    for flag in (2, 1):
        name = ctypes.create_string_buffer(64)
        said += [lib.FT_ListDevices(ctypes.c_void_p(index), name, 0x40000000 | flag),
                 name.value.decode()]
held, other = ctypes.c_void_p(), ctypes.c_void_p()
said += [lib.FT_OpenEx(b"B200", 1, ctypes.byref(held)), lib.FT_Open(1, ctypes.byref(other)),
         lib.FT_Open(2, ctypes.byref(other)), lib.FT_Open(0, ctypes.byref(other)),
         lib.FT_Close(held), lib.FT_Close(other), lib.FT_Close(held)]
print(*said, sep=",")' "$build/lib/libkaptor-d2xx.so"
expected="0,2,0,LUMENFRAME USB 1.0,0,A100,0,LUMENFRAME USB 1.0,0,B200,0,3,2,0,0,0,1"
if [ "$(cat "$work/functions.out")" = "$expected" ]; then
    ok "the D2XX functions by index, serial number and handle"
else
    bad "the D2XX functions by index, serial number and handle" \
        "$(cat "$work/functions.out" "$work/functions.err")"
fi

echo "usb: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
