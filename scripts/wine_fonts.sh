#!/usr/bin/env bash
# Gives a Wine prefix the Marlett font of Debian's fonts-wine:  wine_fonts.sh PREFIX
# Debian's Wine does not look in its own data folder (/usr/share/wine/fonts) for fonts, only in
# the prefix's C:\windows\Fonts and fontconfig's folders; without Marlett, window frames draw
# their caption buttons as the letters "0", "1" and "r". Only Marlett is copied: the dialog
# fonts stay what the layouts were measured with.
set -euo pipefail
font=/usr/share/wine/fonts/marlett.ttf
if [ -f "$font" ]; then
    mkdir -p "$1/drive_c/windows/Fonts"
    cp "$font" "$1/drive_c/windows/Fonts/"
fi
