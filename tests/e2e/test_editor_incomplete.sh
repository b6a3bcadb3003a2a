#!/bin/bash
# A work file that cannot be read to its end (a line edited by hand): Keyvane starts
# without a word and runs what it read; the editor, when shown, says once in a box of its
# own at which line reading stopped and where the file will be kept at the next save;
# until then the tray icon's hint says the list was read only in part.
# Run: tests/e2e/run_all.sh editor_incomplete
set -u
cd "$(dirname "$0")"
source lib/e2e.sh
source lib/keyvane.sh
source lib/ui.sh
source lib/editor.sh

ed_begin
# The harness's control entry (for kv_settle) goes before the broken line: line 4.
e2e_write_cp949 'C:\app\MyJob.ini' <<EOF
첫째-P0-Ctrl+Alt+N-프로그램 실행-C:\e2e\probe.exe;ㅡㅡexit 첫째-True-
둘째-P1-Ctrl+Alt+M-프로그램 실행-C:\e2e\probe.exe;ㅡㅡexit 둘째-True-
$KV_CONTROL_ENTRY
손으로 고친 줄-P2
넷째-P3-Ctrl+Alt+K-프로그램 실행-C:\e2e\probe.exe;ㅡㅡexit 넷째-True-
EOF
work=$(e2e_unix_path 'C:\app\MyJob.ini')
before=$(md5sum < "$work")
NOTICE='작업 파일을 끝까지 읽지 못했습니다:\r\nC:\app\MyJob.ini\r\n\r\n4번째 줄에서 읽기를 멈추었습니다. 목록에는 그 앞의 항목만 있습니다.\r\n다음에 저장할 때 지금의 파일은 C:\app\MyJob.ini.bak 로 남겨 둡니다.'
# tip_is <text>: the hint of Keyvane's tray icon, as the tray holds it
tip_is() { e2e_run "$(e2e_tool ctlist)" --tray-tips | sed -n 's/^P\t//p' | grep -qxF -- "$1"; }
boxes_are() { [ "$(e2e_run "$(e2e_tool wincheck)" count 알림말)" = "$1" ]; }

kv_focus_probe
kv_start "$app" || { e2e_dump; exit 1; }
echo "== start-up"
kv_press ctrl+alt+m
e2e_check "the entries before the broken line run" kv_wait_launch 'C:\e2e\probe.exe' '--exit 둘째'
e2e_check "and no box came at start-up" boxes_are 0
e2e_check "the tray icon's hint says the list was read only in part" \
    ui_wait 10 "the hint" tip_is "키베인 (목록을 다 읽지 못함)"

echo "== the editor"
ed_show 'C:\app\MyJob.ini' || { e2e_dump; exit 1; }
e2e_check "a box comes with the editor" ui_wid 알림말 10
e2e_check "  saying at which line reading stopped and where the file will be kept" \
    ui_box_has 알림말 "$NOTICE"
e2e_check "  owned by the editor" \
    test "$(e2e_run "$(e2e_tool wincheck)" owner 알림말)" = "owner=$ED owner_enabled=0"
ui_focus 알림말 && xdotool key Return
e2e_check "Enter closes it" e2e_wait_gone '^알림말$' 10
e2e_check "the list holds the three entries read" ed_ids_are "P0 P1 P99"
e2e_check "the hint is plain again" ui_wait 10 "the hint" tip_is "키베인"

e2e_close "$(ui_wid "$ED" 5)"
e2e_check "the editor closes without a question" e2e_wait_gone "^$(_e2e_ere_quote "$ED")\$" 10
ed_show 'C:\app\MyJob.ini' || { e2e_dump; exit 1; }
kv_settle
e2e_check "shown again: no second box" boxes_are 0
e2e_check "the work file is as it was" test "$(md5sum < "$work")" = "$before"
e2e_summary
