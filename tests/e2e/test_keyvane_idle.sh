#!/bin/bash
# Resident and idle with 100 entries: over a minute Keyvane uses no measurable CPU and its
# threads hardly wake; its working set and the size of Keyvane.exe stay small.
# Prints the figures.
# Run: tests/e2e/run_all.sh keyvane_idle
set -u
cd "$(dirname "$0")"
source lib/e2e.sh
source lib/keyvane.sh

IDLE_S=${IDLE_S:-60}
e2e_start || exit 1
app=$(e2e_install_keyvane)
# 100 entries on distinct combinations: four modifier sets over A to Y (Ctrl+Alt+Z is
# the control entry's)
{
    n=0
    for mods in Ctrl+Alt Ctrl+Shift Alt+Shift Ctrl+Alt+Shift; do
        for k in {A..Y}; do
            [ $n -lt 100 ] || break
            echo "항목 $n-P$n-$mods+$k-웹사이트 이동-example.org/$n-True-"
            n=$((n + 1))
        done
    done
} | kv_work_file 'C:\app\MyJob.ini'
kv_focus_probe
kv_start "$app" || { e2e_dump; exit 1; }
pid=$(kv_unix_pids "$app" | head -1)
e2e_check "Keyvane runs (host pid ${pid:-none})" test -n "$pid"

# cpu_ticks: user + system clock ticks of every thread; wakeups: context switches of all
cpu_ticks() { awk '{ sum += $14 + $15 } END { print sum }' /proc/"$pid"/task/*/stat; }
wakeups() { cat /proc/"$pid"/task/*/status | awk '/ctxt_switches/ { sum += $2 } END { print sum }'; }
sleep 3   # past the start's own work
t0=$(cpu_ticks) w0=$(wakeups)
sleep "$IDLE_S"
t1=$(cpu_ticks) w1=$(wakeups)
hz=$(getconf CLK_TCK)
cpu_ms=$(( (t1 - t0) * 1000 / hz ))
woke=$(( w1 - w0 ))
rss_kb=$(awk '/VmRSS/ { print $2 }' /proc/"$pid"/status)
exe_bytes=$(stat -c %s "$(e2e_unix_path "$app")")
threads=$(ls /proc/"$pid"/task | wc -l)
echo "FIGURES idle=${IDLE_S}s cpu_ms=$cpu_ms wakeups=$woke (of $w1 since start) threads=$threads rss_kb=$rss_kb exe_bytes=$exe_bytes start_ms=$KV_START_MS"
e2e_check "CPU time over ${IDLE_S} s idle is at most 10 ms ($cpu_ms ms)" test "$cpu_ms" -le 10
e2e_check "its threads woke at most 5 times in ${IDLE_S} s ($woke)" test "$woke" -le 5
e2e_check "Keyvane.exe is at most 1.5 MB ($exe_bytes bytes)" test "$exe_bytes" -le 1572864
e2e_check "a hotkey still answers after the idle minute" kv_settle
e2e_summary
