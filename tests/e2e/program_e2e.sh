#!/usr/bin/env bash
# The real program under Xvfb and a window manager, its windows read as a screen reader reads
# them: the Linux program over the accessibility bus (atspi_probe.py), with a probe the Windows
# program under Wine. 1. Against the local service, with mail delivered by SMTP: the design's
# captions, Enter on 生成邮箱, the mailbox's details, Tab round the window, poll, receive a UTF-8 and
# a GB18030 mail, stop, restart the service (Linux), open the first by Tab and Enter, close the viewer, open the second by Down
# and Enter, and the first again by a double-click, which brings the open viewer to the front with
# the keys in its box, copy the whole mail, close. For the Linux program the service is started as
# systemd starts it, through its sockets, and the framed window is checked to be centred. 2. Against
# the stand-in service, whose answer to a refresh is slow: the close box during that exchange ends
# the process at once (and the Windows program's requests carry only their own headers).
# usage: program_e2e.sh PROGRAM DEVSERVER OUT_DIR [PROBE_EXE]
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
. "$root/tests/support/e2e_lib.sh"
program=$1 devserver=$2 out=$3 probe=${4:-}
mkdir -p "$out"
need curl iconv base64 od xclip xmessage
start_xvfb
start_window_manager "$out/openbox.log"
if [ -n "$probe" ]; then
    wine() { "$root/scripts/wine-run" "$@"; }
    wineserver_of_prefix() { WINEPREFIX=${WINEPREFIX:-$root/build/wine} "$(command -v wineserver || echo /usr/lib/wine/wineserver)" "$@" 2>/dev/null || true; }
    wineserver_of_prefix -k
    run() { start_program wine "$program"; }
    texts() { timeout "$(time_left 20)" "$root/scripts/wine-run" "$probe"; }
    shot=$out/windows-
else
    start_accessibility_bus
    run() { start_program "$program"; }
    texts() { timeout "$(time_left 20)" /usr/bin/python3 "$root/tests/support/atspi_probe.py"; }
    shot=$out/
fi
# shows LINE: the program's windows, read from outside as a screen reader reads them, show LINE
# whole (NAME<TAB>TEXT for a control, LIST<TAB>LINE, VIEWER<TAB>TEXT, FOCUS<TAB>NAME); shows_all
# LINE...: each of them, in one reading.
E2E_SHOWN=$out/shown.txt
shows() { texts >"$E2E_SHOWN" 2>&1 && grep -qxF -- "$1" "$E2E_SHOWN"; }
# viewer_shows TEXT: the viewer holds the whole of TEXT (VIEWER<TAB>...) from its start; the Windows
# box holds its rows as lines of their own, so there the line breaks are not compared.
viewer_shows() {
    texts >"$E2E_SHOWN" 2>&1 && grep -qxF $'CARET\t0' "$E2E_SHOWN" || return 1
    if [ -n "$probe" ]; then sed 's/\\n//g' "$E2E_SHOWN" | grep -qxF -- "${1//\\n/}"; else grep -qxF -- "$1" "$E2E_SHOWN"; fi
}
main_window() {
    wait_for "the main window" 30 find_window 'Venmarra  - By .*'
    MAIN=$(find_window 'Venmarra  - By .*')
}

log="$out/devserver.log"
if [ -n "$probe" ]; then start_devserver "$devserver" "$log"; else start_devserver_by_its_sockets "$devserver" "$log"; fi
run
main_window
# What the Windows program tells a screen reader, heard as one hears it, through WinEvents (the
# Linux program's is heard by Orca itself, in screen_reader_e2e.sh): heard LINE.
if [ -n "$probe" ]; then
    heard_log=$out/heard.txt
    "$root/scripts/wine-run" "$probe" --listen >"$heard_log" 2>/dev/null &
    E2E_PIDS+=($!)
    wait_for "the WinEvent listener" 20 grep -qx LISTENING "$heard_log"
fi
heard() { [ -z "$probe" ] || grep -qxF -- "$1" "$heard_log"; }
if [ -z "$probe" ]; then  # Wine draws its own frame inside the window manager's
    framed() { xprop -id "$MAIN" _NET_FRAME_EXTENTS | grep -q '='; }
    wait_for "the frame" 10 framed
    # frame_centre_offsets: twice how far the frame's centre lies from the screen's, in x and y.
    frame_centre_offsets() {
        local left right top bottom info x y width height
        read -r left right top bottom <<<"$(xprop -id "$MAIN" _NET_FRAME_EXTENTS | sed 's/.*= //; s/,//g')"
        # The client area as the X server has it (xdotool counts a reparented window's offset twice).
        info=$(xwininfo -id "$MAIN")
        x=$(sed -n 's/.*Absolute upper-left X: *//p' <<<"$info") y=$(sed -n 's/.*Absolute upper-left Y: *//p' <<<"$info")
        width=$(sed -n 's/.*Width: *//p' <<<"$info") height=$(sed -n 's/.*Height: *//p' <<<"$info")
        echo $(( (2 * (x - left) + width + left + right) - 1280 )) $(( (2 * (y - top) + height + top + bottom) - 800 ))
    }
    centred() { local dx dy; read -r dx dy < <(frame_centre_offsets); [ "${dx#-}" -le 2 ] && [ "${dy#-}" -le 2 ]; }
    wait_for "the framed window to be centred within a pixel: $(frame_centre_offsets)" 5 centred
