#!/usr/bin/env bash
# What a blind user hears: the Linux program beside Debian's screen reader, Orca, driven by the
# keyboard alone, against the local service. Orca writes everything it would say to its debug
# file as SPEECH OUTPUT lines (its speech goes to a silent device); each step is checked against
# what it said after that step: the new address, receiving started, a new mail's sender and
# subject, nothing for the polls that bring none, the line that Enter opens when Tab reaches the
# list, receiving ended, and a 提示 box with its 确定 button.
# usage: screen_reader_e2e.sh PROGRAM DEVSERVER OUT_DIR
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
. "$root/tests/support/e2e_lib.sh"
program=$1 devserver=$2 out=$3
rm -rf "$out" && mkdir -p "$out"
need orca speech-dispatcher gsettings curl
# Orca, its speech server and the desktop settings keep to this run's folders.
export HOME=$out/home XDG_CONFIG_HOME=$out/home/.config XDG_DATA_HOME=$out/home/.local/share \
    XDG_CACHE_HOME=$out/home/.cache XDG_RUNTIME_DIR=$out/run
mkdir -p "$XDG_CONFIG_HOME/speech-dispatcher" "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
printf '%s\n' 'AudioOutputMethod "alsa"' 'AudioALSADevice "null"' 'AddModule "dummy" "sd_dummy" ""' \
    'DefaultModule dummy' >"$XDG_CONFIG_HOME/speech-dispatcher/speechd.conf"
start_xvfb
start_accessibility_bus
gsettings set org.gnome.desktop.interface toolkit-accessibility true
start_window_manager "$out/openbox.log"
speech-dispatcher -s -t 0 >"$out/speechd.log" 2>&1 &
E2E_PIDS+=($!)
wait_for "the speech server" 10 test -S "$XDG_RUNTIME_DIR/speech-dispatcher/speechd.sock"
ORCA_LOG=$out/orca.log
/usr/bin/python3 "$root/tests/support/orca_line_buffered.py" "$ORCA_LOG" >"$out/orca.out" 2>&1 &
E2E_PIDS+=($!)
wait_for "Orca" 30 grep -q "SPEECH OUTPUT: 'Screen reader on.'" "$ORCA_LOG"

# heard_from_now: what Orca says after this point is what `said` looks at.
heard_from_now() { MARK=$(stat -c %s "$ORCA_LOG"); }
# spoken: each thing said since the mark, one a line, without Orca's voice settings.
spoken() { tail -c +$((MARK + 1)) "$ORCA_LOG" | sed -n "s/.* - SPEECH OUTPUT: '\(.*\)'[ ]*{.*/\1/p"; }
# said TEXT: Orca said TEXT, whole, since the mark.
said() { spoken | grep -qxF -- "$1"; }
fail_unsaid() { fail "$1; Orca said: $(spoken | tr '\n' '|')"; }
hear() { wait_for "Orca to say '$1'" "${2:-15}" said "$1" || true; said "$1" || fail_unsaid "Orca did not say '$1'"; }

log=$out/devserver.log
start_devserver "$devserver" "$log"
start_program "$program"
wait_for "the main window" 30 find_window 'Venmarra  - By .*'
MAIN=$(find_window 'Venmarra  - By .*')
bounded 10 xdotool windowactivate --sync "$MAIN" || fail "the main window could not be activated"
MARK=0
hear 'Venmarra  - By Venmarra 开发组 frame.'  # Orca follows the window: the keys go to 生成邮箱

heard_from_now
xdotool key Return
wait_for "the mailbox" 20 grep -q 'HTTP GET / -> 200 allocated ' "$log"
address=$(sed -n 's/.*HTTP GET \/ -> 200 allocated \([^ ]*\).*/\1/p' "$log" | head -n1)
hear "notification 邮箱获取完成：$address."

heard_from_now
xdotool key Return  # the focus moved on to 循环接收
hear 'notification 开始循环接收.'
count() { grep -c "$1" "$log" || true; }
polls() { [ "$(count 'HTTP POST refresh')" -ge "$1" ]; }
# Polls that bring nothing say nothing: not the status line's two changes, not the list.
heard_from_now
wait_for "eight polls" 15 polls $(($(count 'HTTP POST refresh') + 8))
[ -z "$(spoken)" ] || fail_unsaid "eight polls without mail were spoken"

heard_from_now
"$root/scripts/send-mail" "$address" "$SMTP_PORT" >/dev/null
line='测试发件人 <sender@example.test>，你好，这是一封测试邮件'
hear "notification 新邮件：$line."

# Tab from 循环接收 to the list: the line that Enter opens is said, and Enter opens it.
heard_from_now
xdotool key Tab
hear "$line."
xdotool key Return
wait_for "the mail-info request of the line said" 10 grep -q 'HTTP POST mailinfo .* mid 1000 (owner)' "$log"
wait_for "the mail viewer" 10 find_window '邮件内容'
heard_from_now
close_window "$(find_window '邮件内容')"
hear "$line."  # back on the list, the same line

heard_from_now
xdotool key Tab
hear '停止 push button.'
heard_from_now
xdotool key Return
hear 'notification 循环结束.'

# A failed poll's 提示 box, in Chinese to its button.
stop_service
heard_from_now
xdotool key Tab  # past the disabled 生成邮箱 to the address
hear "$address"
heard_from_now
xdotool key Tab
hear '循环结束 push button.'
heard_from_now
xdotool key Return
hear 'alert 提示.'
hear '确定 push button.'
echo "1 passed, 0 failed: what Orca says for each step (its log in $ORCA_LOG)"
