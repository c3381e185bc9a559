#!/bin/sh
# Every C and C++ source of the project is formatted with the checked-in .clang-format.
set -eu
cd "$1"
files=$(find plugin events speedometer injector host standin tools tests bench demo \
  -name '*.cpp' -o -name '*.hpp' -o -name '*.c' -o -name '*.h' | sort)
clang-format --dry-run --Werror $files
echo "formatted: $(echo "$files" | wc -l) files"
