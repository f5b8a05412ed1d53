#!/usr/bin/env bash
# The real program under Xvfb against the stand-in service: the close box during a slow exchange
# ends the process at once, and the failure box of creation ends it when answered. (The whole road
# runs against the local service in devserver_e2e.sh; the requests are checked in creation_test.cpp.)
# usage: program_e2e.sh VENMARRA X11_CLOSE OUT_DIR
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../support/e2e_lib.sh"
venmarra=$1 x11_close=$2 out=$3
mkdir -p "$out"
start_xvfb


run_program() {  # run_program LOG [--no-name]: starts the service and the program
    start_stand_in "$@"
    start_program "$venmarra"
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
ends_at_once "the close box during an exchange"
stop_service

# 2. A page without a name: the box says so and the program ends when it is closed.
log="$out/failure-service.log"
run_program "$log" --no-name
click "${COMMAND1[@]}"
wait_for "the failure box" 10 find_window 'Venmarra'
box=$(find_window 'Venmarra')
import -window "$box" "$out/failure-box.png"
xdotool windowfocus --sync "$box" key Return
ends_cleanly "answering the failure box"
[ "$(request_count "$log")" = 1 ] || fail "expected one request on the failure path"
echo "2 passed, 0 failed: closing the window during an exchange, and the failure path, end to end (screenshots in $out)"
