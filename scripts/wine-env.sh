# Sourced by the scripts that run Wine: wine_env DEPS_PREFIX exports what every Wine
# process of ours runs with.
wine_env() {
  export WINEARCH=win32 WINEDEBUG=-all
  # Mono and Gecko cannot be had here; without this wineboot asks to install them.
  export WINEDLLOVERRIDES="mscoree,mshtml="
  # The users run Chinese Windows: code page 936.
  export LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8
  # Present only where 32-bit programs run through qemu (see setup.sh). $LIB is left for
  # the dynamic loader, which picks the 32-bit or 64-bit copy.
  if [ -d "$1/i386-runner/lib" ]; then
    export LD_PRELOAD="$1/i386-runner/\$LIB/noreplace.so${LD_PRELOAD:+ $LD_PRELOAD}"
  fi
}

# wine_boot_prefix PREFIX boots a new Wine prefix for windows shown on a display without
# a window manager (the tests', the screenshots'). Without one, every hide or destroy of
# a visible top-level window waits about 2 s for it to answer; windows Wine does not hand
# to one do not. A step of wine_make.
wine_boot_prefix() {
  WINEPREFIX=$1 wineboot -i
  WINEPREFIX=$1 wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f
  WINEPREFIX=$1 wineserver -w
  wine_own_user_folders "$1"
}

# wine_own_user_folders PREFIX: wineboot links the Wine user's Desktop, Documents,
# Downloads, Music, Pictures, Videos and Templates to HOME's folders (or to HOME itself):
# in a copy of a prefix booted with a HOME that is gone they lead nowhere, and with the
# user's own HOME our programs' shortcuts and downloads would land among the user's
# files. Each becomes an empty folder of the prefix's own, which Wine leaves as it is.
wine_own_user_folders() {
  local link
  while IFS= read -r -d '' link; do
    rm "$link" && mkdir "$link" || return 1
  done < <(find "$1/drive_c/users" -type l -print0)
}

# wine_copy_prefix TEMPLATE PREFIX: a copy of a booted prefix, a step of wine_make. A
# template of an older revision may still hold links to nowhere.
wine_copy_prefix() {
  cp -a "$1" "$2" && wine_own_user_folders "$2"
}

# A new prefix is made apart, in a folder of its own beside its place, and moved there
# once whole: a run interrupted while making one leaves nothing that the next run would
# take for a made prefix (user folders still links into HOME, half of the files copied).
# The making runs in a session of its own, so that Ctrl-C reaches only the script. Until
# it is done, wine_making is its folder and wine_making_pid its process, which the exit
# trap ends and removes (wine_unmake).
wine_making=""
wine_making_pid=""

# wine_make PREFIX LOG STEP [ARGS...]: makes a new prefix at PREFIX, whole or not at all.
# STEP ARGS... FOLDER (a function of this file) makes it in FOLDER, its output going to
# LOG, with HOME in the making's folder: booting makes Wine's menu entries in HOME, and
# they would lead into a folder that is gone once the prefix has moved. True once PREFIX
# holds a prefix (this one, or one that another run made first); false when the step
# failed or PREFIX is taken by a folder that is not empty.
wine_make() {
  local prefix status=0
  prefix=$(realpath -m -- "$1") && mkdir -p "$(dirname "$prefix")" &&
    wine_making=$(mktemp -d "$prefix.making.XXXXXX") || return 1
  HOME=$wine_making setsid bash -c '. "$1"; shift; "$@"' wine_make "${BASH_SOURCE[0]}" "${@:3}" "$wine_making/prefix" \
    </dev/null >"$2" 2>&1 &
  wine_making_pid=$!
  wait "$wine_making_pid" || status=$?
  wine_making_pid=""
  [ "$status" = 0 ] && [ -f "$wine_making/prefix/system.reg" ] && mv -T "$wine_making/prefix" "$prefix" 2>/dev/null
  wine_unmake
  [ "$status" = 0 ] && [ -f "$prefix/system.reg" ]
}

# wine_unmake: ends the making under way, if any, and removes its folder.
wine_unmake() {
  if [ -n "$wine_making_pid" ]; then
    kill -KILL -- "-$wine_making_pid" 2>/dev/null || true
    wait "$wine_making_pid" 2>/dev/null || true
  fi
  if [ -n "$wine_making" ]; then
    WINEPREFIX=$wine_making/prefix wineserver -k >/dev/null 2>&1 || true
    rm -rf "$wine_making"
  fi
  wine_making="" wine_making_pid=""
}

