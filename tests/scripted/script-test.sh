#!/usr/bin/env bash
# The user's scripts, run as a user runs them: script-test.sh CASE BUILD_DIR DEPS_PREFIX
#   run_quit        run.sh with no arguments shows the demo shop's page; the client's quit
#                   command ends it normally, with its settings written
#   run_interrupt   Ctrl-C in run.sh's terminal asks the client to end, which it does
#                   normally, with its settings written; the script ends everything it
#                   started and exits with status 130
#   soak_held       a short soak holds: 6 s after 3 s of warm-up, long enough for the
#                   page's reload and each of its calls many times over; what this shows
#                   is the script's verdict (the long soak is what finds slow leaks)
#   soak_interrupt  the same soak, interrupted part-way by Ctrl-C in its terminal, fails
#   x_root          x-root.sh finds the client's main window, settings window and exit
#                   confirmation on a bare X screen, with the front one's shadow as a rim
#   screenshot_crop screenshot.sh cuts the frame test's window whole, with a margin of the
#                   desktop round it
#   prefix_boot_interrupt, prefix_copy_interrupt
#                   Ctrl-C in run.sh's terminal while it makes its Wine prefix, booting one
#                   (no cached prefix: an empty cache folder) or copying the one test.sh
#                   booted: the script says so and exits 130; the next run goes on and
#                   shows the demo shop, and its prefix is whole: the Wine user's folders
#                   its own, its windows kept from a window manager, nothing else beside it
#   help_words      --help and -h of try-uninstall.sh, soak.sh and repeat-tests.sh print
#                   the usage and exit 0, an unknown argument is named before it (exit 2),
#                   and screenshot.sh without arguments prints its usage (exit 2)
#   run_start_interrupt
#                   run.sh with a relative build folder and prefix, interrupted by Ctrl-C
#                   as soon as it says it starts the client: the client still ends
#                   through its quit, with its settings written; the next run shows the
#                   page as usual
#   run_two_copies  a second run.sh on the same prefix, in a terminal of its own, on a
#                   display where a window manager runs that does not announce itself:
#                   the first says that a newer copy ended its client, the second's
#                   client lives, is managed and quits normally
#   run_bad_settings
#                   run.sh with a wrong argument names it; run.sh and try-uninstall.sh
#                   on a display with no server behind it say so and end
# The script starts in a session of its own (the interrupted ones on a terminal of their
# own), with no display (it makes its own) and a mark in its environment by which
# anything it leaves running is found.
set -euo pipefail

case=$1 build=$2 deps=$3
top=$(cd "$(dirname "$0")/../.." && pwd)
tmp=$(mktemp -d /tmp/tallyhive-script-test.XXXXXX)
mark=TALLYHIVE_SCRIPT_TEST=$$.$RANDOM
. "$top/scripts/wine-env.sh"
wine_env "$deps"
unset DISPLAY
export WINEPREFIX=$tmp/prefix TALLYHIVE_BUILD_DIR=$build

marked() { grep -lxz "$mark" /proc/[0-9]*/environ 2>/dev/null | cut -d/ -f3 || true; }
cleanup() {
  set +e
  local left
  left=$(marked)
  [ -n "$left" ] && kill -9 $left 2>/dev/null
  wineserver -k >/dev/null 2>&1
  [ -n "${wm_pid:-}" ] && kill "$wm_pid" 2>/dev/null
  [ -n "${xvfb_pid:-}" ] && kill "$xvfb_pid" 2>/dev/null
  rm -rf "$tmp"
}
trap cleanup EXIT

fail() {
  echo "FAIL: $*"
  echo "--- the script's output:"
  cat "$tmp"/out* "$tmp/err"
  exit 1
}

# start SCRIPT [ARGS...]: in a session of its own, whose id is the script's pid, and with
# Ctrl-C heard as from a terminal (a command put in the background ignores it).
start() {
  env "$mark" python3 -c 'import os, signal, sys
signal.signal(signal.SIGINT, signal.SIG_DFL)
os.setsid()
os.execv(sys.argv[1], sys.argv[1:])' "$@" >"$tmp/out" 2>"$tmp/err" &
  pid=$!
}

