#!/bin/bash
# Restart, shut down and log off from a hotkey: the running programs are asked to end
# the session (WM_QUERYENDSESSION, WM_ENDSESSION) and then end; after a restart Keyvane
# comes back through its Run value.
#
# Under Wine, ExitWindowsEx runs "wineboot --end-session", which asks every window and
# then ends every program of the session; "--shutdown" (every call without EWX_REBOOT:
# shut down and log off alike) then ends the session's Wine processes for good, while
# without it wineboot starts the session again and runs the Run values.  A log off ends
# everything like a shutdown, since Wine has no other session to return to.  "--kill" or
# "--force" would mean EWX_FORCE or EWX_FORCEIFHUNG, which Keyvane does not ask for.
# Run: tests/e2e/run_all.sh keyvane_session
set -u
cd "$(dirname "$0")"
source lib/e2e.sh
source lib/keyvane.sh

e2e_start || exit 1
app=$(e2e_install_keyvane)
kv_work_file 'C:\app\MyJob.ini' <<'EOF'
다시 시작-P0-Ctrl+Alt+R-재 부팅-null-True-
끄기-P1-Ctrl+Alt+S-강제 종료-null-True-
로그오프-P2-Ctrl+Alt+L-로그 오프-null-True-
EOF
WINEBOOT_LOG=$E2E_RUN/logs/wineboot.log
WINEBOOT='C:\windows\system32\wineboot.exe'

# end_session_by <key>: presses it with the focus probe running and records the wineboot
# command line(s) it leads to in $WINEBOOT_LOG
end_session_by() {
    local watcher
    : > "$WINEBOOT_LOG"
    kv_watch_wineboot "$WINEBOOT_LOG" 20 &
    watcher=$!
    e2e_wait_file "$WINEBOOT_LOG" '^watching$' 10
    kv_press "$1"
    wait "$watcher"
}
# wineboot_ran <arguments>: exactly this wineboot command line was run
wineboot_ran() { grep -qxF "WINEBOOT $WINEBOOT $1" "$WINEBOOT_LOG"; }
# programs_asked_and_ended <keyvane pids>: the focus probe saw both session messages and
# ended, and so did Keyvane
programs_asked_and_ended() {
    e2e_check "the running program is asked whether the session may end" \
        e2e_wait_file "$(kv_focus_log)" '^ENDSESSION query' 10
    e2e_check "and told that it ends (WM_ENDSESSION wParam=1)" \
        e2e_wait_file "$(kv_focus_log)" '^ENDSESSION end=1 ' 10
    e2e_check "then the program is gone" kv_all_exited "$KV_FOCUS_PID"
    e2e_check "Keyvane itself ended with the session" kv_all_exited "$@"
}

echo "== restart"
kv_focus_probe 다시시작
kv_start "$app" || { e2e_dump; exit 1; }
keyvane=$(kv_unix_pids 'C:\app\Keyvane.exe')
e2e_check "(the Run value that brings Keyvane back is set)" kv_run_value_is 'C:\app\Keyvane.exe'
end_session_by ctrl+alt+r
programs_asked_and_ended $keyvane
e2e_check "Wine ran \"wineboot --end-session\": a restart, neither forced nor shut down" \
    wineboot_ran '--end-session'
# The restarted session runs the Run values: Keyvane starts again by itself.  Its last
# entry's hotkey is polled (hkcheck takes a free one for a moment, so polling the one the
# next step presses could cost it its registration); the entries before it come first.
e2e_check "after the restart Keyvane is running again (started from the Run value)" \
    kv_wait_hotkey taken ctrl+alt L 30
e2e_check "as a new process" test -n "$(kv_unix_pids 'C:\app\Keyvane.exe' | grep -vxF "$keyvane")"

echo "== shut down"
# The Keyvane the restart brought back does the shutdown.
keyvane=$(kv_unix_pids 'C:\app\Keyvane.exe')
kv_focus_probe 끄기
end_session_by ctrl+alt+s
programs_asked_and_ended $keyvane
e2e_check "Wine ran \"wineboot --end-session --shutdown\", not forced" wineboot_ran '--end-session --shutdown'
e2e_check "the whole Wine session is over (its server ended)" timeout 20 wineserver -w
e2e_check "and nothing came back" test -z "$(kv_unix_pids 'C:\app\Keyvane.exe')"

echo "== log off"
# A new session (the first program starts it), Keyvane started by the user.
kv_focus_probe 로그오프
kv_start "$app" || { e2e_dump; exit 1; }
keyvane=$(kv_unix_pids 'C:\app\Keyvane.exe')
end_session_by ctrl+alt+l
programs_asked_and_ended $keyvane
e2e_check "Wine ran \"wineboot --end-session --shutdown\", not forced" wineboot_ran '--end-session --shutdown'
e2e_check "the session is over" timeout 20 wineserver -w

e2e_stop
e2e_summary
