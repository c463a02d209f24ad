# Sourced by the scripts that need a display of their own. start_xvfb LOGFILE starts Xvfb
# on the first free number that it accepts (another run may take the same number at the
# same moment, so a refusal moves on to the next), sets xvfb_pid and exports DISPLAY.
# The display is ours only once its lock file names our server: the socket alone may be
# the other run's, whose server would then go away under our programs when it ends.
# The server runs in a session of its own: the terminal's Ctrl-C goes to the script, which
# ends its programs before their display, instead of to Xvfb, which would quit at once.

# True when display N takes connections and its lock file names the server we started.
xvfb_ready() {
  local owner
  owner=$(tr -d ' \n' 2>/dev/null <"/tmp/.X$1-lock") || return 1
  [ "$owner" = "$xvfb_pid" ] && [ -e "/tmp/.X11-unix/X$1" ]
}

start_xvfb() {
  local log=$1 display=90
  while :; do
    while [ -e "/tmp/.X${display}-lock" ] || [ -e "/tmp/.X11-unix/X${display}" ]; do display=$((display + 1)); done
    setsid Xvfb ":$display" -screen 0 1280x1024x24 -nolisten tcp >"$log" 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 150); do
      xvfb_ready "$display" && break
      kill -0 "$xvfb_pid" 2>/dev/null || break
      sleep 0.1
    done
    xvfb_ready "$display" && break
    kill "$xvfb_pid" 2>/dev/null || true
    xvfb_pid=""
    display=$((display + 1))
  done
  export DISPLAY=":$display"
}
