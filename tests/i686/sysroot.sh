#!/usr/bin/env bash
# Debian's 32-bit Wine unpacked into a folder of its own, never installed: sysroot.sh FOLDER
# Installed, wine32:i386 would make every `wine` start the 32-bit loader and every 64-bit prefix
# boot its 32-bit half too. Here the i386 packages of wine32 and of everything it needs are
# downloaded and unpacked with dpkg-deb; the packages for all architectures (Wine's data, fonts)
# are the host's. Needs the i386 architecture in dpkg's list (run.sh adds it). Done once: a
# complete folder carries the file .kaptor-ready.
set -euo pipefail
sysroot=$(realpath -m "$1")
[ -f "$sysroot/.kaptor-ready" ] && exit 0
rm -rf "$sysroot" "$sysroot.debs"
mkdir -p "$sysroot" "$sysroot.debs"
echo "i686: unpacking 32-bit Wine into $sysroot"
mapfile -t packages < <(apt-cache depends --recurse --no-recommends --no-suggests --no-conflicts \
    --no-breaks --no-replaces --no-enhances wine32:i386 | grep -E '^[a-z0-9][^ ]*:i386$' | sort -u)
# apt downloads as its own user where it may write; the folder is root's.
(cd "$sysroot.debs" && apt-get download -q "${packages[@]}" >/dev/null 2>&1) ||
    (cd "$sysroot.debs" && apt-get -o APT::Sandbox::User=root download -q "${packages[@]}" >/dev/null)
for deb in "$sysroot.debs"/*.deb; do
    dpkg-deb -x "$deb" "$sysroot"
done
rm -rf "$sysroot.debs"
# What the packages' own scripts would do: Wine's data from the host (package "wine", the same
# version), and zlib1.dll from libz-mingw-w64 marked as a Wine builtin DLL (libwine's postinst).
ln -sfn /usr/share/wine "$sysroot/usr/share/wine"
zlib=/usr/i686-w64-mingw32/lib/zlib1.dll
{
    head -c 64 "$zlib"
    printf 'Wine builtin DLL'
    head -c 16 /dev/zero
    tail -c +97 "$zlib"
} >"$sysroot/usr/lib/i386-linux-gnu/wine/i386-windows/zlib1.dll"
touch "$sysroot/.kaptor-ready"
