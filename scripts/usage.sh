# Sourced by the scripts a user runs: each one's usage is its header comment, from its
# second line to the one before "set -".
script_usage() { sed -n '2,/^set -/s/^# \{0,1\}//p' "$0"; }

# script_unknown NAME ARG: names an argument the script does not take before its usage,
# and exits 2.
script_unknown() {
  echo "$1: unknown argument '$2'" >&2
  script_usage >&2
  exit 2
}

# script_no_arguments NAME ARGS...: for a script that takes none, -h and --help print the
# usage and exit 0; anything else is unknown.
script_no_arguments() {
  local name=$1 arg
  shift
  for arg in "$@"; do
    case "$arg" in
      -h | --help) script_usage; exit 0 ;;
      *) script_unknown "$name" "$arg" ;;
    esac
  done
}
