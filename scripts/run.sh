#!/usr/bin/env bash
# The run command: installs what is missing, builds, and starts tallyhive.exe under
# Wine on the user's display ($DISPLAY) or, without one, on a display of its own.
# The Wine prefix lives in the build folder; the data folder and log are printed.
set -euo pipefail

top=$(cd "$(dirname "$0")/.." && pwd)
build=${TALLYHIVE_BUILD_DIR:-$top/build}

prefix=$("$top/scripts/setup.sh" | tail -n 1)
"$top/scripts/build.sh" "$prefix" "$build" >&2

export WINEARCH=win32 WINEPREFIX=${TALLYHIVE_WINEPREFIX:-$build/wineprefix} WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
# The users run Chinese Windows: code page 936.
export LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8

xvfb_pid=""
cleanup() {
  set +e
  wineserver -k >/dev/null 2>&1
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
}
trap cleanup EXIT

if [ -z "${DISPLAY:-}" ]; then
  display=90
  while :; do
    while [ -e "/tmp/.X${display}-lock" ] || [ -e "/tmp/.X11-unix/X${display}" ]; do display=$((display + 1)); done
    Xvfb ":$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 50); do
      { [ -e "/tmp/.X11-unix/X${display}" ] || ! kill -0 "$xvfb_pid" 2>/dev/null; } && break
      sleep 0.1
    done
    kill -0 "$xvfb_pid" 2>/dev/null && break
    xvfb_pid=""
    display=$((display + 1))
  done
  export DISPLAY=":$display"
  echo "run: no DISPLAY set, using Xvfb on $DISPLAY" >&2
fi

if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "run: creating the Wine prefix $WINEPREFIX (once)" >&2
  wineboot -i >/dev/null 2>&1
  wineserver -w
fi

status=0
wine "$build/client/tallyhive.exe" "$@" || status=$?
wineserver -w

appdata=$(wine cmd /c 'echo %LOCALAPPDATA%' 2>/dev/null | tr -d '\r')
data=$(winepath -u "$appdata\\tallyhive" 2>/dev/null)
echo "run: tallyhive.exe exited with code $status" >&2
echo "run: data folder: $data" >&2
echo "run: log: $data/log.txt (engine log: $data/cef.log)" >&2
