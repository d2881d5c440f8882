#!/usr/bin/env bash
# kaptorsrc as a person meets it: installed by cmake --install into GStreamer's plugin folder of
# a staging prefix, gst-inspect-1.0 loads it from there (with the installed libkaptor) and lists
# its properties, and the README's first pipeline saves three PNG pictures. A registry of the
# test's own; nothing of the user's is read or written.
# Usage: gst_launch_test.sh BUILD_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
fail() { echo "gst_launch_test: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$stage/usr" >/dev/null
plugin=$(find "$stage/usr" -name libgstkaptor.so)
[ -n "$plugin" ] || fail "the plugin is not installed"
pluginsdir=$(pkg-config --variable=pluginsdir gstreamer-1.0)
[ "$plugin" = "$stage$pluginsdir/libgstkaptor.so" ] || fail "installed as $plugin"

export GST_REGISTRY_1_0=$stage/registry.bin GST_PLUGIN_PATH_1_0=${plugin%/*}
export KAPTOR_DRIVE_C=$stage/drive_c KAPTOR_SIM_RATE=100000000
unset KAPTOR_D2XX_LIBRARY KAPTOR_SIM_FAULTS KAPTOR_SIM_REPLAY KAPTOR_SIM_SCENE

inspect=$(gst-inspect-1.0 kaptorsrc) || fail "gst-inspect-1.0 kaptorsrc failed"
for property in simulated device drive-c config library location num-buffers; do
    grep -q "^  $property  *:" <<<"$inspect" || fail "gst-inspect-1.0 lists no $property"
done
grep -q "libkaptor.so.1 => $stage" < <(ldd "$plugin") || fail "the plugin does not find the installed libkaptor"

"$stage/usr/bin/kaptor" config init >/dev/null
cd "$stage"
gst-launch-1.0 -q kaptorsrc simulated=true num-buffers=3 ! pngenc ! \
    multifilesink location=f%02d.png >/dev/null || fail "the PNG pipeline failed"
for n in 00 01 02; do
    [ "$(head -c 4 "f$n.png" | tail -c 3)" = PNG ] || fail "f$n.png is not a PNG picture"
done
[ ! -e f03.png ] || fail "more than three pictures"
echo "gst_launch_test: ok"
