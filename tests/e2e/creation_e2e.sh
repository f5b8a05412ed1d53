#!/usr/bin/env bash
# The real program under Xvfb: "生成邮箱" against the stand-in service, then the failure path.
# usage: creation_e2e.sh VENMARRA E2E_SERVICE X11_CLOSE SERVICE_HOST OUT_DIR
here=$(cd "$(dirname "$0")" && pwd)
. "$here/lib.sh"
venmarra=$1 service=$2 x11_close=$3 host=$4 out=$5
mkdir -p "$out"
[[ $host =~ ^127\.0\.0\.1:([0-9]+)$ ]] || { echo "SKIP: the program is built for $host, not a local port"; exit 0; }
port=${BASH_REMATCH[1]}
port_is_free "$port" || fail "port $port is taken; stop whatever listens there (make run?) and run again"
start_xvfb

# find_window NAME: the id of the first visible window whose whole title is NAME.
find_window() { xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n1; }

run_program() {  # run_program LOG [--no-name]: starts the service and the program
    local log=$1; shift
    : >"$log"
    "$service" --port "$port" --log "$log" "$@" &
    E2E_PIDS+=($!); SERVICE_PID=$!
    wait_for "the stand-in service" 10 port_listens "$port"
    "$venmarra" &
    PROGRAM_PID=$!
    E2E_PIDS+=($PROGRAM_PID)
    wait_for "the main window" 15 find_window 'Venmarra  - By .*'
    MAIN=$(find_window 'Venmarra  - By .*')
}

click_command1() {  # the centre of Command1: twips (120 + 1455/2, 2520 + 495/2) / 15
    xdotool mousemove --window "$MAIN" 56 184 click 1
}

# 1. A good home page: one GET with neither Cookie nor Content-Type, the program runs on.
log="$out/creation-service.log"
run_program "$log"
click_command1
wait_for "the allocation request" 10 grep -q '^REQUEST GET /' "$log"
sleep 1
kill -0 "$PROGRAM_PID" || fail "the program ended after a good allocation"
[ "$(request_count "$log")" = 1 ] || fail "expected exactly one request, saw $(request_count "$log")"
! grep -qi '^HEADER Cookie:' "$log" || fail "the GET carried a Cookie header"
! grep -qi '^HEADER Content-Type:' "$log" || fail "the GET carried a Content-Type header"
import -window "$MAIN" "$out/main-window.png"
"$x11_close" "$MAIN"
wait "$PROGRAM_PID" && status=0 || status=$?
[ "$status" = 0 ] || fail "closing the window ended the program with status $status"
kill "$SERVICE_PID"; wait "$SERVICE_PID" 2>/dev/null || true

# 2. A page without a name: the box says so and the program ends when it is closed.
log="$out/failure-service.log"
run_program "$log" --no-name
click_command1
wait_for "the failure box" 10 find_window 'Venmarra'
box=$(find_window 'Venmarra')
import -window "$box" "$out/failure-box.png"
xdotool windowfocus --sync "$box" key Return
wait "$PROGRAM_PID" && status=0 || status=$?
[ "$status" = 0 ] || fail "the program ended with status $status after the failure box"
[ "$(request_count "$log")" = 1 ] || fail "expected one request on the failure path"
echo "1 passed, 0 failed: creation end to end (screenshots in $out)"