fi

count() { grep -c "$1" "$log" || true; }
at_least() { [ "$(count "$1")" -ge "$2" ]; }
# log_quiet_for SECONDS: the service has logged nothing for that long.
log_quiet_for() { [ $(($(date +%s) - $(stat -c %Y "$log"))) -ge "$1" ]; }
# shows_text WINDOW [NOT_PICTURE]: the window shows text (the many shades of smoothed glyphs; an
# empty viewer has a few dozen colours at most), and not the picture whose pixel signature is
# NOT_PICTURE. Wine smooths with fewer shades: there the probe reads the viewer's text instead.
shows_text() {
    [ -n "$probe" ] && return 0
    import -window "$1" "$out/.shot.png" 2>/dev/null || return 1
    [ "$(identify -format %k "$out/.shot.png")" -gt 64 ] && [ "$(identify -format %# "$out/.shot.png")" != "${2:-}" ]
}

# At start: the design's captions, the focus on 生成邮箱, and Enter presses it.
shows_all() { local line; texts >"$E2E_SHOWN" 2>&1 || return 1; for line; do grep -qxF -- "$line" "$E2E_SHOWN" || return 1; done; }
wait_for "the design's captions" 20 shows_all $'Command1\t生成邮箱' $'Command2\t循环接收' $'Command3\t停止' \
    $'Frame1\t邮箱信息' $'Label1\t临时邮箱名：' $'Label5\t邮箱名：' $'Label6\t是否可用：' $'Label2\t开始时间：' \
    $'Label3\t结束时间：' $'Label7\t双击读取邮件' $'Label4\t' $'Text1\t'
# What a screen reader is told each thing is, in the order it reads them (the probe checks that
# order); on Linux, where the bus says.
[ -n "$probe" ] || wait_for "the roles" 10 shows_all $'ROLE\tForm1\tframe' $'ROLE\tCommand1\tpush button' \
    $'ROLE\tFrame1\tpanel' $'ROLE\tLabel1\tlabel' $'ROLE\tText1\ttext' $'ROLE\tLabel4\tstatus bar' \
    $'ROLE\tLabel7\tlabel' $'ROLE\tList1\tlist' $'LABELLED\tText1\t临时邮箱名：' $'LABELS\tLabel1\tText1' $'LABELS\tLabel7\tList1'
bounded 10 xdotool windowactivate --sync "$MAIN" || fail "the main window could not be activated"
wait_for "the focus on 生成邮箱" 10 shows $'FOCUS\tCommand1'
xdotool key Return
wait_for "the first refresh" 20 at_least 'HTTP POST refresh' 1
name=$(sed -n 's/.*HTTP GET \/ -> 200 allocated \([a-z0-9]*\)@.*/\1/p' "$log" | head -n1)
domain=$(sed -n 's/.*HTTP GET \/ -> 200 allocated [a-z0-9]*@\([^ ]*\).*/\1/p' "$log" | head -n1)
[ -n "$name" ] || fail "no mailbox was allocated"
wait_for "the address, the status line and the mailbox's user and state" 10 shows_all $'Text1\t'"$name@$domain" \
    $'Label4\t检测完成.' $'Label5\t用户名：'"$name" $'Label6\t是否可用：可用'
wait_for "the new address told" 10 heard $'ALERT\t邮箱获取完成：'"$name@$domain"
# The focus moved on to 循环接收; Tab goes round the design's order, past the disabled 生成邮箱.
wait_for "the focus on 循环接收" 10 shows $'FOCUS\tCommand2'
for next in List1 Command3 Text1 Command2; do
    xdotool key Tab
    wait_for "Tab to $next" 10 shows $'FOCUS\t'"$next"
done

