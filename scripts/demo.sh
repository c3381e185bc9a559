#!/bin/sh
# The main job: installs what is missing, builds the plugin and its install package in dist/,
# then runs the package's plugin in the stand-in host, which pictures what it draws (a
# scripted drive and a contact sheet) and says where the pictures and the package are.
set -eu
cd "$(dirname "$0")/.."
sh scripts/setup.sh
cmake --preset gcc -DSPEEDOMETER_DIST_DIR="$PWD/dist" >/dev/null
cmake --build --preset gcc --target demo
WINEPREFIX="$PWD/build/gcc/wineprefix" wineserver -k 2>/dev/null || true
