#!/bin/bash
# The options window from the editor's menu: OK writes the same values back, the
# start-with-Windows box sets or removes the Run value, sites added and removed reach
# "Config.ini" as CP949, and Cancel leaves the file as it was, byte for byte.
# Run: tests/e2e/run_all.sh editor_options
set -u
cd "$(dirname "$0")"
source lib/e2e.sh
source lib/keyvane.sh
source lib/ui.sh
source lib/editor.sh

ed_begin
kv_work_file 'C:\app\MyJob.ini' <<'EOF2'
첫째-P0-Ctrl+Alt+N-프로그램 실행-C:\e2e\probe.exe;ㅡㅡexit 첫째-True-
EOF2
kv_config 'C:\app' '[Config]' 'StartUp=1' 'NewExplore=1' '[DirectSite]' 'Count=1' \
    'Site0=네이버 , http://search.naver.com/search.naver?query='
CONFIG=$(e2e_unix_path 'C:\app\Config.ini')
OPT=옵션
ADD='사이트 추가'
ed_open

open_options() { ui_menu "$ED" 편집 p && ui_wid "$OPT" 10 >/dev/null; }
# the second tab, a little right of where the first one ends
second_page() {
    local r
    r=$(ui_control "$OPT" class:SysTabControl32:0 | cut -f5) || return 1
    IFS=, read -r x y _ _ <<<"$r"
    xdotool mousemove $((x + 130)) $((y + 10)) sleep 0.05 click 1
    ui_wait 10 "the site page" ui_control "$OPT" 추가 >/dev/null
}
ok_closes() { ui_click "$OPT" '확인(&O)' && e2e_wait_gone "^$OPT\$" 10; }
config_has() { e2e_read_cp949 'C:\app\Config.ini' | grep -qxF -- "$1"; }
config_lacks() { ! e2e_read_cp949 'C:\app\Config.ini' | grep -q -- "^$1"; }
# the raw file holds this line in CP949
cp949_has() { LC_ALL=C grep -qF -- "$(printf '%s' "$1" | iconv -f UTF-8 -t CP949)" "$CONFIG"; }
# fill_site <description> <address>: 추가, the two fields typed, 확인
fill_site() {
    ui_click "$OPT" 추가 && ui_wid "$ADD" 10 >/dev/null || return 1
    ui_set_text "$ADD" class:Edit:0 "$1" && ui_set_text "$ADD" class:Edit:1 "$2" && ui_click "$ADD" '확인(&O)'
}
add_site() { fill_site "$@" && e2e_wait_gone "^$ADD\$" 10; }

echo "== OK without changes"
e2e_check "the menu opens \"$OPT\"" open_options
e2e_check "start with Windows is checked" ui_checked "$OPT" '윈도우 시작시 실행'
e2e_check "a new window is checked" ui_checked "$OPT" '웹사이트 이동시 새 창에서 열기'
ui_shot options "$OPT"
e2e_check "OK closes it" ok_closes
e2e_check "StartUp=1 stays" config_has 'StartUp=1'
e2e_check "NewExplore=1 stays" config_has 'NewExplore=1'
e2e_check "the site comes back without its blanks" \
    config_has 'Site0=네이버,http://search.naver.com/search.naver?query='
e2e_check "Count=1" config_has 'Count=1'
e2e_check "the Run value is there" ui_wait 10 "the Run value" eval '[ -n "$(kv_run_value)" ]'

echo "== start with Windows off"
open_options
ui_click "$OPT" '윈도우 시작시 실행'
e2e_check "the box is unchecked" ui_wait 5 unchecked eval '! ui_checked "$OPT" "윈도우 시작시 실행"'
e2e_check "OK closes it" ok_closes
e2e_check "the Run value is gone" kv_run_value_is ''
e2e_check "StartUp=0" config_has 'StartUp=0'

echo "== two sites added, one removed"
open_options
e2e_check "the first page shows again" ui_control "$OPT" '윈도우 시작시 실행'
second_page
e2e_check "the stored site is listed" \
    test "$(ui_rows "$OPT" | cut -f2,3 | tr '\t\n' ',;')" = '네이버,http://search.naver.com/search.naver?query=;'
add_site 사전 'http://dic.example/?a=b&q='
e2e_check "the first site is added" ui_wait 10 "two rows" eval '[ "$(ui_rows "$OPT" | wc -l)" = 2 ]'
fill_site 'a,b' 'http://x'
e2e_check "a comma is refused with a message" ui_wid 알림말 10
e2e_check "which names the comma" eval 'ui_box_text 알림말 | grep -qF "(,)"'
ui_shot comma-refused 알림말
ui_click 알림말 class:Button:0 && e2e_wait_gone '^알림말$' 10
e2e_check "the dialog keeps what was typed" ui_has_text "$ADD" class:Edit:0 'a,b'
ui_click "$ADD" '취소(&C)' && e2e_wait_gone "^$ADD\$" 10
add_site 다음 'http://search.daum.net/search?q='
e2e_check "the second site is added" ui_wait 10 "three rows" eval '[ "$(ui_rows "$OPT" | wc -l)" = 3 ]'
ui_shot sites "$OPT"
ui_row_click "$OPT" 0 && ui_click "$OPT" 삭제
e2e_check "삭제 removes the selected row" ui_wait 10 "two rows" eval '[ "$(ui_rows "$OPT" | wc -l)" = 2 ]'
e2e_check "OK closes it" ok_closes
e2e_check "Count=2 in CP949" cp949_has $'Count=2\r'
e2e_check "Site0 in CP949" cp949_has $'Site0=사전,http://dic.example/?a=b&q=\r'
e2e_check "Site1 in CP949" cp949_has $'Site1=다음,http://search.daum.net/search?q=\r'
e2e_check "no Site2" config_lacks 'Site2='

echo "== Cancel"
before=$(md5sum <"$CONFIG")
open_options
ui_click "$OPT" '윈도우 시작시 실행'
ui_click "$OPT" '웹사이트 이동시 새 창에서 열기'
second_page
ui_row_click "$OPT" 0 && ui_click "$OPT" 삭제
add_site 하나 'http://one/?q='
ui_click "$OPT" '취소(&C)'
e2e_check "Cancel closes it" e2e_wait_gone "^$OPT\$" 10
sleep "$KV_GRACE"
e2e_check "Config.ini is byte for byte as it was" test "$(md5sum <"$CONFIG")" = "$before"
e2e_check "the Run value is still absent" kv_run_value_is ''

e2e_stop
e2e_summary
