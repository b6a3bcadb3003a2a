#!/bin/bash
# Edits in the editor reach the registered hotkeys only at Apply, and until then each
# registered hotkey keeps running the entry it was registered for: deleting a row above it
# or changing its combination in the fields does not hand it to another entry.
# Run: tests/e2e/run_all.sh editor_hotkeys
set -u
cd "$(dirname "$0")"
source lib/e2e.sh
source lib/keyvane.sh
source lib/ui.sh
source lib/editor.sh

ed_begin
kv_work_file 'C:\app\MyJob.ini' <<'EOF'
첫째-P0-Ctrl+Alt+N-프로그램 실행-C:\e2e\probe.exe;ㅡㅡexit 첫째-True-
둘째-P1-Ctrl+Alt+M-프로그램 실행-C:\e2e\probe.exe;ㅡㅡexit 둘째-True-
EOF
ed_open

echo "== a row deleted above"
ed_click_row 첫째
xdotool key Delete
ui_wait 10 "P0 deleted" ed_ids_are 'P1 P99'
kv_press ctrl+alt+m
e2e_check "Ctrl+Alt+M still runs 둘째, now the first row" kv_wait_launch 'C:\e2e\probe.exe' '--exit 둘째'
e2e_check "the last entry's hotkey runs that entry (it does not show the editor)" kv_settle
kv_press ctrl+alt+n
kv_settle
e2e_check "the deleted entry's Ctrl+Alt+N runs nothing" kv_launches_are 0 'C:\e2e\probe.exe' '--exit 첫째'
e2e_check "nor the entry that took its row" kv_launches_are 1 'C:\e2e\probe.exe' '--exit 둘째'

echo "== a combination changed in the fields"
ed_click_row 둘째
ui_pick "$ED" "$ED_KEYS" K
ui_wait 10 "Ctrl+Alt+K" ed_row_is P1 $'둘째\tP1\tCtrl+Alt+K\t프로그램 실행\tC:\\e2e\\probe.exe;ㅡㅡexit 둘째\tTrue'
kv_press ctrl+alt+m
e2e_check "before Apply the old Ctrl+Alt+M still runs 둘째" kv_wait_launches 2 'C:\e2e\probe.exe' '--exit 둘째'
e2e_check "and Ctrl+Alt+K is not registered yet" test "$(e2e_hkcheck ctrl+alt K)" = free

echo "== Apply"
ui_click "$ED" 적용
e2e_check "Apply registers Ctrl+Alt+K" kv_wait_hotkey taken ctrl+alt K 10
e2e_check "and gives up Ctrl+Alt+M" test "$(e2e_hkcheck ctrl+alt M)" = free
e2e_check "and the deleted entry's Ctrl+Alt+N" test "$(e2e_hkcheck ctrl+alt N)" = free
kv_press ctrl+alt+k
e2e_check "Ctrl+Alt+K runs 둘째" kv_wait_launches 3 'C:\e2e\probe.exe' '--exit 둘째'
e2e_check "the control entry still runs after Apply" kv_settle
kv_press ctrl+super+F1
e2e_check "and Ctrl+Win+F1 still shows the editor" ui_wid "$ED" 10

e2e_stop
e2e_summary
