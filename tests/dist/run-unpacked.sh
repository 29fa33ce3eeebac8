#!/usr/bin/env bash
# Unpacks a release zip into a fresh folder whose path has Japanese characters and a space, as a
# user's might, and runs the Windows-side check of the unpacked program under Wine.
#
#   run-unpacked.sh WINERUN BUILD_DIR ZIP DRIVER_EXE
set -euo pipefail

winerun=$1 build=$2 zipfile=$3 driver=$4
place="$(cd "$build" && pwd)/dist-run"
folder="$place/キャプチャ ツール/Framlet 1.4"
rm -rf "$place"
mkdir -p "$folder"
unzip -q "$zipfile" -d "$folder"

# Wine shows the Linux file system as drive Z:, with backslashes.
windows_folder="Z:$(tr / '\\' <<<"$folder")"
"$winerun" --build "$build" --timeout 120 --env "FRAMLET_DIST_FOLDER=$windows_folder" -- "$driver" --gtest_brief=1

# Seen from Linux as well: the settings file is beside the program, under the Japanese name.
[ -f "$folder/Framlet.ini" ] || { echo "FAIL: no Framlet.ini in $folder" >&2; ls -la "$folder" >&2; exit 1; }
rm -rf "$place"
