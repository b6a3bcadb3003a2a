#!/bin/bash
# 파일 > 다른 이름으로 저장 and 파일 > 열기 through the real file dialogs, also with a file
# another program holds open: the list saved under another name becomes the work file; a
# save that fails says so and leaves the work file, the title and 적용 where they were;
# opening a held file says so and keeps the list and the last work file; once released it
# opens.
# Run: tests/e2e/run_all.sh editor_files
set -u
cd "$(dirname "$0")"
source lib/e2e.sh
source lib/keyvane.sh
source lib/ui.sh
source lib/editor.sh

FILE_BOX='right:파일 이름(&N)::Edit'
ed_begin
kv_work_file 'C:\app\MyJob.ini' <<'EOF2'
첫째-P0-Ctrl+Alt+N-프로그램 실행-C:\e2e\probe.exe;ㅡㅡexit 첫째-True-
EOF2
kv_work_file 'C:\app\목록 둘.ini' <<'EOF2'
둘째-P0-Ctrl+Alt+M-프로그램 실행-C:\e2e\probe.exe;ㅡㅡexit 둘째-True-
EOF2
HELD='C:\app\목록 둘.ini'
main_before=$(md5sum <"$(e2e_unix_path 'C:\app\MyJob.ini')")
held_before=$(md5sum <"$(e2e_unix_path "$HELD")")
ed_open 'C:\app\MyJob.ini'

last_work_file() { e2e_ini_get 'C:\app\Config.ini' Etc LastWorkList_Path; }
# file_dialog <menu key>: chooses that item of 파일 and waits for its dialog (title in DLG)
file_dialog() { ui_menu "$ED" 파일 "$1" && DLG=$(ui_wait_dialog 10 알림말 "$(ed_title)"); }
# choose <path>: types the name into the dialog and confirms it
choose() { ui_set_text "$DLG" "$FILE_BOX" "$1" && xdotool key Return; }
# error_box_says <text>: Keyvane's error box is up and says that
error_box_says() { ui_wid Keyvane 10 >/dev/null && ui_box_text Keyvane | grep -qF -- "$1"; }
close_error_box() { ui_click Keyvane class:Button:0 && e2e_wait_gone '^Keyvane$' 10; }

echo "== 다른 이름으로 저장"
ed_click_row 첫째
ui_click_into "$ED" "$ED_SUBJECT" && xdotool key End && ui_type '!'
ed_wait_row P0 $'첫째!\tP0\tCtrl+Alt+N\t프로그램 실행\tC:\\e2e\\probe.exe;ㅡㅡexit 첫째\tTrue'
e2e_check "the menu opens the save dialog" file_dialog s
ui_shot save-dialog "$DLG"
choose 'C:\app\사본.ini'
e2e_check "Enter saves" e2e_wait_gone "^$(_e2e_ere_quote "$DLG")\$" 10
e2e_check "the title names the copy" ed_wait_shown 'C:\app\사본.ini'
# bytes_are <Windows path> <line>...: the file is exactly those lines, CP949, CR LF
bytes_are() {
    local f=$1
    shift
    cmp -s "$(e2e_unix_path "$f")" <(printf '%s\r\n' "$@" | iconv -f UTF-8 -t CP949)
}
e2e_check "the copy holds the list on screen, in CP949" bytes_are 'C:\app\사본.ini' \
    '첫째!-P0-Ctrl+Alt+N-프로그램 실행-C:\e2e\probe.exe;ㅡㅡexit 첫째-True-' "$KV_CONTROL_ENTRY"
e2e_check "MyJob.ini is as it was" test "$(md5sum <"$(e2e_unix_path 'C:\app\MyJob.ini')")" = "$main_before"
e2e_check "the copy is the last work file" test "$(last_work_file)" = 'C:\app\사본.ini'

echo "== a file another program holds"
e2e_probe 잡고 --hold "$HELD"
e2e_check "another program holds $HELD" e2e_wait_file "$(e2e_probe_log 잡고)" '^HOLD ok$' 10
ui_focus "$ED"
ui_click_into "$ED" "$ED_SUBJECT" && xdotool key End && ui_type '?'
file_dialog s
choose "$HELD"
# the dialog's own question (Wine titles it 오류), answered 예
ASK=$(ui_wait_dialog 10 알림말 "$(ed_title 'C:\app\사본.ini')" "$DLG")
e2e_check "saving over it asks first" test -n "$ASK"
ui_shot overwrite "$ASK"
ui_click "$ASK" class:Button:0
e2e_check "the save that cannot write says so" error_box_says "$HELD"
ui_shot save-failed Keyvane
close_error_box
e2e_check "the held file is as it was" test "$(md5sum <"$(e2e_unix_path "$HELD")")" = "$held_before"
e2e_check "the title still names the copy" ed_wait_shown 'C:\app\사본.ini'
e2e_check "which stays the last work file" test "$(last_work_file)" = 'C:\app\사본.ini'
ui_click "$ED" 적용
e2e_check "적용 writes the edit to the copy" \
    ui_wait 10 "the copy to hold the edit" ed_file_has 'C:\app\사본.ini' '^첫째!\?-P0-'

echo "== 열기 of a file another program holds"
file_dialog o
choose "$HELD"
e2e_check "opening it says so" error_box_says "$HELD"
close_error_box
e2e_check "the editor keeps its list" ed_wait_row P0 $'첫째!?\tP0\tCtrl+Alt+N\t프로그램 실행\tC:\\e2e\\probe.exe;ㅡㅡexit 첫째\tTrue'
e2e_check "and its title" ed_wait_shown 'C:\app\사본.ini'
e2e_check "the last work file is still the copy" test "$(last_work_file)" = 'C:\app\사본.ini'

echo "== released, it opens"
e2e_close "$(ui_wid 'probe 잡고' 5)"
e2e_wait_gone '^probe 잡고$' 10
file_dialog o
choose "$HELD"
e2e_check "the title names the opened file" ed_wait_shown "$HELD"
e2e_check "the opened list is shown" ed_wait_row P0 $'둘째\tP0\tCtrl+Alt+M\t프로그램 실행\tC:\\e2e\\probe.exe;ㅡㅡexit 둘째\tTrue' 15
e2e_check "it is the last work file now" test "$(last_work_file)" = "$HELD"
e2e_check "opening changed no file" test "$(md5sum <"$(e2e_unix_path "$HELD")")" = "$held_before"

e2e_stop
e2e_summary