# Ctrl-C and TERM in the scripts that run a program for a while (run.sh, soak.sh,
# try-uninstall.sh, screenshot.sh). The Wine programs they start do not hear the
# terminal's Ctrl-C (see wine_apart), so a script that waited on one would wait for
# ever; instead the program started by wine_start is asked to end (its quit command when
# it has one, since its close may ask a question that no one is there to answer; else
# WM_CLOSE to its main window; a program interrupted as it starts is asked once it has
# made that window; then termination after a bound), the caller's
# on_interrupted runs, the script says it was interrupted and exits 130 (143 for TERM);
# the exit trap then ends the rest.
wine_program_pid=""
wine_background_pids=()

# From a terminal, Wine puts a console host for the terminal in the process group of the
# program it starts, and the desktop process that the program's first window starts joins
# that group too: the terminal's Ctrl-C would reach them all and end the program at once,
# without its shutdown (the client would not store its settings). So every Wine program
# the scripts start and wait on runs in a session of its own, away from the terminal and
# reading none of its input, and only the script hears Ctrl-C.
# wine_apart COMMAND [ARGS...] runs one so and waits for it; Ctrl-C cuts the wait short
# (the exit trap ends what is left). A background start names setsid itself: through a
# function the pid in $! would be a subshell's, not the program's.
wine_apart() {
  setsid "$@" </dev/null &
  wait $!
}

# wine_start CLASS QUIT_WPARAM PROGRAM [ARGS...]: starts a Wine program in the background
# whose main window has class CLASS and ends on a WM_COMMAND of QUIT_WPARAM (empty: none).
wine_start() {
  wine_program_class=$1 wine_program_quit=$2
  shift 2
  setsid wine "$@" </dev/null &
  wine_program_pid=$!
}

# wine_wait: waits for the program of wine_start; its exit code goes to wine_status.
# A program ended by a signal is reported by the script, not by bash's job line.
wine_wait() {
  wine_status=0
  wait "$wine_program_pid" 2>/dev/null || wine_status=$?
  wine_program_pid=""
}

# A process that has ended but was not waited for yet is not running.
wine_running() {
  local state
  state=$(sed 's/.*) //' "/proc/$1/stat" 2>/dev/null | cut -d' ' -f1) && [ -n "$state" ] && [ "$state" != Z ]
}

# wine_await PID TENTHS: true once PID has ended, false when the bound (tenths of a
# second) passed or a second signal asked to hurry.
wine_await() {
  local _
  for _ in $(seq "$2"); do
    wine_running "$1" || return 0
    [ -n "${wine_hurry:-}" ] && return 1
    sleep 0.1
  done
  ! wine_running "$1"
}

# wine_until TENTHS COMMAND...: true once COMMAND succeeds, tried every tenth of a second
# and once more when the bound has passed. Programs under Wine draw and end in their own
# time, later still on a loaded machine: a script waits for what it needs, never a fixed
# while.
wine_until() {
  local bound=$1 _
  shift
  for _ in $(seq "$bound"); do
    "$@" && return 0
    sleep 0.1
  done
  "$@"
}

wine_post() {
  [ -f "${wine_poke:-}" ] && wine_apart wine "$wine_poke" "$wine_program_class" post "$1" "$2" 0 >/dev/null 2>&1
}

# How long a program asked to end as it starts has to make its main window, in seconds.
# Generous: under an emulator on a loaded machine the client starts slowly.
wine_window_bound=120

# wine_ask MESSAGE WPARAM: posts to the program's main window once it has one; false when
# it ended first, the bound passed or a second signal asked to hurry.
wine_ask() {
  local until=$((SECONDS + wine_window_bound)) said=""
  [ -f "${wine_poke:-}" ] || return 1
  until wine_post "$1" "$2"; do
    wine_running "$wine_program_pid" && [ -z "${wine_hurry:-}" ] && [ "$SECONDS" -lt "$until" ] || return 1
    [ -n "$said" ] || echo "$wine_name: waiting for its main window first (Ctrl-C again ends it at once)" >&2
    said=1
    sleep 0.2
  done
}

wine_end_program() {
  local pid=$wine_program_pid
  wine_running "$pid" || return 0
  echo "$wine_name: asking the program to end" >&2
  if [ -n "$wine_program_quit" ]; then
    { wine_ask 0x111 "$wine_program_quit" && wine_await "$pid" 200; } || { wine_post 0x10 0 && wine_await "$pid" 30; }
  else
    wine_ask 0x10 0 && wine_await "$pid" 30
  fi
  if wine_running "$pid"; then
    echo "$wine_name: the program did not end; ending it" >&2
    kill -KILL "$pid" 2>/dev/null
  fi
  wine_wait
}

