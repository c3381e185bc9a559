#!/bin/sh
# Runs a Windows program under Wine:  wine-run.sh PREFIX EXE [ARGS...]
# - always uses PREFIX (never ~/.wine) and no display, so a stray dialog cannot block;
# - keeps one wineserver with Wine's service processes alive (until 60 s after the last
#   use) with their stdio on /dev/null; otherwise the service processes started by the
#   first Wine process inherit ctest's output pipe and every test waits ~3 s for them.
set -eu
prefix=$1
shift
export WINEPREFIX="$prefix"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
unset DISPLAY WAYLAND_DISPLAY
mkdir -p "$(dirname "$prefix")"
{
  flock 9
  # Exit status 0: this call started the server, so create or update the prefix now.
  if wineserver -p60 </dev/null >/dev/null 2>&1 9>&-; then
    wine wineboot </dev/null >/dev/null 2>&1 9>&- || true
  fi
} 9>"$prefix.lock"
exec wine "$@"
