#!/usr/bin/env bash
# The real program under Xvfb against the stand-in service: the whole road of a run (create,
# first refresh, loop, a new mail listed, stop, double-click, content shown, close), then the
# failure path of creation.
# usage: program_e2e.sh VENMARRA E2E_SERVICE X11_CLOSE SERVICE_HOST OUT_DIR
here=$(cd "$(dirname "$0")" && pwd)
. "$here/lib.sh"
venmarra=$1 service=$2 x11_close=$3 host=$4 out=$5
mkdir -p "$out"
[[ $host =~ ^127\.0\.0\.1:([0-9]+)$ ]] || { echo "SKIP: the program is built for $host, not a local port"; exit 0; }
port=${BASH_REMATCH[1]}
port_is_free "$port" || fail "port $port is taken; stop whatever listens there (make run?) and run again"
start_xvfb

# find_window NAME: the id of the first visible window whose whole title matches NAME.
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

# click X Y: a click at window pixel (X, Y) of the main window; the centres of the buttons are
# their twips places divided by 15.
click() { xdotool mousemove --window "$MAIN" "$1" "$2" click 1; }
COMMAND1=(56 184) COMMAND2=(161 184) COMMAND3=(236 184) FIRST_LINE=(400 50)

requests_of() { awk '/^REQUEST /{method=$2} /^BODY /{print method " " substr($0, 6)}' "$1"; }
has_request_count() { [ "$(request_count "$1")" -ge "$2" ]; }

# 1. The whole road.
log="$out/road-service.log"
run_program "$log"
click "${COMMAND1[@]}"
wait_for "creation and the first refresh" 10 has_request_count "$log" 2
click "${COMMAND2[@]}"
wait_for "three polls of the loop" 15 has_request_count "$log" 5
click "${COMMAND3[@]}"
sleep 1.5   # the stop takes effect at the end of the current wait
polls=$(request_count "$log")
sleep 1.5
[ "$(request_count "$log")" = "$polls" ] || fail "the loop went on polling after the stop"
xdotool mousemove --window "$MAIN" "${FIRST_LINE[@]}" click --repeat 2 --delay 60 1
wait_for "the mail viewer" 10 find_window '邮件内容'
VIEWER=$(find_window '邮件内容')
sleep 0.3
import -window "$VIEWER" "$out/mail-viewer.png"
"$x11_close" "$VIEWER"
sleep 0.3
import -window "$MAIN" "$out/main-window.png"
kill -0 "$PROGRAM_PID" || fail "closing the viewer ended the program"
"$x11_close" "$MAIN"
wait "$PROGRAM_PID" && status=0 || status=$?
[ "$status" = 0 ] || fail "closing the main window ended the program with status $status"

requests_of "$log" >"$out/road-requests.txt"
expected_refresh='POST data=e2ebox7&type=refresh&arg='
[ "$(sed -n 1p "$out/road-requests.txt")" = "GET " ] || fail "the first request is not the GET of the home page"
[ "$(grep -c "^$expected_refresh\$" "$out/road-requests.txt")" = "$polls" ] \
    || [ "$(grep -c "^$expected_refresh\$" "$out/road-requests.txt")" = "$((polls - 1))" ] \
    || fail "unexpected refresh requests: $(cat "$out/road-requests.txt")"
[ "$(tail -n1 "$out/road-requests.txt")" = 'POST data=e2ebox7&type=mailinfo&arg=f%3D4711' ] \
    || fail "the last request is not the mail-info request for the listed mail"
[ "$(grep -c '^REQUEST GET' "$log")" = 1 ] || fail "more than one GET"
[ "$(grep -ci '^HEADER Cookie: sid=e2e0123456789abcdef0123456789abcdef01234$' "$log")" \
    = "$(grep -c '^REQUEST POST' "$log")" ] || fail "a POST went out without the learned cookie"
kill "$SERVICE_PID"; wait "$SERVICE_PID" 2>/dev/null || true

# 2. A page without a name: the box says so and the program ends when it is closed.
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
echo "2 passed, 0 failed: the whole road and the failure path, end to end (screenshots in $out)"