wine_interrupted() {
  set +e
  # A second Ctrl-C cuts the waits short.
  trap 'wine_hurry=1' INT TERM
  echo "$wine_name: interrupted" >&2
  [ -n "$wine_program_pid" ] && wine_end_program
  declare -F on_interrupted >/dev/null && on_interrupted
  exit "$1"
}

# The processes on $WINEPREFIX, by the WINEPREFIX in their environment however its path
# is spelled, one "PID SCRIPT" a line: SCRIPT is the pid of the script of ours that
# started the process (see wine_traps), or empty.
wine_prefix_processes() {
  local record pid
  local -A prefix=() script=()
  while IFS= read -r -d '' record; do
    pid=${record#/proc/}
    pid=${pid%%/*}
    case "${record#*/environ:}" in
      WINEPREFIX=*) prefix[$pid]=${record#*/environ:WINEPREFIX=} ;;
      TALLYHIVE_WINE_SCRIPT=*) script[$pid]=${record#*/environ:TALLYHIVE_WINE_SCRIPT=} ;;
    esac
  done < <(grep -Hasz -e '^WINEPREFIX=' -e '^TALLYHIVE_WINE_SCRIPT=' /proc/[0-9]*/environ)
  for pid in "${!prefix[@]}"; do
    [ "${prefix[$pid]}" -ef "$WINEPREFIX" ] && echo "$pid ${script[$pid]:-}"
  done
}

# wine_program_path PID: the path of the Windows program that process PID runs, in lower
# case, or nothing for a process that is none (Wine shows the program's command line).
wine_program_path() {
  local command
  command=$(tr '\0' ' ' 2>/dev/null <"/proc/$1/cmdline" | tr '[:upper:]' '[:lower:]')
  [[ $command =~ ^(\"([^\"]*\.exe)\"|([^\ \"]*\.exe))(\ |$) ]] && echo "${BASH_REMATCH[2]}${BASH_REMATCH[3]}"
}

# wine_prefix_runs NAME: true when a process on the prefix runs the Windows program of
# file name NAME (in lower case).
wine_prefix_runs() {
  local pid _ path
  while read -r pid _; do
    path=$(wine_program_path "$pid")
    [ "${path##*[\\/]}" = "$1" ] && return 0
  done < <(wine_prefix_processes)
  return 1
}

# True when something this script did not start uses the prefix: a process of another
# of our scripts that still runs, or a Windows program started otherwise (the user's).
# Wine's own services in C:\windows serve whoever runs there and end with the last one.
wine_prefix_shared() {
  local pid script path
  while read -r pid script; do
    if [ -n "$script" ]; then
      [ "$script" != $$ ] && wine_running "$script" && return 0
    else
      path=$(wine_program_path "$pid")
      [ -n "$path" ] && [[ $path != c:\\windows\\* ]] && return 0
    fi
  done < <(wine_prefix_processes)
  return 1
}

# On exit the caller's script_cleanup runs when it is defined, then what the script
# started ends, then the prefix's server: left to others that still use the prefix (a
# second run.sh on it, say), otherwise killed when the prefix is the script's own, or
# waited for a while (programs of the user may still hold it); then the Xvfb and the
# work folder go.
wine_exit() {
  set +e
  trap - INT TERM
  declare -F script_cleanup >/dev/null && script_cleanup
  wine_unmake
  local pid
  for pid in "${wine_background_pids[@]}"; do kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null; done
  [ -n "$wine_program_pid" ] && kill -KILL "$wine_program_pid" 2>/dev/null && wait "$wine_program_pid" 2>/dev/null
  if wine_prefix_shared; then
    :
  elif [ -n "${wine_own_prefix:-}" ]; then
    wineserver -k >/dev/null 2>&1
  else
    timeout 20 wineserver -w >/dev/null 2>&1
  fi
  [ -n "${xvfb_pid:-}" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
  [ -n "${work:-}" ] && rm -rf "$work"
}

# The mark by which the processes a script starts are known as its own.
wine_traps() {
  wine_name=$1
  export TALLYHIVE_WINE_SCRIPT=$$
  xvfb_pid=""
  trap wine_exit EXIT
  trap 'wine_interrupted 130' INT
  trap 'wine_interrupted 143' TERM
}

# wine_window_manager EXE: how EXE's windows meet the display's window manager. Wine
# hands most top-level windows to one: it then waits about 2 s for it at every hide or
# destroy of a visible top-level window, and leaves maximising to it. On a display
# without one (an Xvfb of the script's own, a bare VNC server) a maximised window would
# keep its old size on the screen and Wine would soon take that size back, so there
# EXE's windows are kept from a window manager, as in the test runner's prefixes; where
# one runs they are managed as usual. A window manager is the one client that redirects
# the root window's substructure (only one can at a time), whether it announces itself
# or not (twm does not). Written only when the prefix says otherwise.
wine_window_manager() {
  local want=N have
  xwininfo -root -events 2>/dev/null | sed -n '/Someone wants/,/Do not propagate/p' | grep -qw SubstructureRedirect &&
    want=Y
  have=$(for key in "AppDefaults\\\\$1\\\\X11 Driver" "X11 Driver"; do
    grep -F -A3 "[Software\\\\Wine\\\\$key]" "$WINEPREFIX/user.reg" 2>/dev/null | sed -n 's/^"Managed"="\(.\).*/\1/p'
  done | head -n 1) || true
  [ "${have:-Y}" = "$want" ] ||
    wine_apart wine reg add "HKCU\\Software\\Wine\\AppDefaults\\$1\\X11 Driver" /v Managed /d "$want" /f >/dev/null 2>&1
}

# wine_session NAME EXE OWN: for the scripts that start a program for the user (run.sh,
# try-uninstall.sh). Uses $DISPLAY or, without one, an Xvfb of its own; makes
# $WINEPREFIX when it is new; sets how EXE's windows meet a window manager. OWN is
# non-empty when the prefix is the script's own. NAME prefixes messages.
wine_session() {
  # A folder of other things is left as it is, before anything of Wine's touches it.
  if [ ! -f "$WINEPREFIX/system.reg" ] && [ -n "$(ls -A "$WINEPREFIX" 2>/dev/null)" ]; then
    echo "$1: $WINEPREFIX is not empty but holds no Wine prefix (no system.reg): remove it, or name another WINEPREFIX" >&2
    exit 1
  fi
  wine_traps "$1"
  wine_own_prefix=$3
  . "$(dirname "${BASH_SOURCE[0]}")/xvfb.sh"
  if [ -z "${DISPLAY:-}" ]; then
    start_xvfb /dev/null
    echo "$1: no DISPLAY set, using Xvfb on $DISPLAY (nothing shows; Ctrl-C here ends the run)" >&2
  elif ! timeout 20 xdpyinfo >/dev/null 2>&1; then
    # Wine would wait for ever for a display it cannot open.
    echo "$1: cannot open display $DISPLAY; start its X server, or unset DISPLAY to run on a display of the script's own (nothing shows there)" >&2
    exit 1
  fi
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "$1: creating the Wine prefix $WINEPREFIX (once)" >&2
    wine_new_prefix "$WINEPREFIX" || { echo "$1: the Wine prefix $WINEPREFIX could not be made" >&2; exit 1; }
  fi
  # A user's prefix may be a 64-bit one, which runs our 32-bit programs as it is.
  grep -q '^#arch=win64' "$WINEPREFIX/system.reg" && unset WINEARCH
  wine_window_manager "$2"
}

# Where scripts/test.sh keeps its booted prefixes, taken while HOME is still the user's.
wine_prefix_cache=${XDG_CACHE_HOME:-$HOME/.cache}/tallyhive

# wine_new_prefix PREFIX: a copy of the test runner's booted prefix when there is one
# (booting takes minutes under an emulator), otherwise a freshly booted one; made whole or
# not at all (wine_make).
wine_new_prefix() {
  local template
  template=$(ls -d "$wine_prefix_cache"/prefix-*/system.reg 2>/dev/null | head -n 1 || true)
  if [ -n "$template" ]; then
    wine_make "$1" /dev/null wine_copy_prefix "$(dirname "$template")"
  else
    wine_make "$1" /dev/null wine_boot_prefix
  fi
}

# wine_scratch NAME DEPS_PREFIX: for the scripts that run programs on a display and in a
# prefix of their own (screenshot.sh, soak.sh). Makes a work folder ($work) in /tmp,
# starts an Xvfb, exports the Wine environment with an empty HOME (Wine's menu folders,
# made when a prefix boots, go there rather than into the user's own) and a new prefix
# there. On exit (see wine_exit) the prefix's server and the Xvfb end and the folder
# goes. Messages start with the script's own name.
wine_scratch() {
  wine_traps "$(basename "$0")"
  work=$(mktemp -d "/tmp/tallyhive-$1.XXXXXX")
  wine_own_prefix=1
  . "$(dirname "${BASH_SOURCE[0]}")/xvfb.sh"
  start_xvfb "$work/xvfb.log"
  wine_env "$2"
  export HOME="$work" WINEPREFIX="$work/prefix"
  wine_new_prefix "$WINEPREFIX" || { echo "$wine_name: a Wine prefix could not be made" >&2; exit 1; }
}
