#!/usr/bin/env bash
# The run command: installs what is missing, builds the client and starts tallyhive.exe
# under Wine on the user's display ($DISPLAY) or, without one, on a display of its own.
#   run.sh [--no-demo] [-DTALLYHIVE_LINE_HOST=HOST] [-DTALLYHIVE_UPDATE_HOST=HOST]
# By default the client shows a demo of the hosted shop application, served by a
# loopback server of the script's own that it reaches through http_proxy (the update
# check hears of no newer version). --no-demo lets it talk to the hosts it was built
# with; -D settings go to the build's configuration and stay in the build folder.
# The Wine prefix is $WINEPREFIX, or the build folder's own when none is set.
# Exit code: 0 when tallyhive ended normally, 130 when interrupted, 1 otherwise.
set -euo pipefail

top=$(cd "$(dirname "$0")/.." && pwd)
build=${TALLYHIVE_BUILD_DIR:-$top/build}
[[ $build = /* ]] || build=$PWD/$build
. "$top/scripts/usage.sh"

demo=1
configure=()
for arg in "$@"; do
  case "$arg" in
    --no-demo) demo="" ;;
    -D?*=*) configure+=("$arg") ;;
    -h | --help) script_usage; exit 0 ;;
    *) script_unknown run "$arg" ;;
  esac
done

deps=$("$top/scripts/setup.sh" | tail -n 1)
"$top/scripts/build.sh" "$deps" "$build" "${configure[@]}" tallyhive window_poke

. "$top/scripts/wine-env.sh"
wine_env "$deps"
own_prefix=""
if [ -z "${WINEPREFIX:-}" ]; then
  export WINEPREFIX=$build/wineprefix
  own_prefix=1
fi
[[ $WINEPREFIX = /* ]] || WINEPREFIX=$PWD/$WINEPREFIX
wine_poke=$build/tests/scripted/window_poke.exe
wine_session run tallyhive.exe "$own_prefix"

if [ -n "$demo" ]; then
  # The exit trap removes it.
  work=$(mktemp -d /tmp/tallyhive-run.XXXXXX)
  . "$top/scripts/demo/serve.sh"
  demo_serve "$work"
  echo "run: the demo shop answers for every host on 127.0.0.1:$demo_port (--no-demo: the real hosts)" >&2
fi

appdata=$(wine_apart wine cmd /c 'echo %LOCALAPPDATA%' 2>/dev/null | tr -d '\r')
data=$(wine_apart winepath -u "$appdata\\tallyhive" 2>/dev/null)
data=${data/\/dosdevices\/c:\//\/drive_c\/}

report() {
  case "$wine_status" in
    1) echo "run: tallyhive ended normally" >&2 ;;
    # A copy started on the same prefix ends the running one as it starts, with exit code 0.
    0) if wine_prefix_runs tallyhive.exe; then
         echo "run: tallyhive was ended by a newer copy of it started on the same Wine prefix" >&2
       else
         echo "run: tallyhive could not make its main window (exit code 0)" >&2
       fi ;;
    *) echo "run: tallyhive failed with exit code $wine_status" >&2 ;;
  esac
  echo "run: data folder: $data" >&2
  echo "run: log: $data/log.txt (GBK text: iconv -f GBK '$data/log.txt')" >&2
  # The engine writes only warnings and errors (a page's script errors, say).
  [ -s "$data/cef.log" ] && echo "run: the page engine's warnings and errors: $data/cef.log" >&2
  return 0
}
on_interrupted() { [ -n "${wine_status:-}" ] && report; }

echo "run: starting tallyhive.exe; quit it from its close button or its notification-area menu" >&2
wine_start TallyHiveMainFrameWnd 0x10401 "$build/client/tallyhive.exe"
wine_wait
report
[ "$wine_status" = 1 ]
