#!/usr/bin/env bash
# Installs a built tree into a staging folder and runs the Python module's tests against the
# installed package, libkaptor and simulated board, as a user's program would see them.
# Usage: run_staged.sh BUILD_DIR [PYTEST ARGUMENTS...]
set -euo pipefail
build=$(cd "$1" && pwd)
shift
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
cmake --install "$build" --prefix "$stage/usr" >/dev/null
unset KAPTOR_D2XX_LIBRARY KAPTOR_SIM_FAULTS KAPTOR_SIM_REPLAY
# The installed package; the installed kaptor to compare with; the simulator's test-only
# variants from the build.
export PYTHONPATH=$stage/usr/lib/python3/dist-packages
export KAPTOR_BIN_DIR=$stage/usr/bin KAPTOR_TEST_LIB_DIR=$build/lib
cd "$(dirname "$0")"
/usr/bin/python3 -m pytest -q -p no:cacheprovider "$@" .