ended() { ! wine_running "$pid"; }

# finish TENTHS: the script's exit status, once it has ended.
finish() {
  wine_until "$1" ended || fail "the script did not end"
  status=0
  wait "$pid" || status=$?
}

# start_in_terminal SCRIPT [ARGS...]: as a user starts it from a shell in a terminal, the
# terminal's foreground job; what the terminal shows goes to $tmp/out. interrupt types
# Ctrl-C there.
start_in_terminal() {
  : >"$tmp/out"
  : >"$tmp/err"
  env "$mark" python3 "$top/tests/scripted/terminal.py" "$tmp/out" "$@" &
  pid=$!
}

interrupt() { kill -USR1 "$pid"; }

# The script's work folder, named in the command lines of what it runs.
work_folder() {
  local p
  for p in $(marked); do tr '\0' '\n' <"/proc/$p/cmdline" 2>/dev/null; done |
    grep -m 1 -o -E '^/tmp/tallyhive-(run|soak)\.[^/]+' || true
}

# The demo shop's blue head band, inside the client's main window on the script's display
# (or on DISPLAY, when given).
page_shown() {
  local display id
  display=${1:-$(sed -n 's/.*using Xvfb on \(:[0-9]*\).*/\1/p' "$tmp/out" "$tmp/err")}
  [ -n "$display" ] || return 1
  id=$(xwininfo -root -tree -display "$display" 2>/dev/null | grep -a ' 1200x770+' | awk '{ print $1; exit }')
  [ -n "$id" ] && [ "$(xwd -id "$id" -display "$display" 2>/dev/null |
    convert xwd:- -format '%[hex:p{600,44}]' info: 2>/dev/null)" = 279AC6 ]
}

