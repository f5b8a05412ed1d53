# Shared steps of the end-to-end runs: a private X server, the stand-in service, the program.
set -euo pipefail

E2E_PIDS=()
cleanup() {  # last started first, so that the X server goes after its clients
    local i
    for ((i = ${#E2E_PIDS[@]} - 1; i >= 0; i--)); do
        kill "${E2E_PIDS[i]}" 2>/dev/null || true
        wait "${E2E_PIDS[i]}" 2>/dev/null || true
    done
}
trap cleanup EXIT

fail() { echo "FAIL: $*" >&2; exit 1; }

# wait_for DESCRIPTION SECONDS COMMAND...: polls COMMAND every 0.1 s until it succeeds.
wait_for() {
    local what=$1 seconds=$2; shift 2
    local tries=$((seconds * 10))
    until "$@" >/dev/null 2>&1; do
        tries=$((tries - 1))
        [ "$tries" -gt 0 ] || fail "timed out waiting for $what"
        sleep 0.1
    done
}

start_xvfb() {
    local fdfile; fdfile=$(mktemp)
    Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$fdfile" >/dev/null 2>&1 &
    E2E_PIDS+=($!)
    wait_for "Xvfb" 10 test -s "$fdfile"
    export DISPLAY=":$(head -n1 "$fdfile")"
    rm -f "$fdfile"
    wait_for "the X server to accept clients" 10 xdotool getdisplaygeometry
}

port_is_free() { ! (exec 3<>"/dev/tcp/127.0.0.1/$1") 2>/dev/null; }
port_listens() { (exec 3<>"/dev/tcp/127.0.0.1/$1") 2>/dev/null; }

# request_count LOG: how many requests the stand-in service has logged.
request_count() { grep -c '^REQUEST ' "$1" 2>/dev/null || true; }
