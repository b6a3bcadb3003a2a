#!/bin/bash
# The editor's "입력" and "찾기" buttons through their real dialogs: the multi-job editor,
# the key-sequence editor, the action and site pickers, the file-open dialog (kinds 7 and
# 8) and the folder browser (kind 9).  Each result lands in its box and in the row.  A
# hotkey pressed while each of these modal dialogs is open runs its entry and leaves the
# dialog working.  Screenshots of every dialog are kept under build/e2e-artifacts/.
# Run: tests/e2e/run_all.sh editor_dialogs
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
셋째-P2-Ctrl+Alt+K-프로그램 실행-C:\e2e\probe.exe;ㅡㅡexit 셋째-True-
다중-P3-Ctrl+Alt+F5-다중작업 실행-null-True-
키입력-P4-Ctrl+Alt+F6-키값자동 입력-null-True-
액션-P5-Ctrl+Alt+F7-특정액션 실행-null-True-
검색-P6-Ctrl+Alt+F8-다이렉트 검색-null-True-
파일-P7-Ctrl+Alt+F9-강제 종료-null-True-
EOF
kv_config 'C:\app' '[DirectSite]' 'Count=2' \
    'Site0=네이버,http://search.naver.com/search.naver?query=' \
    'Site1=다음,http://search.daum.net/search?w=tot&q='
e2e_probe_as 'C:\tools\kill-me.exe'
e2e_probe_as 'C:\tools\run-me.exe'
mkdir -p "$(e2e_unix_path 'C:\자료')"
ed_open

# open_dialog <entry> <kind caption> <dialog title>: selects the entry, presses the button
# beside that kind's box and waits for the dialog
open_dialog() {
    ed_click_row "$1" && ui_click "$ED" "$(ed_side "$2")" && ui_wid "$3" 10 >/dev/null
}
# hotkey_while_open <dialog title>: the control entry's hotkey runs while the dialog is
# open, and the dialog still answers and stays open
hotkey_while_open() {
    e2e_check "a hotkey pressed while \"$1\" is open runs its entry" kv_settle
    e2e_check "and \"$1\" is still open and answering" dialog_answers "$1"
}
dialog_answers() { ui_list "$1" | grep -q '^C'; }
# result_is <entry id> <kind caption> <box text> <row cells>
result_is() {
    e2e_check "the result lands in the $2 box" ui_wait_text "$ED" "$(ed_info "$2")" "$3"
    e2e_check "and in the row" ed_wait_row "$1" "$4"
}

echo "== the multi-job editor"
MJ='다중 작업 설정'
open_dialog 다중 '다중작업 실행' "$MJ"
e2e_check "\"입력\" beside 다중작업 실행 opens \"$MJ\"" ui_wid "$MJ" 1
hotkey_while_open "$MJ"
e2e_check "every entry is listed on the left" test "$(ui_rows "$MJ" 0 | cut -f3 | tr '\n' ' ')" = 'P0 P1 P2 P3 P4 P5 P6 P7 P99 '
ui_click_row_with "$MJ" 셋째 0 && ui_click "$MJ" '>'
ui_click_row_with "$MJ" 첫째 0 && ui_click "$MJ" '>'
ui_set_text "$MJ" 'right:지연 설정:Edit' 1
xdotool key Return
e2e_check "\">\" twice and Enter in the delay box give P2, P0 and a delay of 1 s" ui_wait 10 "three steps" \
    eval '[ "$(ui_rows "$MJ" 1 | cut -f2,3 | tr "\t\n" ",;")" = "셋째,P2;첫째,P0;Delay=1,;" ]'
ui_shot multi-job "$MJ"
ui_row_click "$MJ" 0 1 && ui_click "$MJ" '↓'
ui_wait 10 "P2 one lower" eval '[ "$(ui_rows "$MJ" 1 | cut -f3 | tr "\n" ";")" = "P0;P2;;" ]'
ui_click "$MJ" '↓'
e2e_check "\"↓\" twice moves P2 below the delay" ui_wait 10 "P2 last" \
    eval '[ "$(ui_rows "$MJ" 1 | cut -f2,3 | tr "\t\n" ",;")" = "첫째,P0;Delay=1,;셋째,P2;" ]'
