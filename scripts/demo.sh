#!/usr/bin/env bash
# Sets everything up and runs the main job: the sample configuration is laid down and one
# picture is captured from the simulated board into a BMP file.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh native
bash scripts/build.sh main >/dev/null
kaptor=build/main/bin/kaptor

"$kaptor" config init
picture=$("$kaptor" --sim capture)
echo
echo "Captured one picture from the simulated board: $picture"
echo "Look at it with a picture viewer. ImageMagick complains about the 5000 bytes the control"
echo "keeps after the rows; for it, capture to PNG: $kaptor --sim capture -o picture.png"
