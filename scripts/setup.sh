#!/bin/sh
# Installs whatever the build needs and is missing (Debian 12, as root). Fast when all is there.
set -eu
need="cmake ninja-build googletest g++-mingw-w64-i686-posix wine wine32:i386 libstb-dev zip clang-14 clang-format"
if ! dpkg -s $need >/dev/null 2>&1; then
  if [ "$(id -u)" -ne 0 ]; then
    echo "setup: missing packages; run as root or install: $need" >&2
    exit 1
  fi
  dpkg --add-architecture i386
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends $need >/dev/null
fi
