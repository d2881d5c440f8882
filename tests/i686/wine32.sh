#!/usr/bin/env bash
# 32-bit Wine from the folder sysroot.sh made (KAPTOR_I686_SYSROOT): wine32.sh ARGUMENTS...
# as `wine ARGUMENTS...`; wine_run.sh and wine_prefix.sh take it as KAPTOR_WINE. The 32-bit
# processes find their libraries in the folder; the server is the host's 64-bit wineserver,
# which serves a 32-bit prefix too and runs at full speed even when the clients are emulated.
set -euo pipefail
sysroot=${KAPTOR_I686_SYSROOT:?KAPTOR_I686_SYSROOT names the folder of sysroot.sh}
export LD_LIBRARY_PATH=$sysroot/usr/lib/i386-linux-gnu:$sysroot/lib/i386-linux-gnu
export WINESERVER=/usr/lib/wine/wineserver64
export WINEARCH=win32
# Under qemu-i386 (binfmt_misc): the libraries of the folder, and the whole 4 GiB address space
# reserved up front, where Wine maps its shared user data.
export QEMU_LD_PREFIX=$sysroot
export QEMU_RESERVED_VA=0xffff0000
exec "$sysroot/usr/lib/wine/wine" "$@"
