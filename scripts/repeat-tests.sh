#!/usr/bin/env bash
# Runs the whole test suite several times in a row and says, per test executable, how
# often it failed: a test that fails now and then shows here long before it blocks CI.
#
#   scripts/repeat-tests.sh [--runs N] [--load] [ctest arguments...]
#
# --runs N   how many runs (default 10)
# --load     keep one busy process per processor running beside the suite, as a loaded
#            machine would
# Each run's output is kept in a log folder, printed at the end. Exit code: 0 when every
# run passed, 1 otherwise.
set -euo pipefail

top=$(cd "$(dirname "$0")/.." && pwd)
. "$top/scripts/usage.sh"
runs=10
load=0
while [ $# -gt 0 ]; do
  case "$1" in
    --runs) runs=${2:-}; shift $(($# > 1 ? 2 : 1)) ;;
    --load) load=1; shift ;;
    -h | --help) script_usage; exit 0 ;;
    *) break ;;
  esac
done
case "$runs" in ''|*[!0-9]*|0) echo "repeat-tests: --runs wants a positive number" >&2; exit 2 ;; esac
# ctest takes an argument it does not know without a word, and every run would pass: each
# option must be one that ctest lists (a value may be joined to it), each other word the
# value of the option before it.
ctest_options=$(ctest --help | grep -oE '(^|[ ,])--?[A-Za-z][A-Za-z0-9-]*' | tr -d ' ,')
previous=""
for arg in "$@"; do
  case "$arg" in
    -h | --help) script_usage; exit 0 ;;
    -*) grep -qxF -e "${arg%%=*}" -e "${arg:0:2}" <<<"$ctest_options" || script_unknown repeat-tests "$arg" ;;
    *) [[ $previous == -* ]] || script_unknown repeat-tests "$arg" ;;
  esac
  previous=$arg
done

logs=$(mktemp -d /tmp/tallyhive-repeat.XXXXXX)
busy=()
stop_load() {
  local p
  for p in "${busy[@]}"; do kill "$p" 2>/dev/null || true; done
  busy=()
}
trap stop_load EXIT
trap 'echo "repeat-tests: interrupted" >&2; exit 130' INT
trap 'exit 143' TERM

# Built once before the load starts, so every run times only the tests.
"$top/scripts/test.sh" -N >"$logs/build.log" 2>&1 || { cat "$logs/build.log" >&2; exit 1; }

if [ "$load" = 1 ]; then
  # Each one also ends by itself once this script is gone, killed in a way no trap sees.
  for _ in $(seq "$(nproc)"); do
    ( while kill -0 $$ 2>/dev/null; do :; done ) &
    busy+=($!)
  done
  echo "repeat-tests: ${#busy[@]} busy processes beside the suite" >&2
fi

declare -A failed=()
green=0
for run in $(seq "$runs"); do
  log=$logs/run-$run.log
  start=$SECONDS
  if "$top/scripts/test.sh" "$@" >"$log" 2>&1; then
    green=$((green + 1))
    echo "run $run of $runs: passed ($((SECONDS - start)) s)"
  else
    # ctest's closing list: "  45 - client_update (Failed)".
    names=$(sed -n '/The following tests FAILED:/,$p' "$log" | sed -nE 's/^[[:space:]]*[0-9]+ - ([^ ]+) .*/\1/p')
    # No test named: the run failed before or around ctest (a slot that did not come up).
    [ -n "$names" ] || names="(no-test-named)"
    for name in $names; do failed[$name]=$(( ${failed[$name]:-0} + 1 )); done
    echo "run $run of $runs: failed ($((SECONDS - start)) s):" $names "(log: $log)"
  fi
done

echo
echo "$green of $runs runs passed$([ "$load" = 1 ] && echo " under load")."
if [ "${#failed[@]}" -gt 0 ]; then
  echo "Failures per test executable:"
  for name in "${!failed[@]}"; do printf '  %-28s %d of %d runs\n' "$name" "${failed[$name]}" "$runs"; done | sort
fi
echo "Logs: $logs"
[ "$green" = "$runs" ]
