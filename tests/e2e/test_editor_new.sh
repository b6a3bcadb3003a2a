#!/bin/bash
# A first entry made in the editor with the mouse and the keyboard, on an empty list with
# no work file yet, down to its bytes in the work file and its working hotkey; the IDs New
# gives and the Delete key on the way.
# Run: tests/e2e/run_all.sh editor_new
set -u
cd "$(dirname "$0")"
source lib/e2e.sh
source lib/keyvane.sh
source lib/ui.sh
source lib/editor.sh

# The entry starts "notepad.exe": the probe stands in for it in both places the search
# path looks, and the builtin Notepad of Wine is told to step aside.
export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;notepad.exe=n"
ed_begin
for f in 'C:\windows\system32\notepad.exe' 'C:\windows\notepad.exe'; do
    rm -f "$(e2e_unix_path "$f")"      # system32 files are hard links into the template
    e2e_probe_as "$f"
done
kv_focus_probe
kv_start "$app" || { e2e_dump; exit 1; }

echo "== a first entry on an empty list, with no work file yet"
ed_show || { e2e_dump; exit 1; }
e2e_check "the editor opens with an empty list, titled Keyvane" ed_ids_are ''
e2e_check "under its menu bar 파일, 편집, 도움말" \
    test "$(ui_list "$ED" | awk -F'\t' '$1 == "M" { printf "%s ", $2 }')" = '파일 편집 도움말 '
ui_click "$ED" '등록'
ui_wait 10 "a first row" ed_ids_are P0
ui_click "$ED" '등록'
e2e_check "New twice on an empty list gives P0 and P1" ui_wait 10 "P0 P1" ed_ids_are 'P0 P1'
e2e_check "the new row is selected" ed_selected_is P1
e2e_check "and reads: no description, no hotkey, 웹사이트 이동, active" \
    ed_row_is P1 $'\tP1\t\t웹사이트 이동\t\tTrue'
e2e_check "its kind button 웹사이트 이동 is checked" ui_checked "$ED" '웹사이트 이동'
e2e_check "and 단축키 활성화" ui_checked "$ED" '단축키 활성화'
e2e_check "the description box is empty" ui_has_text "$ED" "$ED_SUBJECT" ''
# The kinds are one group: Tab stops at the checked kind only, the arrows move the check.
ui_click_into "$ED" "$(ed_info '프로그램 종료')"
xdotool key shift+Tab
e2e_check "Shift+Tab from the first kind box goes back past the unchecked kinds to 단축키 활성화" \
    ui_wait 10 "단축키 활성화 focused" ui_focused "$ED" '단축키 활성화'
xdotool key Tab
e2e_check "and Tab from there goes to that box again" \
    ui_wait 10 "the box focused" ui_focused "$ED" "$(ed_info '프로그램 종료')"
ui_click_into "$ED" "$(ed_info '웹사이트 이동')"
xdotool key shift+Tab
e2e_check "the checked kind 웹사이트 이동 is a stop, just before its box" \
    ui_wait 10 "웹사이트 이동 focused" ui_focused "$ED" '웹사이트 이동'
xdotool key Down
e2e_check "Down checks the next kind, and the row takes it" ui_wait 10 "다이렉트 검색" \
    ed_row_is P1 $'\tP1\t\t다이렉트 검색\t\tTrue'
e2e_check "with the focus" ui_focused "$ED" '다이렉트 검색'
xdotool key Tab
e2e_check "Tab goes on to its box" ui_wait 10 "its box focused" ui_focused "$ED" "$(ed_info '다이렉트 검색')"
# The Delete key in the list removes the selected row, without asking.
ui_row_click "$ED" 1
xdotool key Delete
e2e_check "the Delete key removes the selected row P1" ui_wait 10 "P1 gone" ed_ids_are P0
e2e_check "and leaves no row selected" ed_selected_is ''

# Notes: Ctrl+Win+N starts notepad.exe
ui_row_click "$ED" 0
ui_wait 10 "P0 selected" ed_selected_is P0
ui_click_into "$ED" "$ED_SUBJECT"
ui_type Notes
e2e_check "the typed description reaches the row at once" ui_wait 10 "Notes in P0" \
    ed_row_is P0 $'Notes\tP0\t\t웹사이트 이동\t\tTrue'
ui_click "$ED" Ctrl
ui_click "$ED" Win
ui_wait 10 "Ctrl+Win+ in P0" ed_row_is P0 $'Notes\tP0\tCtrl+Win+\t웹사이트 이동\t\tTrue'
ui_pick "$ED" "$ED_KEYS" N
e2e_check "Ctrl, Win and the key N make the hotkey Ctrl+Win+N" ui_wait 10 "Ctrl+Win+N" \
    ed_row_is P0 $'Notes\tP0\tCtrl+Win+N\t웹사이트 이동\t\tTrue'
ui_click_into "$ED" "$(ed_info '프로그램 실행')"
ui_type notepad.exe
e2e_check "typing into the 프로그램 실행 box switches the entry to that kind" ui_wait 10 "kind 8" \
    ed_row_is P0 $'Notes\tP0\tCtrl+Win+N\t프로그램 실행\tnotepad.exe\tTrue'
e2e_check "and checks its button" ui_checked "$ED" '프로그램 실행'
ui_shot editor-entry-selected "$ED"
e2e_check "(적용 is enabled after the changes)" ui_enabled "$ED" '적용'
ui_click "$ED" '적용'
e2e_check "Apply writes MyJob.ini beside the program: exactly one CP949 line" \
    ui_wait 10 "MyJob.ini" ed_cp949_is 'C:\app\MyJob.ini' 'Notes-P0-Ctrl+Win+N-프로그램 실행-notepad.exe-True-\r\n'
e2e_check "Config.ini names it as the last work file" \
    test "$(e2e_ini_get 'C:\app\Config.ini' Etc LastWorkList_Path)" = 'C:\app\MyJob.ini'
e2e_check "the title names the work file now" ui_wid "$(ed_title 'C:\app\MyJob.ini')" 10
ED=$(ed_title 'C:\app\MyJob.ini')
e2e_check "적용 is disabled until the next change" ui_wait 10 "적용 disabled" eval '! ui_enabled "$ED" 적용'
kv_press ctrl+super+n
e2e_check "Ctrl+Win+N starts notepad.exe" \
    e2e_wait_file "$(e2e_launch_log)" '^LAUNCH exe="C:\\windows\\(system32\\)?notepad\.exe" ' 10
e2e_check "whose window shows" e2e_wait_window '^probe notepad$' 10

echo "== an entry without a hotkey"
ui_click "$ED" '등록'
e2e_check "New adds P1" ui_wait 10 "P1" ed_ids_are 'P0 P1'
ui_click "$ED" '적용'
e2e_check "Apply saves it" ui_wait 10 "적용 disabled" eval '! ui_enabled "$ED" 적용'
e2e_check "and reports no hotkey as unregistered: an entry without a key asks for none" ed_no_box '^알림말$' 2

e2e_stop
e2e_summary
