#!/bin/bash
# Keyvane in the notification area: the icon shows at start, a right click opens its menu
# (items in order, read back from the screen), a double click shows the editor; pause
# releases every hotkey and "시작" brings them back; the list window twice, the about
# window, the home page; the icon comes back when the taskbar is made again; "끝내기"
# asks first when the editor holds changes, then ends Keyvane with every combination free.
# Run: tests/e2e/run_all.sh keyvane_tray
set -u
cd "$(dirname "$0")"
source lib/e2e.sh
source lib/keyvane.sh
source lib/ui.sh
source lib/editor.sh

IE='C:\windows\system32\iexplore.exe'
LIST='단축키 리스트'
ABOUT='키베인 정보'
ed_begin
kv_work_file 'C:\app\MyJob.ini' <<'EOF2'
첫째-P0-Ctrl+Alt+N-프로그램 실행-C:\e2e\probe.exe;ㅡㅡexit 첫째-True-
EOF2
kv_focus_probe
t0=$(_e2e_now)
kv_start "$app" || { e2e_dump; exit 1; }
e2e_check "the icon is in the tray within a second of the start" e2e_tray_wid 1
echo "  (tray window seen $(( ($(_e2e_now) - t0) / 1000000 )) ms after the start)"
pid=$(kv_unix_pids "$app" | head -1)

menu_gone() { _kv_menu_gone; }
open_menu() { kv_tray_open && MENU=$KV_MENU; }
choose() { kv_tray_choose "$@"; }
# menu_text [scale%=400]: the open menu read from the screen (enlarged for OCR), one line
# per item
menu_text() {
    local X Y WIDTH HEIGHT
    [ -n "${MENU:-}" ] || return 1
    eval "$(xdotool getwindowgeometry --shell "$MENU" | grep -E '^(X|Y|WIDTH|HEIGHT)=')"
    import -window root -crop "${WIDTH}x${HEIGHT}+$X+$Y" +repage "$E2E_RUN/menu.png" 2>/dev/null &&
        convert "$E2E_RUN/menu.png" -resize "${1:-400}%" -colorspace Gray "$E2E_RUN/menu-big.png" &&
        tesseract "$E2E_RUN/menu-big.png" - -l kor+eng --psm 6 2>/dev/null | sed '/^[[:space:]]*$/d' |
        tee -a "$E2E_RUN/logs/menu-ocr.log"
}
# close_menu: a click away from it (keys may not reach a tray menu under Wine)
close_menu() { xdotool mousemove 700 600 click 1; _e2e_until 5 "the menu to close" menu_gone; }
# menu_reads <ERE>...: the lines of the open menu match these, in this order (read at a
# second and third enlargement when OCR misses a stroke at the first)
menu_reads() {
    local scale
    for scale in 400 300 500; do _menu_reads_at "$scale" "$@" && return 0; done
    return 1
}
_menu_reads_at() {
    local text line want
    text=$(menu_text "$1") || return 1
    shift
    for want in "$@"; do
        line=$(grep -nE -- "$want" <<<"$text" | head -1 | cut -d: -f1)
        [ -n "$line" ] || { _e2e_log "menu lacks /$want/"; return 1; }
        text=$(sed "1,${line}d" <<<"$text")
    done
}
menu_lacks() { ! menu_text | grep -qE -- "$1"; }
hotkeys_are() {  # hotkeys_are <taken|free>: the entry's and the editor's combinations
    kv_wait_hotkey "$1" 0x0003 0x4E 10 && kv_wait_hotkey "$1" 0x000A 0x70 10
}

echo "== the menu"
e2e_check "a right click on the icon opens the menu" open_menu
ui_shot tray-menu
: > "$E2E_RUN/logs/menu-ocr.log"
# (OCR of 9-point Hangul may miss a stroke: each item by a part it reads reliably)
e2e_check "its items read in order" menu_reads '단축 편집' '홈페이지' '^정' '리스트|보기' '중지' '끝내기'
sed 's/^/    | /' "$E2E_RUN/logs/menu-ocr.log"
e2e_check "a click elsewhere closes it" close_menu

echo "== a double click"
e2e_tray_click 0 1 2
e2e_check "shows the editor" ed_wait_shown 'C:\app\MyJob.ini'
e2e_close "$(ui_wid "$ED" 5)"
e2e_wait_gone "^$(_e2e_ere_quote "$ED")\$" 10