# What the script killed on its way out may take a moment to go.
nothing_left() {
  local left
  wine_until 50 eval '[ -z "$(marked)" ]' && return 0
  left=$(marked)
  fail "left running: $(ps -o pid=,args= -p "${left//$'\n'/,}")"
}

# The demo's main window is asked to quit, as its menu's 退出 does.
quit_client() {
  DISPLAY=$(sed -n 's/.*using Xvfb on \(:[0-9]*\).*/\1/p' "$tmp/out" "$tmp/err") \
    wine "$build/tests/scripted/window_poke.exe" TallyHiveMainFrameWnd post 0x111 0x10401 0 ||
    fail "no main window to send the quit command to"
}

# Making the prefix has begun: for a boot, once Wine has made the user's folders (links
# into HOME until the making is done); for a copy, once the copy has a folder.
making() {
  if [ "$1" = boot ]; then
    [ -n "$(find "$tmp" -path '*/drive_c/users' -print -quit 2>/dev/null)" ]
  else
    compgen -G "$WINEPREFIX*" >/dev/null
  fi
}

prefix_interrupted() {
  if [ "$1" = boot ]; then
    export XDG_CACHE_HOME=$tmp/cache
    mkdir "$XDG_CACHE_HOME"
  else
    [ -f "${TALLYHIVE_TEST_TEMPLATE:-}/system.reg" ] || fail "no prefix booted by test.sh to copy"
    XDG_CACHE_HOME=$(dirname "$(dirname "$TALLYHIVE_TEST_TEMPLATE")")
    export XDG_CACHE_HOME
  fi
  start_in_terminal "$top/scripts/run.sh"
  wine_until 3000 making "$1" || fail "run.sh did not begin to make its prefix"
  interrupt
  finish 1200
  [ "$status" = 130 ] || fail "exit status $status"
  grep -qxE '(\^C)?run: interrupted' "$tmp/out" || fail "no line saying the run was interrupted"
  start_in_terminal "$top/scripts/run.sh"
  wine_until 2400 page_shown || fail "the next run did not show the demo shop's page"
  quit_client
  finish 1200
  [ "$status" = 0 ] || fail "the next run's exit status $status"
  local links beside
  links=$(find "$WINEPREFIX/drive_c/users" -type l -printf '  %p -> %l\n' 2>/dev/null)
  [ -d "$WINEPREFIX/drive_c/users" ] && [ -z "$links" ] || fail "the Wine user's folders are not the prefix's own:
$links"
  grep -F -A3 '[Software\\Wine\\X11 Driver]' "$WINEPREFIX/user.reg" | grep -qx '"Managed"="N"' ||
    fail "the prefix does not keep windows from a window manager (no Managed=N)"
  beside=$(compgen -G "$WINEPREFIX?*" || true)
  [ -z "$beside" ] || fail "left beside the prefix: $beside"
}

help_words() {
  local row script want args usage
  # The script, its exit status, its arguments.
  for row in "screenshot.sh 2" "try-uninstall.sh 0 --help" "try-uninstall.sh 0 -h" "try-uninstall.sh 2 --bogus" \
    "soak.sh 0 --help" "soak.sh 0 -h" "soak.sh 2 --bogus" "repeat-tests.sh 0 --help" "repeat-tests.sh 0 -h" \
    "repeat-tests.sh 2 --bogus" "repeat-tests.sh 2 --runs 2 --rnus"; do
    read -r script want args <<<"$row"
    # shellcheck disable=SC2086  # separate arguments
    start "$top/scripts/$script" $args
    finish 600
    [ "$status" = "$want" ] || fail "$script $args: exit status $status, not $want"
    # The usage, on standard output when asked for.
    usage=$tmp/err
    [ "$want" = 0 ] && usage=$tmp/out
    grep -qE "^  (scripts/)?$script( |\$)" "$usage" || fail "$script $args: no usage"
    [ -z "$args" ] || [ "$want" = 0 ] || head -n 1 "$tmp/err" | grep -qF "'${args##* }'" ||
      fail "$script $args: the first line does not name '${args##* }'"
  done
}

# Makes the prefix with a config.ini whose index lies outside the line list, which the
# client replaces with the one in use when it ends normally; sets local_data.
new_prefix_with_settings() {
  wine_new_prefix "$WINEPREFIX"
  local_data=$(echo "$WINEPREFIX"/drive_c/users/*/AppData/Local)/tallyhive
  mkdir -p "$local_data"
  printf '[LINES]\r\nSELECT_INDEX=-1\r\n' >"$local_data/config.ini"
}

# ended_through_quit OUT: what run.sh showed in OUT says the client ended through its own
# quit and wrote its settings; nothing was killed, so neither the script nor bash says so.
ended_through_quit() {
  grep -qx 'run: tallyhive ended normally' "$1" || fail "no line saying the client ended normally"
  ! grep -q 'ending it' "$1" || fail "the client was killed"
  ! grep -qE '(line [0-9]+|第 [0-9]+ 行)' "$1" || fail "bash reported a job that was killed"
  grep -qxE $'SELECT_INDEX=0\r?' "$local_data/config.ini" || fail "config.ini was not written by the client: $(cat "$local_data/config.ini")"
}

# The client's main window on DISPLAY is one a window manager manages: it has WM_STATE.
managed() {
  local id
  id=$(xwininfo -root -tree -display "$1" 2>/dev/null | grep -a ' 1200x770+' | awk '{ print $1; exit }')
  [ -n "$id" ] && xprop -display "$1" -id "$id" WM_STATE 2>/dev/null | grep -q 'window state'
}

run_start_interrupt() {
  local relative
  new_prefix_with_settings
  # Both folders relative, as typed in the folder that holds the build folder.
  cd "$(dirname "$build")"
  relative=(env WINEPREFIX="$(realpath --relative-to=. "$WINEPREFIX")" TALLYHIVE_BUILD_DIR="${build##*/}")
  start_in_terminal "${relative[@]}" "$top/scripts/run.sh"
  wine_until 2400 eval 'grep -q "^run: starting tallyhive.exe" "$tmp/out" || ended'
  grep -q '^run: starting tallyhive.exe' "$tmp/out" || fail "run.sh did not start the client"
  interrupt
  finish 1200
  [ "$status" = 130 ] || fail "exit status $status"
  ended_through_quit "$tmp/out"
  # The next run goes on as usual.
  printf '[LINES]\r\nSELECT_INDEX=-1\r\n' >"$local_data/config.ini"
  start_in_terminal "${relative[@]}" "$top/scripts/run.sh"
  wine_until 2400 page_shown || fail "the next run did not show the demo shop's page"
  interrupt
  finish 1200
  [ "$status" = 130 ] || fail "the next run's exit status is $status"
  ended_through_quit "$tmp/out"
}

run_two_copies() {
  local first second
  new_prefix_with_settings
  . "$top/scripts/xvfb.sh"
  start_xvfb "$tmp/xvfb.log"
  wine_until 300 eval 'xdpyinfo >/dev/null 2>&1' || fail "the test's display does not answer: $(cat "$tmp/xvfb.log")"
  # Left to itself twm has the user place each new window by hand.
  printf 'RandomPlacement\n' >"$tmp/twmrc"
  LC_ALL=C setsid twm -f "$tmp/twmrc" </dev/null >"$tmp/twm.log" 2>&1 &
  wm_pid=$!
  wine_until 300 eval 'xwininfo -root -events | grep -q SubstructureRedirect' || fail "twm did not start: $(cat "$tmp/twm.log" "$tmp/xvfb.log")"
  start_in_terminal "$top/scripts/run.sh"
  first=$pid
  wine_until 2400 page_shown "$DISPLAY" || fail "the first client did not show the demo shop's page"
  env "$mark" python3 "$top/tests/scripted/terminal.py" "$tmp/out2" "$top/scripts/run.sh" &
  second=$!
  # The second client ends the first as it starts.
  finish 2400
  [ "$status" = 1 ] || fail "the first run's exit status is $status"
  grep -qx 'run: tallyhive was ended by a newer copy of it started on the same Wine prefix' "$tmp/out" ||
    fail "the first run does not say that a newer copy ended its client"
  ! grep -q 'could not make its main window' "$tmp/out" || fail "the first run names the wrong cause"
  pid=$second
  wine_until 2400 page_shown "$DISPLAY" || fail "the second client did not show the demo shop's page"
  wine_until 300 managed "$DISPLAY" || fail "twm does not manage the client's main window"
  wine "$build/tests/scripted/window_poke.exe" TallyHiveMainFrameWnd post 0x111 0x10401 0 ||
    fail "no main window of the second client to send the quit command to"
  finish 1200
  [ "$status" = 0 ] || fail "the second run's exit status is $status"
  ended_through_quit "$tmp/out2"
}

run_bad_settings() {
  local display=55 script
  start "$top/scripts/run.sh" --no-such-thing
  finish 600
  [ "$status" = 2 ] || fail "exit status $status for a wrong argument"
  head -n 1 "$tmp/err" | grep -q -- "'--no-such-thing'" || fail "the wrong argument is not named first"
  grep -q -- '--no-demo' "$tmp/err" || fail "no usage after the wrong argument"
  while [ -e "/tmp/.X$display-lock" ] || [ -e "/tmp/.X11-unix/X$display" ]; do display=$((display + 1)); done
  export DISPLAY=:$display
  for script in run.sh try-uninstall.sh; do
    start "$top/scripts/$script"
    finish 1200
    [ "$status" = 1 ] || fail "$script: exit status $status"
    grep -q "cannot open display :$display" "$tmp/err" || fail "$script does not say that the display cannot be opened"
  done
  unset DISPLAY
}

case "$case" in
  prefix_boot_interrupt) prefix_interrupted boot ;;
  prefix_copy_interrupt) prefix_interrupted copy ;;
  help_words) help_words ;;
  run_quit | run_interrupt)
    new_prefix_with_settings
    if [ "$case" = run_quit ]; then start "$top/scripts/run.sh"; else start_in_terminal "$top/scripts/run.sh"; fi
    wine_until 2400 page_shown || fail "the client did not show the demo shop's page"
    work=$(work_folder)
    if [ "$case" = run_quit ]; then
      quit_client
      finish 1200
      [ "$status" = 0 ] || fail "exit status $status"
    else
      interrupt
      finish 1200
      [ "$status" = 130 ] || fail "exit status $status"
      # After the terminal's echo of the interrupt character.
      grep -qxE '(\^C)?run: interrupted' "$tmp/out" || fail "no line saying the run was interrupted"
      grep -qx 'run: asking the program to end' "$tmp/out" || fail "no line saying the client was asked to end"
    fi
    # Either way the client was asked to end, not killed: it stored its settings.
    grep -qx 'run: tallyhive ended normally' "$tmp/out" "$tmp/err" || fail "no line saying the client ended normally"
    data=$(sed -n 's/^run: data folder: //p' "$tmp/out" "$tmp/err")
    [ "$data" = "$local_data" ] || fail "the data folder printed ('$data') is not the client's ('$local_data')"
    grep -qxE $'SELECT_INDEX=0\r?' "$data/config.ini" || fail "config.ini was not written by the client: $(cat "$data/config.ini")"
    ;;
  soak_held | soak_interrupt)
    export TALLYHIVE_SOAK_SECONDS=6 TALLYHIVE_SOAK_WARMUP=3
    if [ "$case" = soak_held ]; then
      start "$top/scripts/soak.sh"
      finish 3000
      [ "$status" = 0 ] && grep -qx 'soak.sh: the run held' "$tmp/out" || fail "the soak did not hold"
    else
      start_in_terminal "$top/scripts/soak.sh"
      wine_until 2400 grep -q '^soak: running for' "$tmp/out" || fail "the soak did not start its run"
      work=$(work_folder)
      interrupt
      finish 1200
      [ "$status" = 130 ] || fail "exit status $status"
      grep -qx 'soak.sh: asking the program to end' "$tmp/out" || fail "no line saying the driver was asked to end"
      ! grep -q 'held' "$tmp/out" "$tmp/err" || fail "an interrupted soak reported holding"
    fi
    ;;
  x_root)
    start "$top/scripts/x-root.sh"
    finish 3000
    [ "$status" = 0 ] || fail "exit status $status"
    for window in "main window +shows" "settings window +shows, its drop shadow a dark rim" \
      "exit confirmation +shows, its drop shadow a dark rim"; do
      grep -qE "^  tallyhive.exe's $window\$" "$tmp/out" || fail "no line for the client's ${window% +*}"
    done
    ;;
  screenshot_crop)
    start "$top/scripts/screenshot.sh" frame-window "$tmp/frame.png" "$build"
    finish 1800
    [ "$status" = 0 ] || fail "exit status $status"
    size=$(identify -format '%wx%h' "$tmp/frame.png") || fail "no picture"
    [ "$size" = 416x316 ] || fail "the picture is $size, not the 400 x 300 window with 8 pixels round it"
    # Just outside and inside each edge of the window (the desktop is black), its close
    # button at the right end of the title bar, its panel.
    for point in 7,158:000000 8,158:F4F1EA 407,158:F4F1EA 408,158:000000 208,7:000000 208,8:2F5D8A \
      208,307:F4F1EA 208,308:000000 387,28:D0504A 68,158:E3B04B; do
      have=$(convert "$tmp/frame.png" -format "%[hex:p{${point%:*}}]" info:)
      [ "${have:0:6}" = "${point#*:}" ] || fail "at ${point%:*} the picture has $have, not ${point#*:}"
    done
    ;;
  run_start_interrupt | run_two_copies | run_bad_settings) "$case" ;;
  *) echo "script-test.sh: unknown case '$case'" >&2; exit 2 ;;
esac
nothing_left
if [ -n "${work+set}" ]; then
  [ -n "$work" ] || fail "no work folder of the script's seen while it ran"
  [ ! -e "$work" ] || fail "the work folder $work is left"
fi
echo "ok: $case"
