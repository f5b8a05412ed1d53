# Shared steps of the end-to-end runs: a private X server, the stand-in service, the program.
set -euo pipefail

E2E_PIDS=() E2E_FOLDERS=()
cleanup() {  # last started first, so that the X server goes after its clients
    local i pid tries
    for ((i = ${#E2E_PIDS[@]} - 1; i >= 0; i--)); do
        pid=${E2E_PIDS[i]} tries=50
        kill "$pid" 2>/dev/null || true
        # One that does not end within 5 s of being asked (Orca may not) is made to.
        while kill -0 "$pid" 2>/dev/null && [ $((tries -= 1)) -gt 0 ]; do sleep 0.1; done
        kill -9 "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
    [ ${#E2E_FOLDERS[@]} -eq 0 ] || rm -rf "${E2E_FOLDERS[@]}"
}
# new_store: a folder of its own for the local service's store, removed after the run.
new_store() { local folder; folder=$(mktemp -d); E2E_FOLDERS+=("$folder"); echo "$folder"; }
trap cleanup EXIT

# fail WHY: ends the run; what the program last showed a probe (E2E_SHOWN) follows the reason.
fail() {
    echo "FAIL: $*" >&2
    [ ! -s "${E2E_SHOWN:-}" ] || sed 's/^/    shown: /' "$E2E_SHOWN" >&2
    exit 1
}
# need TOOL...: each tool is there, or the run fails with its name.
need() { local tool; for tool; do command -v "$tool" >/dev/null || fail "needs $tool (scripts/bootstrap installs it)"; done; }

# wait_for DESCRIPTION SECONDS COMMAND...: runs COMMAND every 0.1 s until it succeeds, for SECONDS
# in all; a command that may take long bounds itself by what is left (time_left).
now_ms() { date +%s%3N; }
wait_for() {
    local what=$1 seconds=$2; shift 2
    local outer=${E2E_DEADLINE_MS:-}
    E2E_DEADLINE_MS=$(($(now_ms) + seconds * 1000))
    until "$@" >/dev/null 2>&1; do
        [ "$(now_ms)" -lt "$E2E_DEADLINE_MS" ] || fail "timed out after $seconds s waiting for $what"
        sleep 0.1
    done
    E2E_DEADLINE_MS=$outer
}
# time_left [MAX]: whole seconds left to the wait that runs (at least 1; MAX, 30 by default, outside one).
time_left() {
    local max=${1:-30}
    [ -n "${E2E_DEADLINE_MS:-}" ] || { echo "$max"; return; }
    local left=$(((E2E_DEADLINE_MS - $(now_ms) + 999) / 1000))
    echo $((left < 1 ? 1 : left > max ? max : left))
}
# bounded SECONDS COMMAND...: COMMAND, which could wait for ever (xdotool's --sync), ended after SECONDS.
bounded() { local seconds=$1; shift; timeout --kill-after=2 "$seconds" "$@"; }

start_xvfb() {
    need Xvfb xdotool xprop xwininfo wmctrl import identify openbox
    local fdfile; fdfile=$(mktemp)
    # -noreset: no server reset as the last client leaves, which would turn away one connecting then.
    Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp -noreset 3>"$fdfile" >/dev/null 2>&1 &
    E2E_PIDS+=($!)
    wait_for "Xvfb" 10 test -s "$fdfile"
    export DISPLAY=":$(head -n1 "$fdfile")"
    rm -f "$fdfile"
    wait_for "the X server to accept clients" 10 xdotool getdisplaygeometry
}

# start_accessibility_bus: a session bus with the accessibility bus on it, which the Qt programs
# started after it serve, so that a probe reads their windows as a screen reader does.
start_accessibility_bus() {
    need dbus-launch /usr/libexec/at-spi-bus-launcher dbus-send
    /usr/bin/python3 -c 'import pyatspi' 2>/dev/null || fail "needs python3-pyatspi (scripts/bootstrap installs it)"
    eval "$(dbus-launch --sh-syntax)"
    E2E_PIDS+=("$DBUS_SESSION_BUS_PID")
    /usr/libexec/at-spi-bus-launcher --launch-immediately >/dev/null 2>&1 &
    E2E_PIDS+=($!)
    wait_for "the accessibility bus" 10 dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus org.a11y.Bus.GetAddress
    export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
}

# start_window_manager LOG: openbox, which frames the windows as a desktop's window manager does.
# A loaded machine may take long to start it, and it may fail to take the screen at its first try.
start_window_manager() {
    wm_ready() { xprop -root _NET_SUPPORTING_WM_CHECK | grep -q 'window id'; }
    local try
    for try in 1 2; do
        openbox --sm-disable >>"$1" 2>&1 &
        local pid=$!; E2E_PIDS+=($pid)
        local tries=300
        while ! wm_ready >/dev/null 2>&1 && kill -0 "$pid" 2>/dev/null && [ $((tries -= 1)) -gt 0 ]; do sleep 0.1; done
        wm_ready >/dev/null 2>&1 && return 0
        kill "$pid" 2>/dev/null || true
    done
    fail "no window manager (try $try): $(tail -n 5 "$1")"
}

support=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

# start_stand_in LOG [OPTION...]: the stand-in service (stand_in.py) on a port that the system
# picks, handed to the programs started after it in VENMARRA_SERVICE_HOST; with --mail, the size
# of its mail in STAND_IN_MAIL_BYTES.
start_stand_in() {
    need python3
    local log=$1 ports; shift; ports=$(mktemp)
    : >"$log"
    python3 "$support/stand_in.py" --log "$log" "$@" >"$ports" &
    SERVICE_PID=$!; E2E_PIDS+=($SERVICE_PID)
    wait_for "the stand-in service" 10 test -s "$ports"
    export VENMARRA_SERVICE_HOST="127.0.0.1:$(head -n1 "$ports")"
    STAND_IN_MAIL_BYTES=$(sed -n 2p "$ports")
    rm -f "$ports"
}

# start_devserver DEVSERVER LOG: the local service with both of its ports picked by the system;
# the HTTP one goes to VENMARRA_SERVICE_HOST, the SMTP one to SMTP_PORT.
start_devserver() {
    local store; store=$(new_store)
    "$1" --http-port 0 --smtp-port 0 --store "$store" 2>"$2" &
    SERVICE_PID=$!; E2E_PIDS+=($SERVICE_PID)
    wait_for "the local service" 10 grep -q 'listening: ' "$2"
    local line; line=$(grep -m1 'listening: ' "$2")
    [[ $line =~ HTTP\ http://(127\.0\.0\.1:[0-9]+)/.*SMTP\ 127\.0\.0\.1:([0-9]+) ]] || fail "no ports in: $line"
    export VENMARRA_SERVICE_HOST=${BASH_REMATCH[1]}
    SMTP_PORT=${BASH_REMATCH[2]}
}

# start_devserver_by_its_sockets DEVSERVER LOG: the local service as systemd starts it: two
# listening sockets on ports that the test picks, named "http" and "smtp", handed to the service
# when the first client connects (systemd-socket-activate); the ports are exported as above.
start_devserver_by_its_sockets() {
    local ports http smtp
    ports=$(python3 -c 'import socket
s = [socket.socket() for _ in range(2)]
for x in s: x.bind(("127.0.0.1", 0))
print(*[x.getsockname()[1] for x in s])')
    read -r http smtp <<<"$ports"
    E2E_SOCKETS=("$http" "$smtp" "$(new_store)")
    : >"$2"
    restart_devserver_by_its_sockets "$1" "$2"
}
# restart_devserver_by_its_sockets DEVSERVER LOG: the service stopped, if it runs, and started
# again as above, on the same ports and the same store.
restart_devserver_by_its_sockets() {
    [ -z "${SERVICE_PID:-}" ] || stop_service
    local http=${E2E_SOCKETS[0]} smtp=${E2E_SOCKETS[1]}
    systemd-socket-activate -l "127.0.0.1:$http" -l "127.0.0.1:$smtp" --fdname=http:smtp "$1" \
        --store "${E2E_SOCKETS[2]}" 2>>"$2" &
    SERVICE_PID=$!; E2E_PIDS+=($SERVICE_PID)
    wait_for "the sockets" 10 grep -q "Listening on 127.0.0.1:$smtp" "$2"
    export VENMARRA_SERVICE_HOST=127.0.0.1:$http
    SMTP_PORT=$smtp
}

# find_window NAME: the id of the first visible window whose whole title matches NAME.
find_window() { xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n1; }
# click_at WINDOW X Y [CLICKS]: clicks at a place of the main window's design, in twips: the
# window's width, 8835 twips, tells how large a twip is at the desktop's font.
click_at() {
    local width; width=$(xwininfo -id "$1" | sed -n 's/.*Width: *//p')
    xdotool mousemove --window "$1" $(($2 * width / 8835)) $(($3 * width / 8835)) click --repeat "${4:-1}" --delay 80 1
}
# close_window WINDOW: the window's close box, through the window manager.
close_window() { wmctrl -ic "$1"; }
start_program() { "$@" & PROGRAM_PID=$!; E2E_PIDS+=($PROGRAM_PID); }
# ends_cleanly WHAT [SECONDS]: the program (PROGRAM_PID) ends with status 0 within SECONDS (30) of WHAT.
ends_cleanly() {
    program_ended() { local state; state=$(ps -o stat= -p "$PROGRAM_PID") || return 0; [[ $state == Z* ]]; }
    wait_for "the program's end after $1" "${2:-30}" program_ended
    local status=0
    wait "$PROGRAM_PID" || status=$?
    [ "$status" = 0 ] || fail "$1 ended the program with status $status"
}
stop_service() { kill "$SERVICE_PID"; wait "$SERVICE_PID" 2>/dev/null || true; }

# request_count LOG: how many requests the stand-in service has logged.
request_count() { grep -c '^REQUEST ' "$1" 2>/dev/null || true; }
