#!/bin/sh
# The install package holds exactly this build's plugin, its artwork and the install text,
# both in its folder and in its zip:  check_package.sh FOLDER ZIP PLUGIN ARTWORK CMAKE
set -eu
folder=$1 zip=$2 plugin=$3 artwork=$4 cmake=$5
status=0
fail() { echo "FAIL: $*"; status=1; }

expected=$(printf '%s\n' ./INSTALL.txt ./models/speedometer.txd ./speedometer.asi)
listing=$(cd "$folder" && find . -type f | LC_ALL=C sort)
[ "$listing" = "$expected" ] || fail "the folder holds:" $listing
cmp -s "$folder/speedometer.asi" "$plugin" || fail "speedometer.asi is not this build's plugin"
cmp -s "$folder/models/speedometer.txd" "$artwork" || fail "models/speedometer.txd is not this build's artwork"
[ -s "$folder/INSTALL.txt" ] || fail "INSTALL.txt is empty"

unpacked=$(mktemp -d)
trap 'rm -rf "$unpacked"' EXIT
(cd "$unpacked" && "$cmake" -E tar xf "$zip") || fail "cannot unpack $zip"
zipped=$(cd "$unpacked" && find . -type f | LC_ALL=C sort)
[ "$zipped" = "$(printf '%s\n' "$expected" | sed 's|^\./|./speedometer/|')" ] || fail "the zip holds:" $zipped
for file in INSTALL.txt speedometer.asi models/speedometer.txd; do
  cmp -s "$unpacked/speedometer/$file" "$folder/$file" || fail "the zip's $file differs from the folder's"
done
[ $status -eq 0 ] && echo "package: $folder and $zip hold the same three files as the build"
exit $status
