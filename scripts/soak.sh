#!/usr/bin/env bash
#   soak.sh [-h | --help]
# The soak run (the test suite runs it for seconds only): starts the real tallyhive.exe
# under Wine on a display of its own, with a page from a loopback server that calls
# ResizeWindow, SetThemeColor, WindowFlash and PlayMp3 in a loop, for
# TALLYHIVE_SOAK_SECONDS (default 600) after a warm-up of TALLYHIVE_SOAK_WARMUP seconds
# (default 60). Fails when the client's GDI objects, user objects, handles, threads or
# private bytes are not back within a small bound of their value after the warm-up, or
# when its log holds a line of level ERROR or FATAL. Build first (scripts/build.sh).
# Exit code 0 when the run held (the driver's verdict), 130 when interrupted, 1 otherwise.
set -euo pipefail

top=$(cd "$(dirname "$0")/.." && pwd)
. "$top/scripts/usage.sh"
script_no_arguments soak.sh "$@"
build=${TALLYHIVE_BUILD_DIR:-$top/build}
[[ $build = /* ]] || build=$PWD/$build
seconds=${TALLYHIVE_SOAK_SECONDS:-600}
warmup=${TALLYHIVE_SOAK_WARMUP:-60}

prefix=$("$top/scripts/setup.sh" | tail -n 1)
driver=$build/tests/scripted/soak_client.exe
prompt=$build/tests/client/mp3-fixtures/short.mp3
wine_poke=$build/tests/scripted/window_poke.exe
for f in "$driver" "$prompt" "$wine_poke"; do
  [ -f "$f" ] || { echo "soak.sh: $f is not built" >&2; exit 1; }
done

. "$top/scripts/wine-env.sh"
wine_scratch soak "$prefix"
# The prompts play into nothing: ten minutes of sound would fill a capture file.
cat >"$HOME/.asoundrc" <<'ASOUND'
pcm.!default { type file slave.pcm "null" file "/dev/null" format "raw" }
ASOUND

echo "soak.sh: ${warmup} s of warm-up, then ${seconds} s" >&2
# The driver's report shows as it comes and is kept for its verdict.
wine_start TallyHiveMainFrameWnd 0x10401 "$driver" "$seconds" "Z:${prompt//\//\\}" "$warmup" >"$work/driver.out"
tail -f --pid="$wine_program_pid" "$work/driver.out" &
report=$!
wine_background_pids+=("$report")
wine_wait
wait "$report" || true
status=$wine_status
tr -d '\r' <"$work/driver.out" | grep -qx 'soak: verdict: held' || status=1
wineserver -w

# The run causes no failure on purpose, so any ERROR or FATAL line is a fault.
log=$(find "$WINEPREFIX/drive_c/users" -path '*/tallyhive/log.txt' 2>/dev/null | head -n 1)
if [ -z "$log" ]; then
  echo "soak.sh: the client wrote no log" >&2
  status=1
else
  echo "soak.sh: log.txt has $(wc -l <"$log") lines, by level:" $(awk '{ print $2 }' "$log" | sort | uniq -c)
  if grep -a -E '^[0-9]{2}:[0-9]{2}:[0-9]{2} (ERROR|FATAL) ' "$log" >&2; then
    echo "soak.sh: the log holds the ERROR lines above" >&2
    status=1
  fi
fi
if [ "$status" = 0 ]; then
  echo "soak.sh: the run held"
else
  [ -n "$log" ] && { echo "soak.sh: the log ends with:"; tail -n 8 "$log"; } >&2
  echo "soak.sh: the run failed" >&2
fi
exit "$status"