"$root/scripts/send-mail" "$name@$domain" "$SMTP_PORT" >/dev/null
click_at "$MAIN" 2407 2767                                # 循环接收
wait_for "a refresh after the first mail" 20 at_least 'HTTP POST refresh' 2
wait_for "the loop's caption" 10 shows $'Command2\t循环中..'
wait_for "the loop's start told" 10 heard $'ALERT\t开始循环接收'
# Mail asks for attention only while another window is active: the desktop's mark, the urgency hint
# (or the state that a window manager derives from it), until the main window is activated. Wine 8
# passes no mark for FlashWindowEx on to the window manager: there this is not seen.
marked() { xprop -id "$MAIN" WM_HINTS _NET_WM_STATE | grep -qiE 'urgen|DEMANDS_ATTENTION'; }
# A line as the list shows it; on Linux, as a screen reader reads it: sender and subject.
list_line() { if [ -n "$probe" ]; then echo "LIST	$1|$2|$3"; else echo "LIST	$1，$2"; fi; }
first_line=$(list_line '测试发件人 <sender@example.test>' '你好，这是一封测试邮件' 1000)
wait_for "the first mail's line" 20 shows "$first_line"
wait_for "the first mail told" 10 heard $'ALERT\t新邮件：测试发件人 <sender@example.test>，你好，这是一封测试邮件'
if [ -z "$probe" ]; then
    ! marked || fail "a mail that came while the window was active marked it"
    xmessage -geometry +0+0 'another window' >/dev/null 2>&1 &
    E2E_PIDS+=($!)
    wait_for "the other window" 10 find_window xmessage
    bounded 10 xdotool windowactivate --sync "$(find_window xmessage)" || fail "the other window could not be activated"
fi
# The second mail: a GB18030 sender and subject, and a quoted-printable GB18030 body.
gb() { printf '%s' "$1" | iconv -f UTF-8 -t GB18030; }
qp() { gb "$1" | od -An -tx1 -v | tr -d ' \n' | sed 's/../=&/g' | tr 'a-f' 'A-F'; }
printf 'From: =?GB18030?B?%s?= <second@example.test>\r\nSubject: =?GB18030?B?%s?=\r\nMIME-Version: 1.0\r\nContent-Type: text/plain; charset=GB18030\r\nContent-Transfer-Encoding: quoted-printable\r\n\r\n%s\r\n%s\r\n' \
    "$(gb '第二位' | base64 -w0)" "$(gb '国标编码的第二封邮件' | base64 -w0)" "$(qp '这封邮件的正文用 GB18030 编码，')" "$(qp '以 quoted-printable 传送。')" \
    >"$out/second.eml"
curl -sS --max-time 30 --url "smtp://127.0.0.1:$SMTP_PORT" --mail-from second@example.test --mail-rcpt "$name@$domain" \
    --upload-file "$out/second.eml"
refreshes=$(count 'HTTP POST refresh')
wait_for "two refreshes after the second mail" 20 at_least 'HTTP POST refresh' $((refreshes + 2))
wait_for "both mails' lines" 10 shows_all "$first_line" "$(list_line '第二位 <second@example.test>' 国标编码的第二封邮件 1001)"
if [ -z "$probe" ]; then
    wait_for "the attention mark while another window is active" 10 marked
    bounded 10 xdotool windowactivate --sync "$MAIN" || fail "the main window could not be activated"
    unmarked() { ! marked; }
    wait_for "the mark to clear once the window is active" 10 unmarked
fi
click_at "$MAIN" 3547 2767                                # 停止
# Stopped: no request for three poll intervals. A loop that went on would never leave it quiet.
wait_for "the loop to stop" 15 log_quiet_for 4
wait_for "the loop's end" 10 shows $'Command2\t循环结束'
wait_for "the loop's end told" 10 heard $'ALERT\t循环结束'
stopped=$(count 'HTTP POST refresh')
[ "$(count "HTTP POST refresh $name (owner)")" = "$stopped" ] || fail "a refresh went out without the mailbox's cookie"
import -window "$MAIN" "${shot}main-window.png"

# The service restarted: the program's mailbox, cookie and mails are the same (on Linux, where
# the service is started by its sockets, on the same ports).
if [ -z "$probe" ]; then
    restart_devserver_by_its_sockets "$devserver" "$log"
    wait_for "the service to start again" 10 bash -c "[ \$(grep -c 'Listening on' '$log') -ge 4 ]"
fi
# The first mail by the keyboard: from 停止, Tab passes the disabled 生成邮箱 on its way to the list,
# whose cursor marks its first line; Enter opens that line.
first_text=$'VIEWER\t你好！\\n\\n这是 Venmarra 本地服务收到的一封测试邮件。\\n第三行：Hello from scripts/send-mail.'
second_text=$'VIEWER\t这封邮件的正文用 GB18030 编码，\\n以 quoted-printable 传送。'
wait_for "the focus on 停止" 10 shows $'FOCUS\tCommand3'
for next in Text1 Command2 List1; do
    xdotool key Tab
    wait_for "Tab to $next" 10 shows $'FOCUS\t'"$next"
