#!/bin/bash
# Keyvane at start: one copy only (a new one replaces the running one and its hotkeys
# work at once), the Run value that starts it with Windows, the hidden editor that
# Ctrl+Win+F1 shows with the work file in its title.
# Run: tests/e2e/run_all.sh keyvane_startup
set -u
cd "$(dirname "$0")"
source lib/e2e.sh
source lib/keyvane.sh
source lib/ui.sh

e2e_start || exit 1
app=$(e2e_install_keyvane)
kv_work_file 'C:\app\MyJob.ini' <<'EOF'
첫째-P0-Ctrl+Alt+N-프로그램 실행-C:\e2e\probe.exe;ㅡㅡexit 첫째-True-
EOF
# A second installation whose Config.ini names a work file elsewhere.
other=$(e2e_install_keyvane '다른 곳')
kv_work_file 'C:\작업\내 단축키.ini' <<'EOF'
다른 곳-P0-Ctrl+Alt+O-프로그램 실행-C:\e2e\probe.exe;ㅡㅡexit 다른곳-True-
EOF
kv_config 'C:\다른 곳' '[Etc]' 'LastWorkList_Path=C:\작업\내 단축키.ini'
kv_focus_probe

echo "== first start: the Run value"
# No Config.ini: Keyvane sets itself to start with Windows, for every user.  A per-user
# value left from earlier would start a second copy, so it goes.
kv_set_run_value "$KV_USER_RUN_KEY" 'C:\old\Keyvane.exe'
e2e_check "(a per-user Run value from earlier is there)" kv_run_value_is 'C:\old\Keyvane.exe' "$KV_USER_RUN_KEY"
kv_start "$app" || { e2e_dump; exit 1; }
e2e_check "HKLM Run value \"Keyvane\" holds the exe's full path" kv_run_value_is 'C:\app\Keyvane.exe'
e2e_check "the old per-user Run value is gone" kv_run_value_is '' "$KV_USER_RUN_KEY"

echo "== the editor"
# Keyvane starts without a window; Ctrl+Win+F1 brings up the editor.
e2e_check "no editor window at start" kv_no_window '키베인'
kv_press ctrl+super+F1
e2e_check "Ctrl+Win+F1 shows the editor: \" 키베인 v1.5 - C:\\app\\MyJob.ini\"" \
    e2e_wait_window "$(kv_editor_re 'C:\app\MyJob.ini')" 10

echo "== a second copy replaces the first"
# The user starts Keyvane again (same exe), now with StartUp=0 in Config.ini.
first=$(kv_unix_pids 'C:\app\Keyvane.exe')
e2e_check "one copy running before" test "$(echo "$first" | wc -w)" = 1
kv_config 'C:\app' '[Config]' 'StartUp=0'
kv_set_run_value "$KV_USER_RUN_KEY" 'C:\app\Keyvane.exe'
e2e_check "(a per-user Run value is there again)" kv_run_value_is 'C:\app\Keyvane.exe' "$KV_USER_RUN_KEY"
kv_start "$app" 3 0x4E || { e2e_dump; exit 1; }
# Pressed as soon as the new copy is up: its hotkeys are there at once.
kv_press ctrl+alt+n
e2e_check "the new copy's hotkey works right after its start" kv_wait_launch 'C:\e2e\probe.exe' '--exit 첫째'
e2e_check "the new copy held Ctrl+Alt+N as soon as it was up" test "$KV_HOTKEYS" = "taken taken"
e2e_check "the first copy has ended" kv_all_exited $first
e2e_check "its editor window went with it" e2e_wait_gone "$(kv_editor_re 'C:\app\MyJob.ini')" 5
e2e_check "exactly one copy runs now" test "$(kv_unix_pids 'C:\app\Keyvane.exe' | wc -l)" = 1
kv_settle
e2e_check "one press, one start: the old copy did not act as well" kv_launches_are 1 'C:\e2e\probe.exe' '--exit 첫째'
# StartUp=0: Keyvane no longer starts with Windows, whoever had set it.
e2e_check "StartUp=0 removed the HKLM Run value that was there" kv_run_value_is ''
e2e_check "and the per-user one" kv_run_value_is '' "$KV_USER_RUN_KEY"

echo "== a copy from another folder replaces it too"
# Same file name in another folder: still the same program, so the running one ends.
second=$(kv_unix_pids 'C:\app\Keyvane.exe')
kv_start "$other" 3 0x4F || { e2e_dump; exit 1; }
kv_press ctrl+alt+o
e2e_check "the new copy runs the entries of the work file its Config.ini names" \
    kv_wait_launch 'C:\e2e\probe.exe' '--exit 다른곳'
e2e_check "the copy in C:\\app has ended" kv_all_exited $second
e2e_check "nobody holds its Ctrl+Alt+N any more" test "$(e2e_hkcheck ctrl+alt N)" = free
e2e_check "the Run value now holds the new path, Hangul and blank included, in quotes" \
    kv_run_value_is '"C:\다른 곳\Keyvane.exe"'
kv_press ctrl+super+F1
e2e_check "its editor's title names that work file" \
    e2e_wait_window "$(kv_editor_re 'C:\작업\내 단축키.ini')" 10

echo "== the closing question belongs to the editor"
# Another program (or the taskbar) closes the editor while it is not the active window:
# the question must still be the editor's own box, and a second close must not ask again.
title=" 키베인 v1.5 - C:\작업\내 단축키.ini"
wincheck() { e2e_run "$(e2e_tool wincheck)" "$@"; }
ui_click "$title" Shift      # a change: the editor asks at closing
e2e_focus "$KV_FOCUS"
wincheck close "$title"
if e2e_wait_window '^알림말$' 10 >/dev/null; then
    e2e_check "the question is owned by the editor, which it disables" \
        test "$(wincheck owner '알림말')" = "owner=$title owner_enabled=0"
    wincheck close "$title"
    kv_settle
    e2e_check "a second close while it is up asks nothing more" test "$(wincheck count '알림말')" = 1
    e2e_focus "$(xdotool search --onlyvisible --name '^알림말$' | head -1)" && e2e_key Escape
    e2e_check "Cancel keeps the editor open" e2e_wait_gone '^알림말$' 10
    e2e_check "one editor window, still shown" test "$(wincheck count "$title")" = 1
else
    e2e_bad "closing the changed editor from another program asked nothing"
fi

e2e_stop
e2e_summary
