#!/usr/bin/env bash
# The Windows program is one .exe: it imports only DLLs that Windows itself ships.
# usage: imports_test.sh VENMARRA_EXE
set -euo pipefail
command -v x86_64-w64-mingw32-objdump >/dev/null || { echo "FAIL: needs x86_64-w64-mingw32-objdump (scripts/bootstrap installs it)" >&2; exit 1; }
allowed=" COMCTL32.dll GDI32.dll KERNEL32.dll msvcrt.dll USER32.dll WINHTTP.dll ADVAPI32.dll SHELL32.dll "
imports=$(x86_64-w64-mingw32-objdump -p "$1" | sed -n 's/^\s*DLL Name: //p')
[ -n "$imports" ] || { echo "FAIL: no import table read from $1" >&2; exit 1; }
for dll in $imports; do
    [[ $allowed == *" $dll "* ]] || { echo "FAIL: $1 imports $dll, which Windows does not ship" >&2; exit 1; }
done
echo "imports: $(echo $imports)"
