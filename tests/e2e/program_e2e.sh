#!/usr/bin/env bash
# The real program under Xvfb and a window manager. 1. Against the local service, with mail
# delivered by SMTP: the framed main window is centred; create a mailbox, poll, receive a UTF-8
# and a GB18030 mail, stop, read both in the viewer, close. 2. Against the stand-in service, whose
# answer to a refresh is slow: the close box during that exchange ends the process at once.
# usage: program_e2e.sh VENMARRA DEVSERVER OUT_DIR
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
. "$root/tests/support/e2e_lib.sh"
venmarra=$1 devserver=$2 out=$3
mkdir -p "$out"
start_xvfb
start_window_manager "$out/openbox.log"

log="$out/devserver.log"
start_devserver "$devserver" "$log"
start_program "$venmarra"
wait_for "the main window" 15 find_window 'Venmarra  - By .*'
MAIN=$(find_window 'Venmarra  - By .*')
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

count() { grep -c "$1" "$log" || true; }
at_least() { [ "$(count "$1")" -ge "$2" ]; }
# log_quiet_for SECONDS: the service has logged nothing for that long.
log_quiet_for() { [ $(($(date +%s) - $(stat -c %Y "$log"))) -ge "$1" ]; }
# shows_text WINDOW [NOT_PICTURE]: the window shows text (the many shades of smoothed glyphs; an
# empty viewer has a few dozen colours at most), and not the picture whose pixel signature is
# NOT_PICTURE.
shows_text() {
    import -window "$1" "$out/.shot.png" 2>/dev/null || return 1
    [ "$(identify -format %k "$out/.shot.png")" -gt 64 ] && [ "$(identify -format %# "$out/.shot.png")" != "${2:-}" ]
}

click_at "$MAIN" 847 2767                                 # 生成邮箱
wait_for "the first refresh" 10 at_least 'HTTP POST refresh' 1
name=$(sed -n 's/.*HTTP GET \/ -> 200 allocated \([a-z0-9]*\)@.*/\1/p' "$log" | head -n1)
domain=$(sed -n 's/.*HTTP GET \/ -> 200 allocated [a-z0-9]*@\([^ ]*\).*/\1/p' "$log" | head -n1)
[ -n "$name" ] || fail "no mailbox was allocated"

"$root/scripts/send-mail" "$name@$domain" "$SMTP_PORT" >/dev/null
click_at "$MAIN" 2407 2767                                # 循环接收
wait_for "a refresh after the first mail" 10 at_least 'HTTP POST refresh' 2
# The second mail: a GB18030 sender and subject, and a quoted-printable GB18030 body.
gb() { printf '%s' "$1" | iconv -f UTF-8 -t GB18030; }
qp() { gb "$1" | od -An -tx1 -v | tr -d ' \n' | sed 's/../=&/g' | tr 'a-f' 'A-F'; }
printf 'From: =?GB18030?B?%s?= <second@example.test>\r\nSubject: =?GB18030?B?%s?=\r\nMIME-Version: 1.0\r\nContent-Type: text/plain; charset=GB18030\r\nContent-Transfer-Encoding: quoted-printable\r\n\r\n%s\r\n%s\r\n' \
    "$(gb '第二位' | base64 -w0)" "$(gb '国标编码的第二封邮件' | base64 -w0)" "$(qp '这封邮件的正文用 GB18030 编码，')" "$(qp '以 quoted-printable 传送。')" \
    >"$out/second.eml"
curl -sS --url "smtp://127.0.0.1:$SMTP_PORT" --mail-from second@example.test --mail-rcpt "$name@$domain" \
    --upload-file "$out/second.eml"
refreshes=$(count 'HTTP POST refresh')
wait_for "two refreshes after the second mail" 10 at_least 'HTTP POST refresh' $((refreshes + 2))
click_at "$MAIN" 3547 2767                                # 停止
# Stopped: no request for three poll intervals. A loop that went on would never leave it quiet.
wait_for "the loop to stop" 15 log_quiet_for 4
stopped=$(count 'HTTP POST refresh')
[ "$(count "HTTP POST refresh $name (owner)")" = "$stopped" ] || fail "a refresh went out without the mailbox's cookie"

click_at "$MAIN" 6000 750 2                               # the first line
wait_for "the mail viewer" 10 find_window '邮件内容'
VIEWER=$(find_window '邮件内容')
wait_for "the first mail's mail-info request" 10 grep -q "HTTP POST mailinfo $name mid 1000 (owner)" "$log"
wait_for "the viewer to show the mail" 10 shows_text "$VIEWER"
import -window "$VIEWER" "$out/mail-viewer.png"
click_at "$MAIN" 8250 1000 2                              # the second line, beside the viewer
wait_for "the second mail's mail-info request" 10 grep -q "HTTP POST mailinfo $name mid 1001 (owner)" "$log"
wait_for "the viewer to show the second mail" 10 shows_text "$VIEWER" "$(identify -format %# "$out/mail-viewer.png")"
import -window "$VIEWER" "$out/mail-viewer-gb18030.png"
close_window "$VIEWER"
wait_for "the viewer to close" 10 bash -c "! xwininfo -id $VIEWER >/dev/null 2>&1"
import -window "$MAIN" "$out/main-window.png"
close_window "$MAIN"
ends_cleanly "closing the main window"
[ "$(count 'SMTP mail for .* delivered')" = 2 ] || fail "expected two delivered mails"
stop_service

log="$out/stand-in.log"
start_stand_in "$log" --post-delay-ms 4000
start_program "$venmarra"
wait_for "the main window" 15 find_window 'Venmarra  - By .*'
MAIN=$(find_window 'Venmarra  - By .*')
click_at "$MAIN" 847 2767                                 # 生成邮箱
slow_refresh_sent() { [ "$(request_count "$log")" -ge 2 ]; }
wait_for "the slow refresh" 10 slow_refresh_sent
close_window "$MAIN"
ends_at_once "the close box during an exchange"
echo "2 passed, 0 failed: the program with the local service and SMTP, and the close box during an exchange (screenshots in $out)"
