#!/bin/bash
# The editor and the options window on a Western Windows (code page 1252), with Keyvane in
# a folder CP949 cannot spell (C:\Café\): the Korean captions and rows read right, a
# Hangul description typed in reaches the work file as CP949, and a site added in the
# options reaches that folder's Config.ini, which holds the work file's path with its é
# and so is UTF-16.
# Run: tests/e2e/run_all.sh editor_western
set -u
cd "$(dirname "$0")"
E2E_WINE_LOCALE=C.UTF-8   # Wine's code page 1252
source lib/e2e.sh
source lib/keyvane.sh
source lib/ui.sh
source lib/editor.sh

e2e_start || exit 1
app=$(e2e_install_keyvane 'Café')
kv_work_file 'C:\Café\MyJob.ini' <<'EOF2'
첫째-P0-Ctrl+Alt+N-프로그램 실행-C:\e2e\probe.exe;ㅡㅡexit 첫째-True-
EOF2
kv_config 'C:\Café' '[Config]' 'StartUp=0' 'NewExplore=0' '[DirectSite]' 'Count=0'
kv_focus_probe focus
e2e_check "the focus probe runs with code page 1252" e2e_wait_file "$(kv_focus_log)" '^START acp=1252 ' 10
kv_start "$app" || { e2e_dump; exit 1; }
e2e_check "Ctrl+Win+F1 shows the editor of C:\\Café\\MyJob.ini" ed_show 'C:\Café\MyJob.ini'
ui_shot editor "$ED"
e2e_check "its row reads in Korean" ed_row_is P0 $'첫째\tP0\tCtrl+Alt+N\t프로그램 실행\tC:\\e2e\\probe.exe;ㅡㅡexit 첫째\tTrue'
e2e_check "its buttons too" ui_control "$ED" 적용
e2e_check "and its menu bar" eval 'ui_list "$ED" | grep -qP "^M\t도움말"'

echo "== a Hangul description"
ed_click_row 첫째
ui_click_into "$ED" "$ED_SUBJECT"
xdotool key End
ui_type 한글
e2e_check "typing 한글 after the description edits the row" \
    ed_wait_row P0 $'첫째한글\tP0\tCtrl+Alt+N\t프로그램 실행\tC:\\e2e\\probe.exe;ㅡㅡexit 첫째\tTrue'
ui_click "$ED" 적용
e2e_check "Apply writes it to C:\\Café\\MyJob.ini in CP949" \
    ui_wait 10 "the saved line" ed_file_has 'C:\Café\MyJob.ini' '^첫째한글-P0-Ctrl\+Alt\+N-'

echo "== a site in the options"
OPT=옵션
ADD='사이트 추가'
e2e_check "the menu opens \"$OPT\"" eval 'ui_menu "$ED" 편집 p && ui_wid "$OPT" 10 >/dev/null'
r=$(ui_control "$OPT" class:SysTabControl32:0 | cut -f5)
IFS=, read -r x y _ _ <<<"$r"
xdotool mousemove $((x + 130)) $((y + 10)) sleep 0.05 click 1
ui_wait 10 "the site page" ui_control "$OPT" 추가 >/dev/null
ui_click "$OPT" 추가 && ui_wid "$ADD" 10 >/dev/null
ui_set_text "$ADD" class:Edit:0 '카페 검색'
ui_set_text "$ADD" class:Edit:1 'http://cafe.example/?q='
ui_click "$ADD" '확인(&O)'
e2e_check "the site dialog closes" e2e_wait_gone "^$ADD\$" 10
ui_click "$OPT" '확인(&O)'
e2e_check "OK closes the options" e2e_wait_gone "^$OPT\$" 10
# Config.ini names the work file, whose folder CP949 cannot spell: it is UTF-16 with its
# mark, and holds the path exactly as well as the site.
config=$(e2e_unix_path "C:\\Café\\Config.ini")
config_has() { [ "$(head -c 2 "$config" | od -An -tx1 | tr -d ' ')" = fffe ] &&
    tail -c +3 "$config" | iconv -f UTF-16LE -t UTF-8 | grep -qxF -- "$1"$'\r'; }
e2e_check "C:\\Café\\Config.ini holds the site, in UTF-16" config_has 'Site0=카페 검색,http://cafe.example/?q='
e2e_check "and the work file's path with its é" config_has 'LastWorkList_Path=C:\Café\MyJob.ini'
e2e_summary
