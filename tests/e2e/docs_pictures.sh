#!/bin/bash
# Remakes the pictures of the README (docs/*.png) from the real program under Wine: the
# editor, each dialog, the list window and the tray menu, with a small sample list.
# Run: scripts/pictures (builds what is missing first)
set -u
cd "$(dirname "$0")"
source lib/e2e.sh
source lib/keyvane.sh
source lib/ui.sh
source lib/editor.sh

DOCS=$(cd ../.. && pwd)/docs
mkdir -p "$DOCS"
# picture <name> <window title>: that window as docs/<name>.png
picture() {
    local wid
    wid=$(ui_wid "$2" 10) || { echo "no window '$2' for $1.png" >&2; return 1; }
    sleep 0.5  # let it finish painting
    import -window "$wid" "$DOCS/$1.png" 2>/dev/null && echo "docs/$1.png"
}
# picture_menu <name>: the open tray menu with the tray window above it
picture_menu() {
    local menu X Y WIDTH HEIGHT
    menu=$(e2e_wait_menu Keyvane.exe 5) || { echo "no tray menu for $1.png" >&2; return 1; }
    sleep 0.5
    eval "$(xdotool getwindowgeometry --shell "$menu" | grep -E '^(X|Y|WIDTH|HEIGHT)=')"
    import -window root -crop "$((X + WIDTH + 10))x$((Y + HEIGHT + 10))+0+0" +repage "$DOCS/$1.png" 2>/dev/null &&
        echo "docs/$1.png"
    xdotool mousemove 700 600 click 1
}
# close_dialog <title>: Esc in the dialog (Alt+F4 would leave the editor's menu bar active)
close_dialog() {
    ui_focus "$1" && xdotool key Escape
    e2e_wait_gone "^$(_e2e_ere_quote "$1")\$" 10
}

ed_begin
e2e_write_cp949 'C:\app\MyJob.ini' <<'EOF2'
메모장 열기-P0-Ctrl+Win+O-프로그램 실행-notepad.exe-True-
내 문서 폴더-P1-Ctrl+Win+D-특정폴더 열기-C:\users-True-
네이버 검색-P2-Ctrl+Win+S-다이렉트 검색-네이버;http://search.naver.com/search.naver?query=-True-
소리 크게-P3-Ctrl+Alt+Up-볼륨 높임-null-True-
소리 작게-P4-Ctrl+Alt+Down-볼륨 줄임-null-True-
인사말 입력-P5-Ctrl+Win+H-키값자동 입력-{SHIFT}안녕하세요{ENTER}-True-
아침 준비-P6-Ctrl+Win+M-다중작업 실행-P0;1000;P1-True-
창 최대화-P7-Ctrl+Win+Up-특정액션 실행-현재 창 최대화-True-
EOF2
kv_config 'C:\app' '[Config]' 'StartUp=1' 'NewExplore=1' '[DirectSite]' 'Count=2' \
    'Site0=네이버,http://search.naver.com/search.naver?query=' \
    'Site1=다음,http://search.daum.net/search?w=tot&q='
ed_open
ed_click_row '메모장 열기'
# The key list takes the combination pressed into it: Ctrl+Win+O becomes Ctrl+Win+N.
ui_pick "$ED" "$ED_KEYS" O
ui_wait 10 "the key list to have the focus" ui_focused "$ED" "$ED_KEYS"
xdotool key ctrl+super+n
ui_wait 10 "Ctrl+Win+N taken" ed_key_shown N
picture editor "$ED"

ui_menu "$ED" 편집 p && picture options 옵션
r=$(ui_control 옵션 class:SysTabControl32:0 | cut -f5)
IFS=, read -r x y _ _ <<<"$r"
xdotool mousemove $((x + 130)) $((y + 10)) sleep 0.05 click 1
ui_wait 10 "the site page" ui_control 옵션 추가 >/dev/null && picture options-sites 옵션
ui_click 옵션 추가 && picture siteadd '사이트 추가'
close_dialog '사이트 추가'
close_dialog 옵션


ed_click_row '아침 준비' && ui_click "$ED" "$(ed_side '다중작업 실행')" && picture multijob '다중 작업 설정'
close_dialog '다중 작업 설정'
ed_click_row '인사말 입력' && ui_click "$ED" "$(ed_side '키값자동 입력')" && picture keyedit '키값 자동 입력'
close_dialog '키값 자동 입력'
ed_click_row '창 최대화' && ui_click "$ED" "$(ed_side '특정액션 실행')" && picture action '액션 실행'
close_dialog '액션 실행'
ed_click_row '네이버 검색' && ui_click "$ED" "$(ed_side '다이렉트 검색')" && picture sitepicker '다이렉트 검색'
close_dialog '다이렉트 검색'


ui_menu "$ED" 도움말 Down Return && picture about '키베인 정보'
close_dialog '키베인 정보'

kv_press ctrl+super+s
picture directsearch '다이렉트 검색'
close_dialog '다이렉트 검색'

# The tray menu (the editor closed first, so nothing stands behind it), and the list window
# it opens ("단축 리스트 보기", the fourth item: 18 px
# items and 9 px separators inside a 3 px frame).
e2e_close "$(ui_wid "$ED" 5)" && e2e_wait_gone "^$(_e2e_ere_quote "$ED")\$" 10
sleep 0.6
e2e_tray_click 0 3 && picture_menu tray-menu
sleep 0.6
e2e_tray_click 0 3 && menu=$(e2e_wait_menu Keyvane.exe 5) &&
    xdotool mousemove --window "$menu" 30 $((3 + 18 * 3 + 9 * 2 + 9)) sleep 0.1 click 1
picture keylist '단축키 리스트'
