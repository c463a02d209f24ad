#!/usr/bin/env bash
# CTest's launcher of every test program: starts it under Wine inside the slot of
# scripts/test.sh's run that CTest handed it (resource group 0), with that slot's display,
# Wine prefix, HOME and temporary folder. Outside such a run it starts Wine in the
# caller's environment. Exit code: the program's.
set -euo pipefail

if [ -n "${CTEST_RESOURCE_GROUP_0_SLOTS:-}" ] && [ -n "${TALLYHIVE_TEST_RUN:-}" ]; then
  slot=${CTEST_RESOURCE_GROUP_0_SLOTS#id:}
  . "$TALLYHIVE_TEST_RUN/${slot%%,*}/env"
else
  exec wine "$@"
fi

# Every process the test starts inherits this mark, so whatever it leaves running (after
# a failure, say) ends with it, instead of holding CTest's output pipe open until the
# timeout or showing up in the next test of the slot.
export TALLYHIVE_TEST_MARK=$$.$RANDOM
ended() {
  local mark=TALLYHIVE_TEST_MARK=$TALLYHIVE_TEST_MARK left
  unset TALLYHIVE_TEST_MARK
  # Again until none is left: a process being killed may just have started another.
  for _ in $(seq 20); do
    left=$(grep -lxz "$mark" /proc/[0-9]*/environ 2>/dev/null | cut -d/ -f3) || true
    [ -z "$left" ] && break
    kill -9 $left 2>/dev/null || true
    sleep 0.1
  done
  if [ "${TALLYHIVE_FRESH_PREFIX:-}" = 1 ]; then
    wineserver -k >/dev/null 2>&1 || true
    rm -rf "$WINEPREFIX"
  fi
  return 0
}
trap ended EXIT

# A test that asked for a prefix nobody used gets a copy of the booted one, with a server
# of its own that holds no pipe of the test's.
if [ "${TALLYHIVE_FRESH_PREFIX:-}" = 1 ]; then
  export WINEPREFIX=$WINEPREFIX.fresh
  cp -a "$TALLYHIVE_TEST_TEMPLATE" "$WINEPREFIX"
  wineserver -p </dev/null >/dev/null 2>&1
fi

status=0
wine "$@" || status=$?
exit "$status"
