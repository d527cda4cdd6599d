#!/bin/bash
# Makes the demo installation set from demo/ in a Wine prefix: C:\demo\set
# (setup.exe, VARNUINS.EXE, SETUP.DAT, LICENSE.TXT, insfiles.vsa packed from
# demo/payload) and C:\demo\bin (the end-to-end driver and the log tool).
# Usage: demo-set.sh BUILD_DIR   (a Windows build; WINEPREFIX set, prefix ready)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$(cd "$1" && pwd)"
drive="$WINEPREFIX/drive_c"
rm -rf "$drive/demo"
mkdir -p "$drive/demo/set" "$drive/demo/bin"
cp "$build/tests/e2e/e2edriver.exe" "$build/uninstlog.exe" "$build/vsapack.exe" "$drive/demo/bin/"
cp "$build/setup.exe" "$drive/demo/set/setup.exe"
cp "$build/VARNUINS.EXE" "$drive/demo/set/VARNUINS.EXE"
cp "$root/demo/SETUP.DAT" "$root/demo/LICENSE.TXT" "$drive/demo/set/"
cp -r "$root/demo/payload" "$drive/demo/payload"
(cd "$drive" && "$root/scripts/wine-run.sh" 'C:\demo\bin\vsapack.exe' create 'C:\demo\set\insfiles.vsa' 'C:\demo\payload')
# Windows opens .TXT files with Notepad; a fresh Wine prefix lacks the
# extension key, so the readme could not be opened after Finish.
(cd "$drive" && "$root/scripts/wine-run.sh" reg add 'HKCR\.txt' /ve /d txtfile /f >/dev/null 2>&1) || true
