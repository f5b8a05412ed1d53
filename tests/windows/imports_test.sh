#!/usr/bin/env bash
# The Windows program is one .exe: it imports only DLLs that Windows itself ships. It is hardened
# (ASLR with high-entropy addresses, DEP, the stack protector and fortified calls linked in) and
# its header carries no build time, so that the same source gives the same bytes.
# usage: imports_test.sh VENMARRA_EXE
set -euo pipefail
fail() { echo "FAIL: $*" >&2; exit 1; }
command -v x86_64-w64-mingw32-objdump >/dev/null || fail "needs x86_64-w64-mingw32-objdump (scripts/bootstrap installs it)"
header=$(x86_64-w64-mingw32-objdump -p "$1")
allowed=" COMCTL32.dll GDI32.dll KERNEL32.dll msvcrt.dll USER32.dll WINHTTP.dll ADVAPI32.dll SHELL32.dll OLEAUT32.dll "
imports=$(sed -n 's/^\s*DLL Name: //p' <<<"$header")
[ -n "$imports" ] || fail "no import table read from $1"
for dll in $imports; do
    [[ $allowed == *" $dll "* ]] || fail "$1 imports $dll, which Windows does not ship"
done
for characteristic in DYNAMIC_BASE HIGH_ENTROPY_VA NX_COMPAT; do
    grep -qw "$characteristic" <<<"$header" || fail "$1 lacks $characteristic"
done
grep -qx $'Time/Date\t\tThu Jan  1 00:00:00 1970' <<<"$header" || fail "$1 carries a build time: $(grep Time/Date <<<"$header")"
grep -qa 'stack smashing detected' "$1" && grep -qa 'buffer overflow detected' "$1" || fail "$1 lacks the stack and fortify checks"
echo "imports: $(echo $imports)"
