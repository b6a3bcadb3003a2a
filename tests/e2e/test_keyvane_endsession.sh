#!/bin/bash
# The end of the Windows session (log-off, shut-down) with unapplied edits in the editor
# asks the editor's question: 취소 keeps the session and Keyvane, 예 saves and lets it end,
# 아니요 lets it end with the file as it was; also with a modal dialog open.  During a
# multi-job's wait, the ending ends Keyvane at once and nothing more runs.  The session's
# messages come from a helper (sessioncheck.exe) and from "wineboot --end-session".
# Run: tests/e2e/run_all.sh keyvane_endsession
set -u
cd "$(dirname "$0")"
source lib/e2e.sh
source lib/keyvane.sh
source lib/ui.sh
source lib/editor.sh

ed_begin
kv_work_file 'C:\app\MyJob.ini' <<'EOF2'
첫째-P0-Ctrl+Alt+N-프로그램 실행-C:\e2e\probe.exe;ㅡㅡexit 첫째-True-
긴 대기-P1-Ctrl+Alt+L-다중작업 실행-Delay=10;P2-True-
대기 뒤-P2-null-프로그램 실행-C:\e2e\probe.exe;ㅡㅡexit 대기뒤-True-
EOF2
ed_open
session=$(e2e_install "$(e2e_tool sessioncheck)" tools)
OUT=$E2E_RUN/logs/session.out

# end_session: the helper asks Keyvane's windows in the background; its answers go to $OUT
end_session() { : > "$OUT"; e2e_run "$session" "$KV_WINPID" > "$OUT" 2>&1 & SESSION_JOB=$!; }
session_said() { e2e_wait_file "$OUT" "^$1" "${2:-20}"; }
kv_pid() { kv_unix_pids "$app" | head -1; }
# edit_description <text>: the first row's description gets <text> appended
edit_description() {
    ed_click_row "$1" &&
        ui_click "$ED" "$ED_SUBJECT" && xdotool key End && ui_type "$2" &&
        ui_wait 10 "the description edited" eval "ed_row P0 | grep -q '^$1$2'"
}
question_up() { ui_wid 알림말 20 >/dev/null && ui_box_has 알림말 '현재 단축키 설정이 변경되었습니다. 적용 하시겠습니까?'; }
hotkeys_free() { kv_wait_hotkey free 0x0003 0x4E 10 && kv_wait_hotkey free 0x000A 0x70 10; }
restart() { kv_start "$app" || { e2e_dump; exit 1; }; }

echo "== unapplied edits: Cancel"
pid=$(kv_pid)
edit_description 첫째 하나
end_session
e2e_check "the session's end asks the editor's question" question_up
ui_click 알림말 class:Button:2
e2e_check "Cancel refuses the ending" session_said 'QUERY FALSE'
wait "$SESSION_JOB"
sed 's/^/    | /' "$OUT"
e2e_check "Keyvane stays" kv_stays_running "$pid" 3
e2e_check "and answers its hotkeys" kv_settle
e2e_check "the editor still holds the edit" eval 'ed_row P0 | grep -q "^첫째하나"'
e2e_check "the file is as it was" ed_file_has 'C:\app\MyJob.ini' '^첫째-P0-'

echo "== unapplied edits: Yes"
end_session
e2e_check "asked again" question_up
ui_click 알림말 class:Button:0
e2e_check "Yes lets the session end" session_said 'ENDSESSION 1'
e2e_check "Keyvane ends" e2e_wait_exit "$pid" 10
e2e_check "the edit is saved" ed_file_has 'C:\app\MyJob.ini' '^첫째하나-P0-'
e2e_check "every combination is free" hotkeys_free

echo "== a modal dialog open: No"
restart
pid=$(kv_pid)
ed_show 'C:\app\MyJob.ini'
edit_description 첫째하나 둘
ui_menu "$ED" 편집 p
e2e_check "the options window is open" ui_wid 옵션 10
end_session
e2e_check "the question comes over it" question_up
ui_click 알림말 class:Button:1
e2e_check "No lets the session end" session_said 'ENDSESSION 1'
e2e_check "Keyvane ends" e2e_wait_exit "$pid" 10
e2e_check "the file is as it was" ed_file_has 'C:\app\MyJob.ini' '^첫째하나-P0-'

echo "== during a multi-job's wait"
restart
pid=$(kv_pid)
pressed=$(date +%s%3N)
kv_press ctrl+alt+l
e2e_check "Keyvane answers a hotkey during the wait" kv_settle
end_session
e2e_check "nothing to ask: the session may end" session_said 'ENDSESSION 1'
e2e_check "Keyvane ends within 3 s" e2e_wait_exit "$pid" 3
e2e_check "no question was asked" kv_no_window '^알림말$'
e2e_check "every combination is free" hotkeys_free
sleep $(( (pressed + 11000 - $(date +%s%3N)) / 1000 + 1 ))
e2e_check "the job after the delay never starts" kv_launches_are 0 'C:\e2e\probe.exe' '--exit 대기뒤'

echo "== wineboot --end-session"
restart
pid=$(kv_pid)
ed_show 'C:\app\MyJob.ini'
edit_description 첫째하나 셋
e2e_run wineboot --end-session > "$E2E_RUN/logs/wineboot.out" 2>&1 &
wineboot_job=$!
e2e_check "wineboot's ending asks the editor's question" question_up
ui_click 알림말 class:Button:0
e2e_check "Yes: Keyvane ends" e2e_wait_exit "$pid" 15
e2e_check "the edit is saved" ed_file_has 'C:\app\MyJob.ini' '^첫째하나셋-P0-'
# wineboot goes on to start the session again; the end of the test ends it.
kill "$wineboot_job" 2>/dev/null

e2e_stop
e2e_summary
