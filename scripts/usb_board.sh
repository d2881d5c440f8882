#!/usr/bin/env bash
# Runs a command with simulated boards attached to an emulated USB bus (umockdev), as if they were
# plugged in: kaptor without --sim then captures from them through its own driver library.
#   usb_board.sh [--boards N] [--serial SERIAL]... [--scene FILE]... [--product TEXT] -- COMMAND...
# N boards (default 1; at least one per --serial), serials as given, else KPT00001, KPT00002, ...;
# --scene gives the boards their scenes in turn, --product another USB product string. The
# KAPTOR_SIM_* variables (scene, replay, rate, buffer, faults, trace) set up every board as they
# set up the D2XX simulator (no-device: no board at all; the buffer is the chip's FIFO here; the
# faults of the D2XX calls themselves, queue-status-fails and read-status, have no USB
# counterpart). KAPTOR_BUILD names the build (default build/main).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${KAPTOR_BUILD:-$root/build/main}
tool=$build/bin/kaptor-usb-board
if [ ! -x "$tool" ]; then
    echo "usb_board.sh: $tool is missing: bash scripts/build.sh main" >&2
    exit 2
fi
exec "$tool" "$@"
