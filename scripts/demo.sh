#!/bin/sh
# The main job: installs what is missing, builds the plugin and says where it is.
set -eu
cd "$(dirname "$0")/.."
sh scripts/setup.sh
cmake --preset gcc >/dev/null
cmake --build --preset gcc --target speedometer
echo "plugin: $PWD/build/gcc/bin/speedometer.asi"
