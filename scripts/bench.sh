#!/bin/sh
# The benchmark: installs what is missing, builds the gcc preset and runs the benchmark
# under Wine. Prints the machine, then a table of the plugin's costs against their budgets;
# exits with 1 when a budget is missed.
set -eu
cd "$(dirname "$0")/.."
sh scripts/setup.sh
cmake --preset gcc >/dev/null
cmake --build --preset gcc --target speedometer_bench
prefix="$PWD/build/gcc/wineprefix"
cpu=$(sed -n 's/^model name[[:space:]]*: //p' /proc/cpuinfo | head -n 1)
echo "machine: $(nproc) cores, $cpu, $(wine --version)"
# A fresh wineserver: Wine's own cost of loading a DLL grows over a server's life.
WINEPREFIX="$prefix" wineserver -k 2>/dev/null || true
status=0
sh tools/wine-run.sh "$prefix" build/gcc/bin/speedometer_bench.exe || status=$?
WINEPREFIX="$prefix" wineserver -k 2>/dev/null || true
exit $status
