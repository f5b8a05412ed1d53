#!/usr/bin/env bash
# Runs the Windows HTTP client's tests under Wine against the stand-in service (tests/support/stand_in.py) on a port the system picks.
# usage: exchange_test.sh EXCHANGE_TESTS_EXE
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
ports=$(mktemp)
python3 "$root/tests/support/stand_in.py" >"$ports" &
server=$!
trap 'kill $server 2>/dev/null; rm -f "$ports"' EXIT
for _ in $(seq 100); do [ -s "$ports" ] && break; sleep 0.1; done
port=$(head -n1 "$ports")
[ -n "$port" ] || { echo "FAIL: the answers did not start" >&2; exit 1; }
VENMARRA_TEST_PORT=$port WINEDEBUG=-all "$root/scripts/wine-run" "$1"
