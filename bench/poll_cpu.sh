#!/usr/bin/env bash
# CPU time and voluntary context switches of the real program while its receive loop polls the
# stand-in service, over SECONDS (default 60).
# usage: bench/poll_cpu.sh [SECONDS] [BUILD_DIR]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-60} build=${2:-$root/build/dev}
. "$root/tests/support/e2e_lib.sh"
start_xvfb
log=${POLL_LOG:-$(mktemp)}
start_stand_in "$log"
start_program "$build/src/qt/venmarra"
pid=$PROGRAM_PID
wait_for "the main window" 15 find_window 'Venmarra  - By .*'
main=$(find_window 'Venmarra  - By .*')
# 生成邮箱 until the mailbox is made: a click before the window takes input is lost, and the
# button is disabled once it has worked.
make_mailbox() { [ "$(request_count "$log")" -ge 2 ] || { click_at "$main" 847 2767; false; }; }
wait_for "the mailbox" 10 make_mailbox
xdotool mousemove --window "$main" 161 184 click 1
sleep 2

ticks() { awk '{print $14 + $15}' "/proc/$pid/stat"; }
switches() { cat /proc/"$pid"/task/*/status | awk '/^voluntary_ctxt_switches/{s += $2} END {print s}'; }
hz=$(getconf CLK_TCK)
t0=$(ticks) s0=$(switches) r0=$(request_count "$log")
sleep "$seconds"
t1=$(ticks) s1=$(switches) r1=$(request_count "$log")
cycles=$((r1 - r0))
awk -v t="$((t1 - t0))" -v hz="$hz" -v s="$seconds" -v c="$cycles" -v v="$((s1 - s0))" 'BEGIN {
    cpu = t / hz
    printf "polled %d times in %d s\n", c, s
    printf "CPU time %.2f s = %.3f%% of one core\n", cpu, 100 * cpu / s
    printf "voluntary context switches (main-thread tasks still alive) %d = %.1f per poll\n", v, (c ? v / c : 0)
}'
