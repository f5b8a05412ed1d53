#!/usr/bin/env bash
# Runs a program (under Wine for an .exe) with the stand-in service started for it, its address in
# VENMARRA_SERVICE_HOST: the HTTP clients' tests.
# usage: with_stand_in.sh PROGRAM [ARGUMENT...]
root=$(cd "$(dirname "$0")/../.." && pwd)
. "$root/tests/support/e2e_lib.sh"

start_stand_in /dev/null
if [[ $1 == *.exe ]]; then "$root/scripts/wine-run" "$@"; else "$@"; fi