done
wait_for "the line that Enter opens told" 10 heard "${first_line/LIST/LINE}"
xdotool key Return
wait_for "the mail viewer" 10 find_window '邮件内容'
VIEWER=$(find_window '邮件内容')
wait_for "the first mail's mail-info request" 10 grep -q "HTTP POST mailinfo $name mid 1000 (owner)" "$log"
wait_for "the viewer to show the mail" 10 shows_text "$VIEWER"
wait_for "the first mail's whole text, from its start" 10 viewer_shows "$first_text"
[ -n "$probe" ] || shows $'ROLE\tForm2\tframe' || fail "the viewer is no frame to a screen reader"
import -window "$VIEWER" "${shot}mail-viewer.png"
# Closed, the viewer hands the keys back to the list, where Down and Enter open the second line.
close_window "$VIEWER"
wait_for "the viewer to close" 10 bash -c "! xwininfo -id $VIEWER >/dev/null 2>&1"
wait_for "the focus back on the list" 10 shows $'FOCUS\tList1'
xdotool key Down Return
wait_for "the second mail's mail-info request" 10 grep -q "HTTP POST mailinfo $name mid 1001 (owner)" "$log"
wait_for "a new viewer" 10 find_window '邮件内容'
VIEWER=$(find_window '邮件内容')
wait_for "the second mail's whole text, from its start" 10 viewer_shows "$second_text"
import -window "$VIEWER" "${shot}mail-viewer-gb18030.png"
# With the loop running again, a double-click on the first line beside the open viewer brings it
# to the front with that mail, the keys in its box: Ctrl+A, Ctrl+C copy the whole mail.
bounded 10 xdotool windowactivate --sync "$MAIN" || fail "the main window could not be activated"
click_at "$MAIN" 2407 2767                                # 循环接收
wait_for "the loop's caption" 10 shows $'Command2\t循环中..'
click_at "$MAIN" 8250 700 2
wait_for "the first mail's second mail-info request" 10 at_least "HTTP POST mailinfo $name mid 1000 (owner)" 2
wait_for "the viewer to show the first mail again" 10 viewer_shows "$first_text"
viewer_active() { [ "$(xdotool getactivewindow)" = "$VIEWER" ]; }
wait_for "the viewer to be the active window" 10 viewer_active
xdotool key ctrl+a ctrl+c
copied() { [ "$(timeout 5 xclip -o -selection clipboard | tr -d '\r')" = $'你好！\n\n这是 Venmarra 本地服务收到的一封测试邮件。\n第三行：Hello from scripts/send-mail.' ]; }
wait_for "the whole mail on the clipboard" 10 copied
[ "$(count 'SMTP mail for .* delivered')" = 2 ] || fail "expected two delivered mails"
grep -q ' -> [45][0-9][0-9]' "$log" && fail "the service refused a request: $(grep ' -> [45]' "$log" | head -n3)"
# The service gone while the viewer is the active window: the failed poll's box comes in front.
stop_service
box_active() { [ "$(xdotool getactivewindow getwindowname)" = 提示 ]; }
wait_for "the failed poll's box to be the active window" 10 box_active
if [ -n "$probe" ]; then wineserver_of_prefix -k; else kill "$PROGRAM_PID"; fi
wait_for "the program's windows to go" 15 bash -c "! xwininfo -id $MAIN >/dev/null 2>&1"

log="$out/stand-in.log"
start_stand_in "$log" --post-delay-ms 60000
run
main_window
click_at "$MAIN" 847 2767                                 # 生成邮箱
slow_refresh_sent() { [ "$(request_count "$log")" -ge 2 ]; }
wait_for "the slow refresh" 10 slow_refresh_sent
if [ -n "$probe" ]; then
    # Only the program's own headers and those that WinHTTP must send: no agent name, no keep-alive.
    headers=$(grep '^HEADER' "$log" | sort | uniq -c | sed 's/^ *//')
    expected=$(printf '%s\n' '1 HEADER Content-Length: 30' '1 HEADER Content-Type: application/x-www-form-urlencoded' \
        '1 HEADER Cookie: sid=e2e0123456789abcdef0123456789abcdef01234' '2 HEADER Host: '"$VENMARRA_SERVICE_HOST")
    [ "$headers" = "$expected" ] || fail "unexpected headers: $headers"
fi
close_window "$MAIN"
# The refresh is held for a minute: an end within 15 s is the close box's, not the exchange's.
ends_cleanly "the close box during an exchange" 15
echo "2 passed, 0 failed: ${probe:+under Wine: }the program with the local service and SMTP, and the close box during an exchange (screenshots in $out)"
