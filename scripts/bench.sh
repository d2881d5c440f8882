#!/usr/bin/env bash
# End-to-end figures beside the in-process benchmarks: kaptor's start-up against a C++ program
# that does nothing (built the same way), and a whole `kaptor --sim capture` against `sleep` of
# its floor (600 ms + frame bytes / link rate), with hyperfine. Then build/main/bench/kaptor_bench.
# KAPTOR_BENCH_RUNS sets hyperfine's runs per command (default 5). KAPTOR_BENCH_BASELINE names
# the build folder of another version (with bin/kaptor and lib/libkaptorsim.so) to measure
# side by side in the same runs.
set -euo pipefail
cd "$(dirname "$0")/.."

if ! command -v hyperfine >/dev/null; then
    if [ "$(id -u)" = 0 ] && command -v apt-get >/dev/null; then
        apt-get install -y hyperfine
    else
        echo "bench.sh: hyperfine is missing (Debian package hyperfine)" >&2
        exit 2
    fi
fi

cmake -S . -B build/main -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKAPTOR_WERROR=ON >/dev/null
cmake --build build/main -j2 --target kaptor kaptorsim kaptor_bench kaptor_trivial \
    kaptor-d2xx kaptor-usb-board
bin=$PWD/build/main/bin
[ -x "$bin/kaptor" ] || bin=$(dirname "$(find build/main -name kaptor -type f -perm -u+x | head -1)")
trivial=$(find build/main -name kaptor_trivial -type f -perm -u+x | head -1)
runs=${KAPTOR_BENCH_RUNS:-5}
baseline=${KAPTOR_BENCH_BASELINE:-}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export KAPTOR_DRIVE_C=$work/c
export KAPTOR_D2XX_LIBRARY=$PWD/build/main/lib/libkaptorsim.so
"$bin/kaptor" config init >/dev/null
config() {  # width, active lines: interlaced, single field
    printf 'b\r\nb\r\n%s\r\n120\r\n%s\r\n20\r\n800\r\n0\r\n1\r\n128\r\n64\r\n0\r\n10\r\n0\r\n0\r\n1\r\n' \
        "$1" "$2" >"$KAPTOR_DRIVE_C/KAPTOR/CONFIG/BENCH.TXT"
    printf 'BENCH.TXT\r\n' >"$KAPTOR_DRIVE_C/KAPTOR/CONFIG.TXT"
}

echo "== start-up: goal <= 1.5 x the trivial program"
hyperfine -N --warmup 20 --runs 200 --export-json "$work/start.json" \
    "$trivial" "$bin/kaptor config show" ${baseline:+"$baseline/bin/kaptor config show"} \
    >/dev/null
python3 - "$work/start.json" <<'PY'
import json, sys
r = json.load(open(sys.argv[1]))["results"]
base = r[0]["mean"]
for x in r:
    print(f'{x["command"]:<60} {x["mean"]*1e3:8.2f} ms  x trivial {x["mean"]/base:5.2f}')
PY

echo "== capture: goal <= 1.01 x sleep of the floor (600 ms + frame bytes / rate)"
for size in 640x496 1024x1534; do
    width=${size%x*} lines=${size#*x}
    config "$width" $((lines / 2))
    head -c $((width * lines)) /dev/urandom >"$work/frame.bin"
    for rate in 1000000 8000000 40000000 100000000; do
        floor=$(python3 -c "print(0.6 + $width * $lines / $rate)")
        # The baseline's kaptor, when given, loads its own simulated board.
        KAPTOR_SIM_RATE=$rate KAPTOR_SIM_REPLAY=$work/frame.bin \
            hyperfine -N --runs "$runs" --export-json "$work/cap.json" \
            "sleep $floor" "$bin/kaptor --sim capture" \
            ${baseline:+"$baseline/bin/kaptor --sim capture"} >/dev/null
        python3 - "$work/cap.json" "$size" "$rate" "$floor" <<'PY'
import json, sys
r = json.load(open(sys.argv[1]))["results"]
floor = float(sys.argv[4])
line = f'{sys.argv[2]:>9} at {float(sys.argv[3]):5.0e} B/s: floor {floor*1e3:6.1f} ms, sleep x{r[0]["mean"]/floor:5.3f}'
for name, x in zip(["capture", "baseline"], r[1:]):
    line += (f' | {name} {x["mean"]*1e3:6.1f} ms x{x["mean"]/floor:5.3f}'
             f' cpu {(x["user"]+x["system"])*1e3:5.1f} ms')
print(line)
PY
    done
done

# The same captures through the driver library over libftdi1, on the emulated USB bus.
(unset KAPTOR_D2XX_LIBRARY KAPTOR_DRIVE_C && bash bench/usb_capture.sh build/main)

echo "== in process"
build/main/bench/kaptor_bench "$@"

echo "== kaptorsrc: the element beside the capture, a 20-buffer pipeline against its floor"
if cmake --build build/main -j2 --target kaptor_gst_bench >/dev/null 2>&1; then
    build/main/bench/kaptor_gst_bench
else
    echo "bench.sh: this build has no GStreamer element (libgstreamer1.0-dev missing)"
fi
