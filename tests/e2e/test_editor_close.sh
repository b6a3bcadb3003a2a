#!/bin/bash
# Closing the editor with unapplied changes asks whether to apply them: Cancel keeps the
# window and its edits, No drops them (the next showing reloads the work file and has
# nothing left to apply or ask about), Yes saves and registers the changed hotkeys.  The
# list's "창 닫기.." closes like the close box.
# Run: tests/e2e/run_all.sh editor_close
set -u
cd "$(dirname "$0")"
source lib/e2e.sh
source lib/keyvane.sh
source lib/ui.sh
source lib/editor.sh

ed_begin
kv_work_file 'C:\app\MyJob.ini' <<'EOF'
첫째-P0-Ctrl+Alt+N-프로그램 실행-C:\e2e\probe.exe;ㅡㅡexit 첫째-True-
EOF
FIRST_LINE='^첫째-P0-Ctrl\+Alt\+N-프로그램 실행-C:\\e2e\\probe\.exe;ㅡㅡexit 첫째-True-$'
QUESTION='현재 단축키 설정이 변경되었습니다. 적용 하시겠습니까?'
WORK=$(e2e_unix_path 'C:\app\MyJob.ini') && cp "$WORK" "$E2E_RUN/MyJob.before"
ed_open

# close_editor: the close box's way (Alt+F4); waits for the question
close_editor() { e2e_close "$(ui_wid "$ED" 5)" && ui_wid 알림말 10 >/dev/null; }
# answer <k>: clicks the k-th button of the question (0 Yes, 1 No, 2 Cancel)
answer() { ui_click 알림말 "class:Button:$1" && e2e_wait_gone '^알림말$' 10; }
# closed_or_asked: the editor has gone, or a message box stands in its way
closed_or_asked() { kv_no_window "$(kv_editor_re 'C:\app\MyJob.ini')" || ! kv_no_window '^알림말$'; }
saved_row=$'첫째\tP0\tCtrl+Alt+N\t프로그램 실행\tC:\\e2e\\probe.exe;ㅡㅡexit 첫째\tTrue'
edited_row=$'첫째한글\tP0\tCtrl+Alt+N\t프로그램 실행\tC:\\e2e\\probe.exe;ㅡㅡexit 첫째\tTrue'

echo "== an edit made without a character key"
ed_click_row 첫째
ui_click_into "$ED" "$ED_SUBJECT"
xdotool key Home Delete
ui_wait 10 "the first character deleted" \
    ed_row_is P0 $'째\tP0\tCtrl+Alt+N\t프로그램 실행\tC:\\e2e\\probe.exe;ㅡㅡexit 첫째\tTrue'
close_editor
e2e_check "an edit by the Delete key asks the question too" ui_box_has 알림말 "$QUESTION"
answer 1
e2e_check "No closes the editor" e2e_wait_gone "^$(_e2e_ere_quote "$ED")\$" 10
ed_show 'C:\app\MyJob.ini'
e2e_check "showing it again shows the saved list" ed_wait_row P0 "$saved_row"
e2e_check "with 적용 disabled" test "$(ui_field "$ED" 적용 8)" = 0
ui_close_box "$ED"
ui_wait 10 "the editor to hide or ask" closed_or_asked
e2e_check "so its close box asks nothing" kv_no_window '^알림말$'
e2e_check "and hides it" kv_no_window "$(kv_editor_re 'C:\app\MyJob.ini')"
e2e_check "the work file's bytes are as they were" cmp -s "$WORK" "$E2E_RUN/MyJob.before"
kv_no_window '^알림말$' || answer 1
ed_show 'C:\app\MyJob.ini'

echo "== Cancel"
ed_click_row 첫째
ui_click_into "$ED" "$ED_SUBJECT"
xdotool key End
ui_type 한글
ui_wait 10 "the description edited" ed_row_is P0 "$edited_row"
close_editor
e2e_check "closing with an edit asks the question" ui_box_has 알림말 "$QUESTION"
e2e_check "with Yes, No and Cancel" \
    test "$(ui_list 알림말 | awk -F'\t' '$1 == "C" && $3 == "Button" { n++ } END { print n }')" = 3
ui_shot closing-question 알림말
e2e_check "a hotkey pressed while the question is open runs its entry" kv_settle
e2e_check "and the question stays" ui_box_has 알림말 "$QUESTION"
answer 2
e2e_check "Cancel keeps the editor shown" ui_wid "$ED" 2
e2e_check "with the edit in its row" ed_row_is P0 "$edited_row"
e2e_check "and nothing saved" ed_file_has 'C:\app\MyJob.ini' "$FIRST_LINE"

echo "== 창 닫기.. in the list's menu"
ui_click "$ED" class:SysListView32:0 3
ui_wait_popup && xdotool key Up Return
e2e_check "the list's 창 닫기.. asks the same question" ui_wid 알림말 10
answer 2
e2e_check "and Cancel keeps the editor" ui_wid "$ED" 2

echo "== No"
close_editor
answer 1
e2e_check "No closes the editor" e2e_wait_gone "^$(_e2e_ere_quote "$ED")\$" 10
e2e_check "the work file is as it was" ed_file_has 'C:\app\MyJob.ini' "$FIRST_LINE"
ed_show 'C:\app\MyJob.ini'
e2e_check "showing it again reloads the file: the edit is gone" ed_wait_row P0 "$saved_row"

echo "== Yes"
ed_click_row 첫째
ui_pick "$ED" "$ED_KEYS" M
ui_wait 10 "Ctrl+Alt+M" ed_row_is P0 $'첫째\tP0\tCtrl+Alt+M\t프로그램 실행\tC:\\e2e\\probe.exe;ㅡㅡexit 첫째\tTrue'
close_editor
answer 0
e2e_check "Yes closes the editor" e2e_wait_gone "^$(_e2e_ere_quote "$ED")\$" 10
e2e_check "and saves the list" \
    ed_file_has 'C:\app\MyJob.ini' '^첫째-P0-Ctrl\+Alt\+M-프로그램 실행-C:\\e2e\\probe\.exe;ㅡㅡexit 첫째-True-$'
e2e_check "Ctrl+Alt+N is given up" kv_wait_hotkey free ctrl+alt N 10
kv_press ctrl+alt+m
e2e_check "Ctrl+Alt+M now runs the entry" kv_wait_launch 'C:\e2e\probe.exe' '--exit 첫째'

e2e_stop
e2e_summary
