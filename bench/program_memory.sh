#!/usr/bin/env bash
# How much the real Linux program's peak memory (VmHWM, read from outside the process) rises when
# it opens a one-line mail of about 10 MB, from the first refresh to the mail all in its viewer.
# Prints "PEAK_RAISE_BYTES MAIL_BYTES".
# usage: bench/program_memory.sh ascii|chinese [BUILD_DIR]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
kind=$1 build=${2:-$root/build/dev}
. "$root/tests/support/e2e_lib.sh"
start_xvfb
start_window_manager "$(mktemp)"
start_stand_in "$(mktemp)" --mail "$kind" 10
mail_bytes=$STAND_IN_MAIL_BYTES
start_program "$build/src/qt/venmarra"
wait_for "the main window" 15 find_window 'Venmarra  - By .*'
main=$(find_window 'Venmarra  - By .*')
hwm() { awk '/^VmHWM:/{print $2}' "/proc/$PROGRAM_PID/status"; }
ticks() { awk '{print $14 + $15}' "/proc/$PROGRAM_PID/stat"; }
# idle: no CPU time spent for a second.
idle() { local before; before=$(ticks); sleep 1; [ "$(ticks)" = "$before" ]; }
bounded 10 xdotool windowactivate --sync "$main" || fail "the main window could not be activated"
xdotool key Return                                   # 生成邮箱, and the first refresh lists the mail
wait_for "the first refresh" 30 idle
before=$(hwm)
xdotool key Tab Return                               # 循环接收 has the focus; Tab to the list, Enter
wait_for "the viewer" 30 find_window '邮件内容'
wait_for "the mail all in the viewer" 120 idle
echo "before $before after $(hwm)" >&2
echo "$((($(hwm) - before) * 1024)) $mail_bytes"
