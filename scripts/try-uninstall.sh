#!/usr/bin/env bash
#   try-uninstall.sh [-h | --help]
# Tries the uninstaller: builds it, lays out a fake installation in a Wine prefix
# (install folder "C:\Program Files\tallyhive" with uninstall.exe and uninstall.dat, a
# desktop shortcut, the start-menu folder and shortcuts, the two registry keys) and starts
# uninstall.exe on the user's display ($DISPLAY) or, without one, on a display of its own.
# Afterwards it lists what is left. The prefix is $WINEPREFIX or, when none is set,
# build/uninstall-prefix, never the one scripts/run.sh makes.
# Exit code: 0 when the uninstaller ran to its end, 130 when interrupted.
set -euo pipefail

top=$(cd "$(dirname "$0")/.." && pwd)
. "$top/scripts/usage.sh"
script_no_arguments try-uninstall "$@"
build=${TALLYHIVE_BUILD_DIR:-$top/build}
[[ $build = /* ]] || build=$PWD/$build

deps=$("$top/scripts/setup.sh" | tail -n 1)
"$top/scripts/build.sh" "$deps" "$build" uninstall window_poke

. "$top/scripts/wine-env.sh"
wine_env "$deps"
own_prefix=""
if [ -z "${WINEPREFIX:-}" ]; then
  export WINEPREFIX=$build/uninstall-prefix
  own_prefix=1
  # A HOME of its own: the prefix's desktop and start menu get no links into the user's
  # real folders, so the fake shortcuts stay inside the prefix.
  export HOME=$WINEPREFIX-home
  mkdir -p "$HOME"
fi
[[ $WINEPREFIX = /* ]] || WINEPREFIX=$PWD/$WINEPREFIX
wine_poke=$build/tests/scripted/window_poke.exe
wine_session try-uninstall uninstall.exe "$own_prefix"

. "$top/scripts/fake-install.sh"
fake_install "$build"

echo "try-uninstall: press 卸载 and then 关闭 (or 取消) in the window" >&2
cd "$install"
wine_start UnInstall "" uninstall.exe
wine_wait
# The install folder goes last, by a command interpreter that outlives the uninstaller.
timeout 60 wineserver -w || true
left=()
for path in "$install" "$desktop/tallyhive.lnk" "$programs/tallyhive" "$programs/tallyhive uninstall.lnk"; do
  [ -e "$path" ] && left+=("$path")
done
wine_apart wine reg query 'HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\tallyhive' >/dev/null 2>&1 &&
  left+=("HKLM\\...\\Uninstall\\tallyhive")
wine_apart wine reg query 'HKCU\Software\tallyhive' >/dev/null 2>&1 && left+=("HKCU\\Software\\tallyhive")
echo "try-uninstall: uninstall.exe exited with code $wine_status" >&2
if [ ${#left[@]} = 0 ]; then
  echo "try-uninstall: nothing was left behind" >&2
else
  echo "try-uninstall: left behind:" >&2
  printf '  %s\n' "${left[@]}" >&2
fi