ui_row_click "$MJ" 0 1 && ui_click "$MJ" '↑'
sleep "$KV_GRACE"
e2e_check "\"↑\" on the first step changes nothing" \
    test "$(ui_rows "$MJ" 1 | cut -f3 | tr '\n' ';')" = 'P0;;P2;'
ui_click "$MJ" '확인(&O)'
e2e_check "확인 closes the dialog" e2e_wait_gone "^$MJ\$" 10
result_is P3 '다중작업 실행' 'P0;Delay=1;P2;' $'다중\tP3\tCtrl+Alt+F5\t다중작업 실행\tP0;Delay=1;P2;\tTrue'

echo "== the key-sequence editor"
KE='키값 자동 입력'
open_dialog 키입력 '키값자동 입력' "$KE"
e2e_check "\"입력\" beside 키값자동 입력 opens \"$KE\"" ui_wid "$KE" 1
hotkey_while_open "$KE"
ui_pick "$KE" class:ComboBox:0 TAB
ui_click "$KE" '추가(&A)'
e2e_check "TAB and \"추가(&A)\" on an empty text give ;VK_TAB;" ui_wait_text "$KE" class:Edit:0 ';VK_TAB;'
ui_shot key-sequence "$KE"
# What is typed after the key is an item of its own.
ui_click_into "$KE" class:Edit:0
xdotool key ctrl+End
ui_type pw
ui_wait_text "$KE" class:Edit:0 ';VK_TAB;pw'
ui_click "$KE" '확인(&O)'
e2e_check "확인 closes the dialog" e2e_wait_gone "^$KE\$" 10
result_is P4 '키값자동 입력' ';VK_TAB;pw' $'키입력\tP4\tCtrl+Alt+F6\t키값자동 입력\t;VK_TAB;pw\tTrue'

echo "== the action picker"
AC='액션 실행'
open_dialog 액션 '특정액션 실행' "$AC"
e2e_check "\"입력\" beside 특정액션 실행 opens \"$AC\"" ui_wid "$AC" 1
hotkey_while_open "$AC"
e2e_check "it lists the thirteen actions" test "$(ui_rows "$AC" | wc -l)" = 13
ui_click_row_with "$AC" '현재 창 최대화'
e2e_check "the picked action shows below the list" ui_wait 10 "label" ui_label_shown "$AC" '현재 창 최대화'
ui_shot action-picker "$AC"
ui_click "$AC" '확인(&O)'
e2e_check "확인 closes the picker" e2e_wait_gone "^$AC\$" 10
result_is P5 '특정액션 실행' '현재 창 최대화' $'액션\tP5\tCtrl+Alt+F7\t특정액션 실행\t현재 창 최대화\tTrue'

echo "== the site picker"
DS='다이렉트 검색'
open_dialog 검색 '다이렉트 검색' "$DS"
e2e_check "\"입력\" beside 다이렉트 검색 opens the site picker" ui_wid "$DS" 1
hotkey_while_open "$DS"
e2e_check "it lists the sites of Config.ini" \
    test "$(ui_rows "$DS" | cut -f2,3 | tr '\t\n' ',;')" = '네이버,http://search.naver.com/search.naver?query=;다음,http://search.daum.net/search?w=tot&q=;'
ui_click_row_with "$DS" 다음
ui_shot site-picker "$DS"
ui_click "$DS" '확인(&O)'
e2e_check "확인 closes the picker" e2e_wait_gone "^$DS\$" 10
result_is P6 '다이렉트 검색' '다음;http://search.daum.net/search?w=tot&q=' \
    $'검색\tP6\tCtrl+Alt+F8\t다이렉트 검색\t다음;http://search.daum.net/search?w=tot&q=\tTrue'

