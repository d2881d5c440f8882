#!/usr/bin/env bash
# Pictures of every window a person sees of the control, for a person to look at: the
# configuration dialog, the about box, the property page and the hosted control, taken on a
# virtual X display (Xvfb) and saved as PNG files in build/windows/screenshots/. Skipped, with a
# line saying so, where Xvfb is not installed. With --docs, the pictures the README shows (the
# configuration dialog, the about box and KAPSHOT after a capture, which the kapshot_screenshot
# test saves) are copied into docs/images/.
set -euo pipefail
cd "$(dirname "$0")/.."

if ! command -v Xvfb >/dev/null || ! command -v convert >/dev/null; then
    echo "screenshots: Xvfb or ImageMagick missing; skipped"
    exit 0
fi
build=build/windows
out=$(realpath -m "$build/screenshots")
prefix=$build/wineprefix-x11
rm -rf "$out"
mkdir -p "$out"

display=:$((90 + RANDOM % 100))
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'WINEPREFIX=$(realpath -m "$prefix") /usr/lib/wine/wineserver -k 2>/dev/null || true;
      kill $xvfb 2>/dev/null || true' EXIT
export DISPLAY=$display
sleep 1

bash tests/windows/wine_prefix.sh "$prefix" x11
export KAPTOR_SCREENSHOTS=$out
for test in config_dialog_window_test com_dialogs_test com_hosting_test; do
    bash tests/windows/wine_run.sh "$prefix" "$build/$test.exe" >"$out/$test.log" 2>&1 ||
        echo "screenshots: $test did not pass on the X display (see $out/$test.log)"
done
for picture in "$out"/*.bmp; do
    [ -e "$picture" ] || continue
    convert "$picture" "${picture%.bmp}.png" && rm "$picture"
done
ls "$out"/*.png 2>/dev/null || echo "screenshots: none taken"

if [ "${1:-}" = --docs ]; then
    mkdir -p docs/images
    cp "$out/config_dialog_201.png" "$out/about_box.png" docs/images/
    # KAPSHOT's picture is of the whole screen: the black around Form1 goes.
    if [ -f "$build/kapshot_form1.png" ]; then
        convert "$build/kapshot_form1.png" -trim +repage docs/images/kapshot_form1.png
    else
        echo "screenshots: no $build/kapshot_form1.png (the kapshot_screenshot test saves it)"
    fi
fi