echo "== pause"
e2e_check "\"잠시 중지\" is chosen" choose 5
e2e_check "afterwards no combination of Keyvane is registered" hotkeys_are free
kv_press ctrl+super+F1
kv_press ctrl+alt+n
e2e_check "Ctrl+Win+F1 shows nothing" ed_no_box "$(kv_editor_re 'C:\app\MyJob.ini')"
e2e_check "and the entry's hotkey starts nothing" kv_launches_are 0 'C:\e2e\probe.exe' '--exit 첫째'
open_menu
e2e_check "the item now reads \"시작\"" menu_reads '단축 편집' '리스트|보기' '시작'
e2e_check "and no longer \"중지\"" menu_lacks '중지'
close_menu
e2e_check "\"시작\" is chosen" choose 5
e2e_check "the same combinations are registered again" hotkeys_are taken
kv_press ctrl+alt+n
e2e_check "and the entry's hotkey works" kv_wait_launch 'C:\e2e\probe.exe' '--exit 첫째'

echo "== the list window, the about window, the home page"
choose 4
choose 4
e2e_check "\"단축 리스트 보기\" twice opens two list windows" \
    _e2e_until 10 "two list windows" eval '[ "$(xdotool search --onlyvisible --name "^$LIST\$" | wc -l)" = 2 ]'
ui_shot keylist "$LIST"
e2e_check "each shows the work file" eval 'ui_rows "$LIST" | grep -q "첫째"'
lists=$(xdotool search --onlyvisible --name "^$LIST\$")
e2e_close "${lists%%$'\n'*}"
e2e_check "closing one leaves the other" \
    _e2e_until 10 "one list window" eval '[ "$(xdotool search --onlyvisible --name "^$LIST\$" | wc -l)" = 1 ]'
e2e_close "${lists##*$'\n'}"
e2e_check "and that one closes too" e2e_wait_gone "^$LIST\$" 10
choose 3
e2e_check "\"정보...\" opens the about window" ui_wid "$ABOUT" 10
ui_focus "$ABOUT" && xdotool key Escape
e2e_wait_gone "^$ABOUT\$" 10
choose 2
e2e_check "\"루메노 홈페이지\" starts iexplore with the home page" \
    e2e_wait_file "$(e2e_launch_log)" "^LAUNCH exe=\"$(_e2e_ere_quote "$IE")\" .* cmdline=keyvane\\.example\\.org\$" 10

echo "== the taskbar made again"
# Wine 8 never restarts its tray host nor sends "TaskbarCreated": play the shell's part.
check=$(e2e_install "$E2E_TOOLS/platform_check.exe" tools)
e2e_check "another program takes Keyvane's icon out" eval 'e2e_run "$check" tray-remove keyvane | grep -qx REMOVED'
e2e_check "and the tray is empty" e2e_wait_gone '^Wine System Tray$' 10
e2e_check "\"TaskbarCreated\" is broadcast" eval 'e2e_run "$check" taskbar-created | grep -qx BROADCAST'
e2e_check "the icon is back" e2e_tray_wid 10
e2e_check "and its menu opens" eval 'open_menu && close_menu'

echo "== ending"
choose 1
ed_wait_shown 'C:\app\MyJob.ini'
ed_click_row 첫째
ui_click_into "$ED" "$ED_SUBJECT"
xdotool key End
ui_type 한글
ui_wait 10 "the description edited" eval 'ed_row P0 | grep -q "^첫째한글"'
choose 4
e2e_check "a list window opened now shows the file as saved, not the editor's edit" \
    eval 'ui_wid "$LIST" 10 >/dev/null && ui_rows "$LIST" | cut -f2 | grep -qx 첫째'
ui_click "$LIST" 닫기   # (Alt+F4 would leave the editor behind it in its menu bar)
e2e_wait_gone "^$LIST\$" 10
choose 6
e2e_check "\"끝내기\" with unapplied edits asks first" ui_wid 알림말 10
e2e_check "the editor's question" ui_box_has 알림말 '현재 단축키 설정이 변경되었습니다. 적용 하시겠습니까?'
ui_click 알림말 class:Button:2
e2e_wait_gone '^알림말$' 10
# An exit that came a moment after the box would still be there at the first look.
e2e_check "Cancel keeps Keyvane running" kv_stays_running "$pid" 3
e2e_check "it still answers its hotkeys" kv_settle
e2e_check "and holds its combinations" hotkeys_are taken
choose 6
ui_wid 알림말 10 >/dev/null && ui_click 알림말 class:Button:1
e2e_check "No ends it" e2e_wait_exit "$pid" 15
e2e_check "no Wine process of Keyvane is left" _e2e_until 10 "Keyvane's processes to go" eval '[ -z "$(kv_unix_pids "$app")" ]'
e2e_check "every combination is free" hotkeys_are free
e2e_check "the work file is as it was" ed_file_has 'C:\app\MyJob.ini' '^첫째-P0-'
e2e_summary