echo "== the about window"
ui_menu "$ED" 도움말 Down Return
e2e_check "도움말 > 프로그램 정보 opens \"키베인 정보\"" ui_wid '키베인 정보' 10
hotkey_while_open '키베인 정보'
ui_shot about '키베인 정보'
ui_click '키베인 정보' 확인
e2e_check "확인 closes it" e2e_wait_gone '^키베인 정보$' 10

echo "== the file-open dialog: kinds 7 and 8"
FILE_BOX='right:파일 이름(&N)::Edit'
ed_click_row 파일
ui_click "$ED" "$(ed_side '프로그램 종료')"
OPEN=$(ui_wait_dialog 10 알림말)
e2e_check "\"찾기\" beside 프로그램 종료 opens the file-open dialog" ui_control "$OPEN" "$FILE_BOX"
hotkey_while_open "$OPEN"
ui_shot open-dialog "$OPEN"
ui_set_text "$OPEN" "$FILE_BOX" 'C:\tools\kill-me.exe'
xdotool key Return
e2e_check "Enter confirms the file" e2e_wait_gone "^$OPEN\$" 10
result_is P7 '프로그램 종료' 'kill-me.exe' $'파일\tP7\tCtrl+Alt+F9\t프로그램 종료\tkillㅡme.exe\tTrue'
ui_click "$ED" "$(ed_side '프로그램 실행')"
OPEN=$(ui_wait_dialog 10 알림말)
ui_set_text "$OPEN" "$FILE_BOX" 'C:\tools\run-me.exe'
xdotool key Return
e2e_wait_gone "^$OPEN\$" 10 >/dev/null
result_is P7 '프로그램 실행' 'C:\tools\run-me.exe' $'파일\tP7\tCtrl+Alt+F9\t프로그램 실행\tC:\\tools\\runㅡme.exe\tTrue'

echo "== the folder browser: kind 9"
ui_click "$ED" "$(ed_side '특정폴더 열기')"
BROWSE=$(ui_wait_dialog 10 알림말)
e2e_check "\"찾기\" beside 특정폴더 열기 opens the folder browser" test -n "$BROWSE"
e2e_check "which asks for a folder" ui_box_has "$BROWSE" '폴더를 선택해 주세요:'
hotkey_while_open "$BROWSE"
ui_shot folder-browser "$BROWSE"
ui_tree_open "$BROWSE" '내 컴퓨터|My Computer' '\(C:\)' '자료'
ui_click "$BROWSE" 확인
e2e_check "확인 closes it" e2e_wait_gone "^$(_e2e_ere_quote "$BROWSE")\$" 10
result_is P7 '특정폴더 열기' 'C:\자료' $'파일\tP7\tCtrl+Alt+F9\t특정폴더 열기\tC:\\자료\tTrue'

echo "== applied"
ui_click "$ED" 적용
e2e_check "Apply stores every result" ui_wait 10 "the work file" \
    ed_file_has 'C:\app\MyJob.ini' '^다중-P3-Ctrl\+Alt\+F5-다중작업 실행-P0;Delay=1;P2;-True-$'
e2e_check "the key sequence on one line" \
    ed_file_has 'C:\app\MyJob.ini' '^키입력-P4-Ctrl\+Alt\+F6-키값자동 입력-;VK_TAB;pw-True-$'
e2e_check "the site" \
    ed_file_has 'C:\app\MyJob.ini' '^검색-P6-Ctrl\+Alt\+F8-다이렉트 검색-다음;http://search\.daum\.net/search\?w=tot&q=-True-$'
kv_press ctrl+alt+F5
e2e_check "the multi-job runs P0 and, a second later, P2" kv_wait_launch 'C:\e2e\probe.exe' '--exit 셋째'
e2e_check "P0 first" kv_launches_are 1 'C:\e2e\probe.exe' '--exit 첫째'

e2e_stop
e2e_summary
