#!/bin/sh
# The shipped DLL exports nothing and imports only system DLLs.
set -eu
dll=$1
dump=$(i686-w64-mingw32-objdump -p "$dll")
imports=$(printf '%s\n' "$dump" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr 'A-Z' 'a-z' | sort -u)
echo "imports: $(echo $imports)"
status=0
for name in $imports; do
  case "$name" in
    kernel32.dll|user32.dll|msvcrt.dll|advapi32.dll|gdi32.dll) ;;
    *) echo "FAIL: non-system import $name"; status=1 ;;
  esac
done
printf '%s\n' "$imports" | grep -qx kernel32.dll || { echo "FAIL: no KERNEL32 import"; status=1; }
# An export table, if the linker leaves one, must list no entries.
exports=$(printf '%s\n' "$dump" | awk '/\[Ordinal\/Name Pointer\] Table/{t=1;next} t&&/^[[:space:]]*\[/{n++} /^$/{t=0} END{print n+0}')
echo "exports: $exports"
[ "$exports" -eq 0 ] || { echo "FAIL: the DLL exports $exports symbols"; status=1; }
exit $status
