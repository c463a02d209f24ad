#!/usr/bin/env bash
# The run command: installs what is missing, builds, and starts tallyhive.exe under
# Wine on the user's display ($DISPLAY) or, without one, on a display of its own.
# The Wine prefix lives in the build folder; the data folder and log are printed.
set -euo pipefail

top=$(cd "$(dirname "$0")/.." && pwd)
build=${TALLYHIVE_BUILD_DIR:-$top/build}

prefix=$("$top/scripts/setup.sh" | tail -n 1)
"$top/scripts/build.sh" "$prefix" "$build" >&2

. "$top/scripts/wine-env.sh"
wine_env "$prefix"
export WINEPREFIX=${TALLYHIVE_WINEPREFIX:-$build/wineprefix}

wine_session run

status=0
wine "$build/client/tallyhive.exe" "$@" || status=$?
wineserver -w

appdata=$(wine cmd /c 'echo %LOCALAPPDATA%' 2>/dev/null | tr -d '\r')
data=$(winepath -u "$appdata\\tallyhive" 2>/dev/null)
echo "run: tallyhive.exe exited with code $status" >&2
echo "run: data folder: $data" >&2
echo "run: log: $data/log.txt (engine log: $data/cef.log)" >&2
