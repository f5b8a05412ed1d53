#!/usr/bin/env bash
# The Windows program under Wine and Xvfb. 1. Against the local service: create a mailbox, start
# the loop, deliver a Chinese mail by SMTP, see it listed, double-click it, read it in the viewer,
# stop, close the main window. 2. Against the scripted stand-in service: the exact requests and
# headers, and the close box during a slow exchange. Texts are read from the running program's
# controls by probe.exe.
# usage: windows_e2e.sh VENMARRA_EXE PROBE_EXE LINUX_BUILD OUT_DIR
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
. "$root/tests/support/e2e_lib.sh"
exe=$1 probe=$2 linux_build=$3 out=$4
devserver=$linux_build/tools/venmarra-devserver
[ -x "$devserver" ] || fail "build the Linux program first (make build): $devserver"
mkdir -p "$out"
wine() { "$root/scripts/wine-run" "$@"; }
wine_server() { WINEPREFIX=${WINEPREFIX:-$root/build/wine} "$(command -v wineserver || echo /usr/lib/wine/wineserver)" "$@"; }
start_xvfb
start_window_manager "$out/openbox.log"  # it frames the windows, as a desktop's window manager does
wine_server -k 2>/dev/null || true  # no Wine process of an earlier display stays

log="$out/devserver.log"
start_devserver "$devserver" "$log"

start_program wine "$exe"
texts() { wine "$probe" texts; }
shows() { texts | grep -qF -- "$1"; }
click() { local at; at=$(wine "$probe" place "$@") && xdotool mousemove $at click 1; }
count() { grep -c "$1" "$log" || true; }
at_least() { [ "$(count "$1")" -ge "$2" ]; }
wait_for "the main window" 30 shows $'Command1\t生成邮箱'

click Command1                                                         # 生成邮箱
wait_for "the first refresh" 20 at_least 'HTTP POST refresh' 1
name=$(sed -n 's/.*HTTP GET \/ -> 200 allocated \([a-z0-9]*\)@venmarra.test.*/\1/p' "$log" | head -n1)
[ -n "$name" ] || fail "no mailbox was allocated"
wait_for "the address in Text1" 10 shows $'Text1\t'"$name@venmarra.test"
wait_for "the status line" 10 shows $'Label4\t检测完成.'

"$root/scripts/send-mail" "$name@venmarra.test" "$SMTP_PORT" >/dev/null
click Command2                                                         # 循环接收
wait_for "the loop's caption" 10 shows $'Command2\t循环中..'
wait_for "the mail's line in List1" 20 shows '你好，这是一封测试邮件'
texts >"$out/main-window-texts.txt"
main=$(xdotool search --name '^Venmarra  - By ' | head -n1)
import -frame -window "$main" "$out/windows-main-window.png"
grep -q $'^LIST\t.*测试发件人.*|.*你好，这是一封测试邮件.*|.*1000' "$out/main-window-texts.txt" \
    || fail "the list line is not sender|subject|id: $(grep '^LIST' "$out/main-window-texts.txt")"

row=$(wine "$probe" place List1 0)
xdotool mousemove $row click --repeat 2 --delay 80 1              # the mail's line
wait_for "the mail-info request" 10 grep -q "HTTP POST mailinfo $name mid 1000 (owner)" "$log"
wait_for "the mail in the viewer" 20 shows '这是 Venmarra 本地服务收到的一封测试邮件。'
viewer=$(xdotool search --name '^邮件内容$' | head -n1)
import -frame -window "$viewer" "$out/windows-viewer.png"

close_window "$viewer"                                             # the viewer lies over 停止
viewer_gone() { ! shows $'VIEWER\t'; }
wait_for "the viewer to close" 10 viewer_gone
click Command3                                                         # 停止
wait_for "the loop's end" 10 shows $'Command2\t循环结束'
refreshes=$(count 'HTTP POST refresh')
[ "$(count "HTTP POST refresh $name (owner)")" = "$refreshes" ] || fail "a refresh went out without the mailbox's cookie"
grep -q ' -> [45][0-9][0-9]' "$log" && fail "the service refused a request: $(grep ' -> [45]' "$log" | head -n3)"

close_window "$main"
ends_cleanly "closing the main window"
stop_service

# 2. The scripted stand-in logs every request whole; its refresh answer comes after 4 s.
log="$out/stand-in.log"
start_stand_in "$log" --post-delay-ms 4000
start_program wine "$exe"
wait_for "the main window" 30 shows $'Command1\t生成邮箱'
click Command1
wait_for "the slow refresh" 10 at_least '^REQUEST POST' 1
# Only the program's own headers and those that WinHTTP must send: no agent name, no keep-alive.
headers=$(grep '^HEADER' "$log" | sort | uniq -c | sed 's/^ *//')
expected=$(printf '%s\n' '1 HEADER Content-Length: 30' '1 HEADER Content-Type: application/x-www-form-urlencoded' \
    '1 HEADER Cookie: sid=e2e0123456789abcdef0123456789abcdef01234' '2 HEADER Host: '"$VENMARRA_SERVICE_HOST")
[ "$headers" = "$expected" ] || fail "unexpected headers: $headers"
[ "$(grep '^BODY' "$log" | tr -d '\r')" = "$(printf 'BODY \nBODY data=e2ebox7&type=refresh&arg=')" ] \
    || fail "unexpected bodies: $(grep '^BODY' "$log")"
close_window "$(xdotool search --name '^Venmarra  - By ' | head -n1)"
ends_at_once "the close box during an exchange"
echo "2 passed, 0 failed: the Windows program under Wine with the local service and the stand-in (screenshots in $out)"
