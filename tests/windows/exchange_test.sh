#!/usr/bin/env bash
# Runs the Windows HTTP client's tests under Wine against the stand-in service, whose address they
# read from VENMARRA_SERVICE_HOST.
# usage: exchange_test.sh EXCHANGE_TESTS_EXE
root=$(cd "$(dirname "$0")/../.." && pwd)
. "$root/tests/support/e2e_lib.sh"

start_stand_in /dev/null
"$root/scripts/wine-run" "$1"
