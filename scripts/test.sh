#!/bin/sh
# The whole test suite: installs what is missing, configures, builds and runs every
# test under Wine for each compiler preset given (default: gcc and clang).
set -eu
cd "$(dirname "$0")/.."
sh scripts/setup.sh
presets=${*:-gcc clang}
status=0
for preset in $presets; do
  echo "== $preset"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
  ctest --preset "$preset" || status=1
  WINEPREFIX="$PWD/build/$preset/wineprefix" wineserver -k 2>/dev/null || true
done
exit $status
