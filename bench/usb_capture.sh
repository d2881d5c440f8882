#!/usr/bin/env bash
# A whole capture through kaptor's driver library over libftdi1, on a board attached to the
# emulated USB bus (kaptor-usb-board), side by side with the D2XX simulator in the same run, at
# 1 MB/s and 8 MB/s: the mean of RUNS captures each, against the floor (600 ms + frame bytes /
# rate; goal: at most 1.02 x the floor), and the pictures compared byte for byte (no byte lost
# while the control waits its 600 ms with the driver's buffer full).
# A capture's own cost is the time a process with 3 more captures takes beyond one with a single
# capture, divided by 3; the whole process (start-up, the bus attaching the board, the board's
# programming) is shown beside it.
#   usb_capture.sh [BUILD]   (default build/main; KAPTOR_BENCH_RUNS runs each, default 3)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build/main}" && pwd)
runs=${KAPTOR_BENCH_RUNS:-3}
MORE=3  # the captures after the first, in the same process
kaptor=$build/bin/kaptor
bus=$build/bin/kaptor-usb-board
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
unset KAPTOR_D2XX_LIBRARY KAPTOR_DEVICE KAPTOR_SIM_FAULTS KAPTOR_SIM_SCENE
export KAPTOR_DRIVE_C=$work/c

# Seconds, as a decimal, of one run of the command.
seconds() {
    local start end
    start=$(date +%s%N)
    "$@" >/dev/null
    end=$(date +%s%N)
    echo "$(((end - start) / 1000))e-6"
}

echo "== capture through the emulated USB bus: goal <= 1.02 x the floor (600 ms + bytes / rate)"
for size in 640x496 1024x1534; do
    width=${size%x*} lines=${size#*x}
    rm -rf "$work/c"
    "$kaptor" config init >/dev/null
    "$kaptor" --answer ok config set "pixelsPerLine=$width" "activeLines=$((lines / 2))" \
        >/dev/null 2>&1
    python3 -c "import sys; sys.stdout.buffer.write(bytes(i * 7 % 251 for i in range($width * $lines)))" \
        >"$work/frame.bin"
    export KAPTOR_SIM_REPLAY=$work/frame.bin
    for rate in 1000000 8000000; do
        export KAPTOR_SIM_RATE=$rate
        usb=() sim=() usb_more=() sim_more=()
        for ((i = 0; i < runs; i++)); do
            usb+=("$(seconds "$bus" -- "$kaptor" -q capture -o "$work/usb.bmp")")
            sim+=("$(seconds "$kaptor" --sim -q capture -o "$work/sim.bmp")")
            usb_more+=("$(seconds "$bus" -- "$kaptor" -q capture --count $((1 + MORE)) \
                -o "$work/usb%d.bmp")")
            sim_more+=("$(seconds "$kaptor" --sim -q capture --count $((1 + MORE)) \
                -o "$work/sim%d.bmp")")
        done
        same=lost
        cmp -s "$work/usb.bmp" "$work/sim.bmp" && same="same picture"
        python3 - "$size" "$rate" "$width" "$lines" "$same" "${usb[*]}" "${sim[*]}" \
            "${usb_more[*]}" "${sim_more[*]}" "$MORE" <<'PY'
import sys
size, rate, width, lines, same, usb, sim, usb_more, sim_more, more = sys.argv[1:]
floor = 0.6 + int(width) * int(lines) / float(rate)
mean = lambda xs: sum(map(float, xs.split())) / len(xs.split())
u, s = mean(usb), mean(sim)
# One capture more in the same process: what a capture costs, without the process's start-up,
# the bus's attaching and the board's programming.
uc, sc = (mean(usb_more) - u) / int(more), (mean(sim_more) - s) / int(more)
print(f'{size:>9} at {float(rate):5.0e} B/s: floor {floor*1e3:6.1f} ms | a capture: usb '
      f'{uc*1e3:6.1f} ms x{uc/floor:5.3f}, simulator {sc*1e3:6.1f} ms x{sc/floor:5.3f} | '
      f'whole kaptor capture: usb {u*1e3:6.1f} ms x{u/floor:5.3f}, simulator {s*1e3:6.1f} ms '
      f'x{s/floor:5.3f} | {same}')
PY
    done
done
