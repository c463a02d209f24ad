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

c=$WINEPREFIX/drive_c
install="$c/Program Files/tallyhive"
desktop=$(winepath -u "$(wine cmd /c 'echo %USERPROFILE%\Desktop' 2>/dev/null | tr -d '\r')")
programs="$c/ProgramData/Microsoft/Windows/Start Menu/Programs"
mkdir -p "$install/data" "$install/.dotdir" "$desktop" "$programs/tallyhive"
cp "$build/uninstall/uninstall.exe" "$install/"
cp "$build/client/tallyhive.exe" "$install/" 2>/dev/null || true
touch "$install/data/readme.txt" "$install/.keep" "$desktop/tallyhive.lnk" \
  "$programs/tallyhive/tallyhive.lnk" "$programs/tallyhive uninstall.lnk"
printf '[uninstall]\r\ninstall_reg_name=tallyhive\r\ninstall_path=C:\\Program Files\\tallyhive\r\nuninstall_name=tallyhive uninstall\r\ninstall_exe_name=tallyhive.exe\r\n' \
  >"$install/uninstall.dat"
wine reg add 'HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\tallyhive' /v DisplayName /d tallyhive /f >/dev/null 2>&1
wine reg add 'HKCU\Software\tallyhive' /f >/dev/null 2>&1

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
