#!/usr/bin/env bash
# Tries the uninstaller: builds, lays out a fake installation in a scratch Wine prefix
# (install folder "C:\Program Files\tallyhive" with uninstall.exe and uninstall.dat, a
# desktop shortcut, the start-menu folder and shortcuts, the two registry keys) and starts
# uninstall.exe on the user's display ($DISPLAY) or, without one, on a display of its own.
# Afterwards it lists what is left. The prefix is TALLYHIVE_WINEPREFIX or
# build/uninstall-prefix, never the one scripts/run.sh uses.
set -euo pipefail

top=$(cd "$(dirname "$0")/.." && pwd)
build=${TALLYHIVE_BUILD_DIR:-$top/build}

prefix=$("$top/scripts/setup.sh" | tail -n 1)
"$top/scripts/build.sh" "$prefix" "$build" >&2

. "$top/scripts/wine-env.sh"
wine_env "$prefix"
export WINEPREFIX=${TALLYHIVE_WINEPREFIX:-$build/uninstall-prefix}
# A HOME of its own: the prefix's desktop and start menu get no links into the user's
# real folders, so the fake shortcuts stay inside the prefix.
export HOME=$WINEPREFIX-home
mkdir -p "$HOME"

wine_session try-uninstall

. "$top/scripts/fake-install.sh"
fake_install "$build"

echo "try-uninstall: press 卸载 and then 关闭 (or 取消) in the window" >&2
status=0
(cd "$install" && wine uninstall.exe) || status=$?
wineserver -w
echo "try-uninstall: uninstall.exe exited with code $status; left behind:" >&2
for path in "$install" "$desktop/tallyhive.lnk" "$programs/tallyhive" "$programs/tallyhive uninstall.lnk"; do
  [ -e "$path" ] && echo "  $path" >&2
done
wine reg query 'HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\tallyhive' >/dev/null 2>&1 &&
  echo "  HKLM\\...\\Uninstall\\tallyhive" >&2
wine reg query 'HKCU\Software\tallyhive' >/dev/null 2>&1 && echo "  HKCU\\Software\\tallyhive" >&2
exit 0
