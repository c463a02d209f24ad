#!/usr/bin/env bash
# The Wine user's folders (Desktop, Documents, Downloads, ...) in the prefixes the
# scripts make are folders of the prefix's own: nothing under drive_c/users is a link,
# so none leads nowhere or into someone's home. Checked in the test slot's own prefix (a
# copy of test.sh's booted one, as the tests before this one in the slot left it) and
# in one made as run.sh and try-uninstall.sh make theirs, whose desktop, where the
# uninstaller finds its shortcut, is asked of Wine.
#   prefix-test.sh DEPS_PREFIX
set -euo pipefail

top=$(cd "$(dirname "$0")/../.." && pwd)
. "$top/scripts/wine-env.sh"
wine_env "$1"
tmp=$(mktemp -d /tmp/tallyhive-prefix-test.XXXXXX)
export HOME=$tmp/home WINEPREFIX=$tmp/prefix
mkdir "$HOME"
trap 'wineserver -k >/dev/null 2>&1; rm -rf "$tmp"' EXIT

failed=""
# check PREFIX FOLDER: no link under PREFIX's users, and FOLDER (the desktop) a folder.
check() {
  local links
  links=$(find "$1/drive_c/users" -type l -printf '  %p -> %l\n')
  [ -z "$links" ] || { echo "FAIL: links in $1:"; echo "$links"; failed=1; }
  [ -d "$2" ] || { echo "FAIL: no desktop folder $2"; failed=1; }
}

[ -n "${TALLYHIVE_TEST_RUN:-}" ] && [ -n "${CTEST_RESOURCE_GROUP_0_SLOTS:-}" ] ||
  { echo "FAIL: not in a slot of scripts/test.sh"; exit 1; }
slot=${CTEST_RESOURCE_GROUP_0_SLOTS#id:}
slot_prefix=$(. "$TALLYHIVE_TEST_RUN/${slot%%,*}/env" && echo "$WINEPREFIX")
check "$slot_prefix" "$slot_prefix/drive_c/users/$(id -un)/Desktop"

wine_new_prefix "$WINEPREFIX"
desktop=$(winepath -u "$(wine cmd /c 'echo %USERPROFILE%\Desktop' 2>/dev/null | tr -d '\r')")
check "$WINEPREFIX" "$desktop"
[ -z "$failed" ] || exit 1
echo "ok: the user folders are the prefixes' own"
