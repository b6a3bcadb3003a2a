#!/bin/bash
# Multi-jobs ("다중작업 실행"): the jobs start in order with their delays, a hotkey pressed
# during a delay acts at once, a multi-job naming itself ends, a malformed delay is
# reported and stops what follows it, a failure box leaves the next job running while it
# is up, Keyvane sleeps through a long delay, and "끝내기"
# during a delay ends Keyvane at once with nothing more run.
# Run: tests/e2e/run_all.sh keyvane_multi
set -u
cd "$(dirname "$0")"
source lib/e2e.sh
source lib/keyvane.sh
source lib/ui.sh

e2e_start || exit 1
app=$(e2e_install_keyvane)
# Jobs without a hotkey of their own ("null"): each starts the probe, which logs and exits.
kv_work_file 'C:\app\MyJob.ini' <<'EOF'
첫 작업-P1-null-프로그램 실행-C:\e2e\probe.exe;ㅡㅡexit 다중1-True-
셋째 작업-P3-null-프로그램 실행-C:\e2e\probe.exe;ㅡㅡexit 다중3-True-
다중 작업-P2-Ctrl+Alt+M-다중작업 실행-P1;Delay=2;P3-True-
중간 작업-P4-Ctrl+Alt+N-프로그램 실행-C:\e2e\probe.exe;ㅡㅡexit 중간-True-
자기 호출-P20-Ctrl+Alt+S-다중작업 실행-P21;P20;P22-True-
자기 첫째-P21-null-프로그램 실행-C:\e2e\probe.exe;ㅡㅡexit 자기1-True-
자기 둘째-P22-null-다중작업 실행-P23;P20;P22-True-
자기 셋째-P23-null-프로그램 실행-C:\e2e\probe.exe;ㅡㅡexit 자기2-True-
형식 오류-P30-Ctrl+Alt+B-다중작업 실행-P31;P33;P32-True-
형식 안쪽-P33-null-다중작업 실행-P34;Delay=1e3;P35-True-
형식 1-P31-null-프로그램 실행-C:\e2e\probe.exe;ㅡㅡexit 형식1-True-
형식 2-P32-null-프로그램 실행-C:\e2e\probe.exe;ㅡㅡexit 형식2-True-
형식 3-P34-null-프로그램 실행-C:\e2e\probe.exe;ㅡㅡexit 형식3-True-
형식 4-P35-null-프로그램 실행-C:\e2e\probe.exe;ㅡㅡexit 형식4-True-
긴 대기-P40-Ctrl+Alt+L-다중작업 실행-Delay=10;P41-True-
대기 뒤-P41-null-프로그램 실행-C:\e2e\probe.exe;ㅡㅡexit 대기뒤-True-
실패 묶음-P50-Ctrl+Alt+F-다중작업 실행-P51;P52-True-
없는 것-P51-null-프로그램 실행-C:\e2e\없는.exe-True-
실패 뒤-P52-null-프로그램 실행-C:\e2e\probe.exe;ㅡㅡexit 실패뒤-True-
EOF

kv_focus_probe
kv_start "$app" || { e2e_dump; exit 1; }

# started_ms <n> <probe --exit name>: creation time (ms since 1970) of its n-th start
started_ms() {
    grep -F -- "cmdline=--exit $2" "$(e2e_launch_log)" | sed -n 's/^STARTED created_ms=\([0-9]*\) .*/\1/p' | sed -n "$1p"
}
# between <low> <value> <high>
between() { [ -n "$2" ] && [ "$1" -le "$2" ] && [ "$2" -le "$3" ]; }
now_ms() { date +%s%3N; }

echo "== jobs and delays"
kv_press ctrl+alt+m
e2e_check "the first job starts" kv_wait_launch 'C:\e2e\probe.exe' '--exit 다중1'
e2e_check "the job after the delay starts" kv_wait_launch 'C:\e2e\probe.exe' '--exit 다중3'
gap=$(( $(started_ms 1 다중3) - $(started_ms 1 다중1) ))
echo "  P1 to P3: $gap ms"
e2e_check "P3 starts 2.2 to 2.6 s after P1 (200 ms after P1, then 2 s)" between 2200 "$gap" 2600

# Again, with another hotkey pressed half a second into the wait: its action runs then,
# not after the multi-job.
kv_press ctrl+alt+m
sleep 0.5
pressed=$(now_ms)
kv_press ctrl+alt+n
e2e_check "the hotkey pressed during the delay starts its program" kv_wait_launch 'C:\e2e\probe.exe' '--exit 중간'
e2e_check "and the multi-job goes on" kv_wait_launches 2 'C:\e2e\probe.exe' '--exit 다중3'
mid=$(( $(started_ms 1 중간) - pressed ))
gap=$(( $(started_ms 2 다중3) - $(started_ms 2 다중1) ))
echo "  press to its program: $mid ms; P1 to P3: $gap ms"
e2e_check "it started within a second of the press" between -100 "$mid" 1000
e2e_check "before the job after the delay" test "$(started_ms 1 중간)" -lt "$(started_ms 2 다중3)"
e2e_check "and P3 still came 2.2 to 2.6 s after P1" between 2200 "$gap" 2600

