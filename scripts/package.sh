#!/usr/bin/env bash
# Builds the release (scripts/build.sh --release) and lays out what an installer ships:
#   build-release/package/tallyhive/               the two programs, nothing else (the
#                                                  client needs nothing beside it: its
#                                                  skin, pages and engine are inside it)
#   build-release/package/tallyhive-<version>.zip  the same two files
#   build-release/package/tallyhive-<version>-debug.zip
#                                                  their debug files, kept with what
#                                                  ships to read its crash dumps; not
#                                                  for the installer
# and prints the listing and the sizes of the exes. A first argument names another
# release build folder.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$top/build-release}
[[ $build = /* ]] || build=$PWD/$build

"$top/scripts/build.sh" --release "$build" >&2

version=$(sed -n 's/^FILEVERSION \([0-9]*\),\([0-9]*\),\([0-9]*\),\([0-9]*\).*/\1.\2.\3.\4/p' "$top/resources/version_info.rc")
out=$build/package
rm -rf "$out"
mkdir -p "$out/tallyhive"
cp "$build/client/tallyhive.exe" "$build/uninstall/uninstall.exe" "$out/tallyhive/"
(cd "$out/tallyhive" && cmake -E tar cf "../tallyhive-$version.zip" --format=zip --mtime=2024-01-01 tallyhive.exe uninstall.exe)
(cd "$build" && cmake -E tar cf "$out/tallyhive-$version-debug.zip" --format=zip --mtime=2024-01-01 \
  client/tallyhive.debug uninstall/uninstall.debug)

echo "package: $out"
(cd "$out" && ls -l tallyhive "tallyhive-$version.zip" "tallyhive-$version-debug.zip")
for exe in "$out"/tallyhive/*.exe; do
  printf '%s: %s bytes\n' "$(basename "$exe")" "$(stat -c %s "$exe")"
done
