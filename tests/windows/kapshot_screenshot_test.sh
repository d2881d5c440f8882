#!/usr/bin/env bash
# scripts/kapshot.sh as a person uses it, on a virtual screen (Xvfb): KAPSHOT starts in the
# script's own prefix, "Adquiere" is clicked from outside (xdotool), the picture is written and
# Form1 is saved as BUILD/kapshot_form1.png for a person to look at; Alt+F4 ends it with 0.
#   kapshot_screenshot_test.sh SOURCE BUILD
# Exits 77 (skipped) without Xvfb, xdotool or ImageMagick's import.
set -uo pipefail
source=$(realpath "$1")
build=$(realpath "$2")
for tool in Xvfb xdotool import; do
    command -v "$tool" >/dev/null || { echo "no $tool: skipped"; exit 77; }
done
export KAPSHOT_WINEPREFIX=$build/kapshot-wineprefix
export WINEPREFIX=$KAPSHOT_WINEPREFIX WINEDEBUG=-all
picture=$KAPSHOT_WINEPREFIX/drive_c/KAPTOR/Imagen1.BMP
shot=$build/kapshot_form1.png
work=$(mktemp -d /tmp/kapshot-shot-XXXXXX)
xvfb_pid=""
kapshot_pid=""
finish() {
    [ -n "$kapshot_pid" ] && kill "$kapshot_pid" 2>/dev/null
    timeout 20 /usr/lib/wine/wineserver -k 2>/dev/null
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
    rm -rf "$work"
}
trap finish EXIT
fail() { echo "FAIL: $*"; exit 1; }

timeout 600 bash "$source/scripts/kapshot.sh" --prepare >"$work/prepare.log" 2>&1 ||
    { cat "$work/prepare.log"; fail "kapshot.sh --prepare"; }
# No window manager here: Wine draws the frames itself and closes windows without waiting.
source "$(dirname "$0")/wine_run.sh"
for value in Managed Decorated; do
    KAPTOR_WINE_TIMEOUT=60 wine_run "$WINEPREFIX" reg add 'HKCU\Software\Wine\X11 Driver' \
        /v "$value" /d N /f </dev/null >/dev/null 2>&1
done
# The prefix's server started without a screen; the next one starts with it.
timeout 60 /usr/lib/wine/wineserver -k
rm -f "$picture"

Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
xvfb_pid=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(cat "$work/display")"

timeout 300 bash "$source/scripts/kapshot.sh" >"$work/kapshot.log" 2>&1 &
kapshot_pid=$!
window=""
for _ in $(seq 300); do
    window=$(xdotool search --name '^Form1$' 2>/dev/null | head -n 1)
    [ -n "$window" ] && break
    sleep 0.2
done
[ -n "$window" ] || { cat "$work/kapshot.log"; fail "no window Form1"; }
sleep 1

# "Adquiere" lies at 720, 0 twips, 1095 x 375 (at 96 pixels per inch: 48, 0, 73 x 25) in the
# 770 x 640 client area; Wine's own frame is as wide on the left as on the right.
eval "$(xdotool getwindowgeometry --shell "$window")"
border=$(((WIDTH - 770) / 2))
caption=$((HEIGHT - 640 - border))
xdotool mousemove --window "$window" $((border + 84)) $((caption + 12)) click 1
for _ in $(seq 100); do [ -s "$picture" ] && break; sleep 0.1; done
[ -s "$picture" ] || { cat "$work/kapshot.log"; fail "Adquiere wrote no picture"; }
sleep 2
import -display "$DISPLAY" -window root "$shot" || fail "no screenshot"
echo "screenshot: $shot"

xdotool key --window "$window" alt+F4
wait "$kapshot_pid"
status=$?
kapshot_pid=""
[ "$status" -eq 0 ] || { cat "$work/kapshot.log"; fail "KAPSHOT ended with $status"; }
echo "PASS"
