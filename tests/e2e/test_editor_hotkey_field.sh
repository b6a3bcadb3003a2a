#!/bin/bash
# The hotkey fields of the editor: a combination another entry holds (or the editor's
# own) is refused with a message and the column keeps its hotkey, a bare-key entry is
# shown without a warning, a combination pressed into the key list is taken there before
# any hotkey (refused when another entry holds it, which does not run), and the Delete key
# removes the selected entry.
# Run: tests/e2e/run_all.sh editor_hotkey_field
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
맨키-P2-F9-프로그램 실행-C:\e2e\probe.exe;ㅡㅡexit 맨키-True-
EOF
kv_focus_probe
kv_start "$app" || { e2e_dump; exit 1; }

echo "== a combination another entry holds is refused"
ed_show 'C:\app\MyJob.ini' || { e2e_dump; exit 1; }
# An entry whose hotkey is a bare key holds its own combination: showing it is no clash.
ed_click_row 맨키
e2e_check "selecting an entry with a bare key F9 shows it" ui_wait 10 "F9 shown" ed_key_shown F9
e2e_check "without any warning" ed_no_box '^알림말$'
ed_click_row 둘째
ui_pick "$ED" "$ED_KEYS" N
e2e_check "picking N for 둘째 (첫째 holds Ctrl+Alt+N) shows the refusal box" ui_wid 알림말 10
e2e_check "which says the hotkey is taken" \
    ui_box_has 알림말 '이미 등록된 단축키 입니다. 다른 단축키를 선택해 주세요'
ui_shot refusal 알림말
e2e_check "a hotkey pressed while the box is open runs its entry" kv_settle
ui_click 알림말 class:Button:0
e2e_check "its button closes it" e2e_wait_gone '^알림말$' 10
e2e_check "둘째 keeps Ctrl+Alt+M in its column" \
    ed_row_is P1 $'둘째\tP1\tCtrl+Alt+M\t프로그램 실행\tC:\\e2e\\probe.exe;ㅡㅡexit 둘째\tTrue'
e2e_check "the key list shows 둘째's own M again, not the refused N" ui_wait 10 "M shown" ed_key_shown M
e2e_check "첫째 keeps its Ctrl+Alt+N" \
    ed_row_is P0 $'첫째\tP0\tCtrl+Alt+N\t프로그램 실행\tC:\\e2e\\probe.exe;ㅡㅡexit 첫째\tTrue'
ui_pick "$ED" "$ED_KEYS" K
e2e_check "a free key is taken at once" ui_wait 10 "Ctrl+Alt+K" \
    ed_row_is P1 $'둘째\tP1\tCtrl+Alt+K\t프로그램 실행\tC:\\e2e\\probe.exe;ㅡㅡexit 둘째\tTrue'
ui_click "$ED" Win
ui_pick "$ED" "$ED_KEYS" F1
e2e_check "Ctrl+Alt+Win+F1 is free" ui_wait 10 "Ctrl+Alt+Win+F1" \
    ed_row_is P1 $'둘째\tP1\tCtrl+Alt+Win+F1\t프로그램 실행\tC:\\e2e\\probe.exe;ㅡㅡexit 둘째\tTrue'
ui_click "$ED" Alt
e2e_check "Ctrl+Win+F1 (the editor's own hotkey) is refused" ui_wid 알림말 10
ui_click 알림말 class:Button:0
e2e_wait_gone '^알림말$' 10 >/dev/null
e2e_check "and the column keeps Ctrl+Alt+Win+F1" \
    ed_row_is P1 $'둘째\tP1\tCtrl+Alt+Win+F1\t프로그램 실행\tC:\\e2e\\probe.exe;ㅡㅡexit 둘째\tTrue'
e2e_check "with Alt ticked again" ui_wait 10 "Alt ticked" ui_checked "$ED" Alt

echo "== a combination pressed into the key list"
n=$(kv_launch_count 'C:\e2e\probe.exe' '--exit 첫째')
ui_pick "$ED" "$ED_KEYS" F1
ui_wait 10 "the key list to have the focus" ui_focused "$ED" "$ED_KEYS"
xdotool key ctrl+alt+n
e2e_check "Ctrl+Alt+N (첫째's) pressed there shows the refusal box" ui_wid 알림말 10
ui_click 알림말 class:Button:0
e2e_wait_gone '^알림말$' 10 >/dev/null
e2e_check "둘째 keeps Ctrl+Alt+Win+F1" \
    ed_row_is P1 $'둘째\tP1\tCtrl+Alt+Win+F1\t프로그램 실행\tC:\\e2e\\probe.exe;ㅡㅡexit 둘째\tTrue'
ui_wait 10 "the key list to have the focus again" ui_focused "$ED" "$ED_KEYS"
xdotool key ctrl+shift+j
e2e_check "a free Shift+Ctrl+J pressed there is taken" ui_wait 10 "Shift+Ctrl+J" \
    ed_row_is P1 $'둘째\tP1\tShift+Ctrl+J\t프로그램 실행\tC:\\e2e\\probe.exe;ㅡㅡexit 둘째\tTrue'
e2e_check "with its boxes ticked and Alt and Win not" eval \
    'ui_checked "$ED" Shift && ui_checked "$ED" Ctrl && ! ui_checked "$ED" Alt && ! ui_checked "$ED" Win'
e2e_check "out of the key list the hotkeys work again" kv_settle
e2e_check "and 첫째 did not run" kv_launches_are "$n" 'C:\e2e\probe.exe' '--exit 첫째'

echo "== the Delete key"
ed_click_row 첫째
xdotool key Delete
e2e_check "the Delete key removes the selected entry" ui_wait 10 "P0 gone" ed_ids_are 'P1 P2 P99'
e2e_check "the fields are emptied" ui_has_text "$ED" "$ED_SUBJECT" ''
e2e_check "nothing is saved before Apply" ed_file_has 'C:\app\MyJob.ini' '^첫째-P0-Ctrl\+Alt\+N-'
ui_click "$ED" '등록'
e2e_check "New after deleting P0 gives P0 again" ui_wait 10 "P0 again" ed_ids_are 'P1 P2 P99 P0'

e2e_stop
e2e_summary
