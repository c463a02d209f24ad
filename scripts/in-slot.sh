#!/usr/bin/env bash
# CTest's launcher of every test program: starts it under Wine inside the slot of
# scripts/test.sh's run that CTest handed it (resource group 0), with that slot's display,
# Wine prefix, HOME and temporary folder. Outside such a run it starts Wine in the
# caller's environment. Exit code: the program's.
set -euo pipefail

if [ -n "${CTEST_RESOURCE_GROUP_0_SLOTS:-}" ] && [ -n "${TALLYHIVE_TEST_RUN:-}" ]; then
  slot=${CTEST_RESOURCE_GROUP_0_SLOTS#id:}
  . "$TALLYHIVE_TEST_RUN/${slot%%,*}/env"
fi

if [ "${TALLYHIVE_FRESH_PREFIX:-}" != 1 ] || [ -z "${TALLYHIVE_TEST_TEMPLATE:-}" ]; then
  exec wine "$@"
fi

# A test that asked for a prefix nobody used: a copy of the booted one, with a server of
# its own that holds no pipe of the test's, ended (with all it started) when the test ends.
export WINEPREFIX=$WINEPREFIX.fresh
fresh_cleanup() {
  wineserver -k >/dev/null 2>&1 || true
  rm -rf "$WINEPREFIX"
}
trap fresh_cleanup EXIT
cp -a "$TALLYHIVE_TEST_TEMPLATE" "$WINEPREFIX"
wineserver -p </dev/null >/dev/null 2>&1
status=0
wine "$@" || status=$?
exit "$status"
