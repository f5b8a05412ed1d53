#!/usr/bin/env bash
# The real program under Xvfb against a scripted stand-in service: the close box of either window
# during a slow exchange, then the failure path of creation. (The whole road runs against the
# local service in devserver_e2e.sh; the requests themselves are checked in creation_test.cpp.)
# usage: program_e2e.sh VENMARRA X11_CLOSE OUT_DIR
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../support/e2e_lib.sh"
venmarra=$1 x11_close=$2 out=$3
mkdir -p "$out"
start_xvfb

# find_window NAME: the id of the first visible window whose whole title matches NAME.
find_window() { xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n1; }

run_program() {  # run_program LOG [--no-name]: starts the service and the program
    start_stand_in "$@"
    "$venmarra" &
    PROGRAM_PID=$!
    E2E_PIDS+=($PROGRAM_PID)
    wait_for "the main window" 15 find_window 'Venmarra  - By .*'
    MAIN=$(find_window 'Venmarra  - By .*')
}

# click X Y: a click at window pixel (X, Y) of the main window; the centres of the buttons are
# their twips places divided by 15.
click() { xdotool mousemove --window "$MAIN" "$1" "$2" click 1; }
COMMAND1=(56 184)

has_request_count() { [ "$(request_count "$1")" -ge "$2" ]; }

# 1. The close box while the refresh's answer is still awaited ends the program at once.
log="$out/slow-service.log"
run_program "$log" --post-delay-ms 4000
click "${COMMAND1[@]}"
wait_for "the slow refresh" 10 has_request_count "$log" 2
"$x11_close" "$MAIN"
program_ended() {  # gone, or a zombie that has not been waited for yet
    local state; state=$(ps -o stat= -p "$PROGRAM_PID") || return 0
    [[ $state == Z* ]]
}
wait_for "the program's end within a second of the close box" 1 program_ended
wait "$PROGRAM_PID" && status=0 || status=$?
[ "$status" = 0 ] || fail "closing the main window during an exchange ended the program with status $status"
kill "$SERVICE_PID"; wait "$SERVICE_PID" 2>/dev/null || true

# 2. The viewer closed while the next mail's answer is awaited opens again with that mail.
log="$out/viewer-service.log"
run_program "$log" --mail --mailinfo-delay-ms 2000
click "${COMMAND1[@]}"
wait_for "creation and the first refresh" 10 has_request_count "$log" 2
# At the line's right end: the viewer opens centred, over the middle of the list.
double_click_first_line() { xdotool mousemove --window "$MAIN" 540 50 click --repeat 2 --delay 80 1; }
viewer_shown() { [ -n "$(find_window '邮件内容')" ]; }
double_click_first_line
wait_for "the viewer" 10 viewer_shown
double_click_first_line
wait_for "the second mail-info request" 10 has_request_count "$log" 4
"$x11_close" "$(find_window '邮件内容')"
viewer_gone() { ! viewer_shown; }
wait_for "the viewer to close during the exchange" 1 viewer_gone
wait_for "the viewer to open again with the mail" 10 viewer_shown
import -window "$(find_window '邮件内容')" "$out/viewer-reopened.png"
"$x11_close" "$MAIN"
wait "$PROGRAM_PID" || fail "the program ended with an error"
kill "$SERVICE_PID"; wait "$SERVICE_PID" 2>/dev/null || true

# 3. A page without a name: the box says so and the program ends when it is closed.
log="$out/failure-service.log"
run_program "$log" --no-name
click "${COMMAND1[@]}"
wait_for "the failure box" 10 find_window 'Venmarra'
box=$(find_window 'Venmarra')
import -window "$box" "$out/failure-box.png"
xdotool windowfocus --sync "$box" key Return
wait "$PROGRAM_PID" && status=0 || status=$?
[ "$status" = 0 ] || fail "the program ended with status $status after the failure box"
[ "$(request_count "$log")" = 1 ] || fail "expected one request on the failure path"
echo "3 passed, 0 failed: closing the window or the viewer during an exchange, and the failure path, end to end (screenshots in $out)"