echo "== a multi-job that names itself"
# P20 names itself, and P22, which names P20 and itself: each running one is skipped.
kv_press ctrl+alt+s
e2e_check "its first job runs" kv_wait_launch 'C:\e2e\probe.exe' '--exit 자기1'
e2e_check "the job of the multi-job it names runs" kv_wait_launch 'C:\e2e\probe.exe' '--exit 자기2'
e2e_check "Keyvane answers the next hotkey" kv_settle
e2e_check "each job ran once" test "$(kv_launch_count 'C:\e2e\probe.exe' '--exit 자기1')/$(kv_launch_count 'C:\e2e\probe.exe' '--exit 자기2')" = 1/1

echo "== a malformed delay"
# P30 runs P31, then P33, whose "Delay=1e3" stops P33 and P30 both.
kv_press ctrl+alt+b
e2e_check "the jobs before the bad delay run" kv_wait_launch 'C:\e2e\probe.exe' '--exit 형식3'
box=$(e2e_wait_window '^알림말$' 10)
e2e_check "a message box titled 알림말 says so" test -n "$box"
[ -n "$box" ] && e2e_focus "$box" && xdotool key Return
e2e_check "the box closes with Enter" e2e_wait_gone '^알림말$' 10
e2e_check "Keyvane answers the next hotkey" kv_settle
e2e_check "the job before the nested multi-job ran" kv_launches_are 1 'C:\e2e\probe.exe' '--exit 형식1'
e2e_check "nothing after the bad delay ran, inside or outside" \
    test "$(kv_launch_count 'C:\e2e\probe.exe' '--exit 형식4')/$(kv_launch_count 'C:\e2e\probe.exe' '--exit 형식2')" = 0/0
e2e_check "one box only" kv_no_window '^알림말$'

echo "== a failure box while the multi-job goes on"
kv_press ctrl+alt+f
e2e_check "the failed job's box comes up" ui_wid 알림말 10
e2e_check "the next job starts while it is up" kv_wait_launch 'C:\e2e\probe.exe' '--exit 실패뒤'
e2e_check "and the box is still up" ui_wid 알림말 1
ui_focus 알림말 && xdotool key Return
e2e_check "the box closes with Enter" e2e_wait_gone '^알림말$' 10

echo "== CPU while a multi-job waits"
kvpid=$(kv_unix_pids 'C:\app\Keyvane.exe' | head -1)
e2e_check "Keyvane's host process is found" test -n "$kvpid"
# utime + stime; the name field holds no blank here (it is the wine loader's)
cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat" 2>/dev/null || echo 0; }
pressed=$(now_ms)
kv_press ctrl+alt+l
sleep 1
t0=$(now_ms) c0=$(cpu_ticks "$kvpid")
sleep 8
t1=$(now_ms) c1=$(cpu_ticks "$kvpid")
hz=$(getconf CLK_TCK)
# per mille of one core, from CPU ticks over wall milliseconds
permille=$(( (c1 - c0) * 1000 * 1000 / hz / (t1 - t0) ))
echo "  Keyvane (host pid $kvpid) used $((c1 - c0)) ticks of 1/$hz s in $((t1 - t0)) ms: ${permille} per mille of a core"
e2e_check "Keyvane uses at most 1% of a core during the 10 s delay" test "$permille" -le 10
e2e_check "the job after the 10 s delay starts" kv_wait_launch 'C:\e2e\probe.exe' '--exit 대기뒤' 10
late=$(( $(started_ms 1 대기뒤) - pressed ))
echo "  press to the job after the delay: $late ms"
e2e_check "10 s after the press" between 10000 "$late" 11000

echo "== ending during a wait"
pressed=$(now_ms)
kv_press ctrl+alt+l
e2e_check "Keyvane answers a hotkey during the wait" kv_settle
e2e_check "\"끝내기\" is chosen from the tray menu during the wait" kv_tray_choose 6
e2e_check "Keyvane ends within 3 s, not after the delay" e2e_wait_exit "$kvpid" 3
ended=$(( $(now_ms) - pressed ))
echo "  press to the end of Keyvane: $ended ms"
e2e_check "its icon is gone" e2e_wait_gone '^Wine System Tray$' 5
# The job after the delay would have started 10 s after the press.
sleep $(( (pressed + 11000 - $(now_ms)) / 1000 + 1 ))
e2e_check "the job after the delay never starts" kv_launches_are 1 'C:\e2e\probe.exe' '--exit 대기뒤'

e2e_stop
e2e_summary
