#!/bin/sh
# The shipped DLL stays within its size budget:  check_dll_size.sh DLL MAX_BYTES
set -eu
size=$(wc -c <"$1")
echo "size: $size bytes, budget $2"
[ "$size" -le "$2" ] || { echo "FAIL: the DLL is $size bytes, over its budget of $2"; exit 1; }
