#!/bin/bash
# A random user at the real program: a seeded run of editor steps (rows selected, the
# description typed and erased, Shift ticked, keys picked, rows made and deleted, 적용),
# hotkey presses, the pause key, the tray menu (단축 편집, the list window, pause and
# resume, 끝내기 answered each way and a fresh start), the options window (sites added
# with odd texts, refused ones, rows removed, start with Windows, OK and 취소) and the
# editor closed with each answer, all with real clicks and keys.  After every 적용 or 예
# the work file holds exactly the rows on screen; after the options' OK "Config.ini" holds
# exactly the sites shown and nothing else in it changed, after 취소 not a byte; at the end
# the registered combinations are exactly the active, complete ones of the applied list
# (none while paused) and each runs its own entry, and the user's other files are
# untouched.
# Run: tests/e2e/run_all.sh random_session    (RANDOM_SEED=n STEPS=n to vary it)
set -u
cd "$(dirname "$0")"
source lib/e2e.sh
source lib/keyvane.sh
source lib/ui.sh
source lib/editor.sh

SEED=${RANDOM_SEED:-20261209}
STEPS=${STEPS:-50}
WORK='C:\app\MyJob.ini'
KEYS=(N M K J L H Q)
ed_begin
kv_work_file "$WORK" <<'EOF'
가-P0-Ctrl+Alt+N-프로그램 실행-C:\e2e\probe.exe;ㅡㅡexit 가-True-
나-P1-Ctrl+Alt+M-프로그램 실행-C:\e2e\probe.exe;ㅡㅡexit 나-True-
다-P2-Ctrl+Alt+K-프로그램 실행-C:\e2e\probe.exe;ㅡㅡexit 다-False-
라-P3-Shift+Ctrl+Alt+J-프로그램 실행-C:\e2e\probe.exe;ㅡㅡexit 라-True-
EOF
kv_config 'C:\app' '[Config]' 'StartUp=0' 'NewExplore=1' '[DirectSite]' 'Count=1' \
    'Site0=네이버,http://search.naver.com/search.naver?query='
CONFIG=$(e2e_unix_path 'C:\app\Config.ini')
# Files of the user's that no step may touch.
mkdir -p "$(e2e_unix_path 'C:\자료')"
printf '메모\r\n' | iconv -f UTF-8 -t CP949 > "$(e2e_unix_path 'C:\app\메모.txt')"
head -c 3000 /dev/urandom > "$(e2e_unix_path 'C:\자료\사진.bin')"
others=$(md5sum "$(e2e_unix_path 'C:\app\메모.txt')" "$(e2e_unix_path 'C:\자료\사진.bin')")
ed_open "$WORK"
echo "seed $SEED, $STEPS steps"

# Every key, character typed and click the user makes goes through xdotool: count them.
INPUTS=0
xdotool() {
    local a mode='' skip=0
    for a in "$@"; do
        if [ $skip = 1 ]; then skip=0; continue; fi
        case $a in
            key|type) mode=$a; continue ;;
            click) mode=''; INPUTS=$((INPUTS + 1)); continue ;;
            mousemove|sleep|search|windowfocus|windowraise|windowactivate|getwindowgeometry|getactivewindow)
                mode=''; continue ;;
            --delay|--repeat|--window) skip=1; continue ;;
            --*) continue ;;
        esac
        case $mode in
            key) INPUTS=$((INPUTS + 1)) ;;
            type) INPUTS=$((INPUTS + ${#a})) ;;
        esac
    done
    command xdotool "$@"
}

# ---------------------------------------------------------------- what the user sees
# rows: the editor's rows in stored form, one line each (cells joined by "-")
# (an empty cell is stored as "null")
rows() {
    ui_rows "$ED" | cut -f2- | awk -F'\t' '
        function f(s) { return s == "" ? "null" : s }
        { print f($1) "-" f($2) "-" f($3) "-" f($4) "-" f($5) "-" f($6) "-" }'
}
file_rows() { e2e_read_cp949 "$WORK"; }
file_is_rows() { [ "$(file_rows)" = "$(rows)" ]; }
editor_shown() { kv_no_window "^$(_e2e_ere_quote "$ED")\$" && return 1 || return 0; }
# the user's rows: every row but the control entry (which the user leaves alone)
user_ids() { ui_rows "$ED" | cut -f3 | grep -vx P99; }
# Our own generator, kept in this shell (bash seeds RANDOM afresh in every subshell, so
# $(...) would not repeat a run): rand <n> sets R to 0..n-1; pick <words...> sets PICKED to
# one of them, false when there are none.
_rng=$SEED
rand() { _rng=$(( (_rng * 1103515245 + 12345) % 2147483648 )); R=$(( (_rng >> 8) % $1 )); }
pick() { PICKED=''; [ $# -gt 0 ] || return 1; rand $#; local a=("$@"); PICKED=${a[R]}; }
log_step() { echo "  step $step: $*"; }
fail_step() { e2e_bad "step $step ($1): $2"; steps_failed=$((steps_failed + 1)); }

paused=0
modified=0                  # an edit was made since the last save
applied=$(file_rows)        # the list Keyvane registered last
steps_failed=0
sites=('네이버,http://search.naver.com/search.naver?query=')   # as the options window shows them
startup=0

# A message box that came up is read and answered with Enter, so the run goes on; the
# notice about combinations that could not be registered is expected (two rows may come
# to share one).
boxes_answered() {
    local text
    while ! kv_no_window '^알림말$'; do
        text=$(ui_box_text 알림말 | tr '\n' ' ')
        echo "     box: $text"
        ui_focus 알림말 && xdotool key Return
        e2e_wait_gone '^알림말$' 10 || return 1
    done
}

select_row() {
    local id=$1 n
    n=$(ui_rows "$ED" | awk -F'\t' -v id="$id" '$3 == id { print NR - 1; exit }')
    [ -n "$n" ] && ui_row_click "$ED" "$n" && ui_wait 10 "row $id selected" ed_selected_is "$id"
}
row_of() { ui_rows "$ED" | awk -F'\t' -v id="$1" '$3 == id { sub(/^[01]\t/, ""); print; exit }'; }
applied_now() {
    ui_wait 10 "the work file to hold the rows on screen" file_is_rows ||
        { fail_step "$1" "the work file is not the list on screen"; diff <(file_rows) <(rows) | sed 's/^/     /'; }
    applied=$(file_rows)
}

# ---------------------------------------------------------------- the steps
do_type() {
    local id letters
    pick $(user_ids) || return 0
    id=$PICKED
    pick a b c; letters=$PICKED
    pick x y z; letters+=$PICKED
    log_step "row $id: '$letters' typed at the end of its description"
    select_row "$id" && ui_click_into "$ED" "$ED_SUBJECT" && xdotool key End && ui_type "$letters" &&
        ui_wait 10 "row $id's description to end in $letters" eval '[[ "$(row_of "$id" | cut -f1)" == *"$letters" ]]' &&
        modified=1 || fail_step type "the description does not show what was typed"
}
do_erase() {
    local id before
    pick $(user_ids) || return 0
    id=$PICKED
    log_step "row $id: the last character of its description erased"
    select_row "$id" || { fail_step erase "row $id cannot be selected"; return; }
    before=$(row_of "$id" | cut -f1)
    [ -n "$before" ] || return 0
    ui_click_into "$ED" "$ED_SUBJECT" && xdotool key End BackSpace &&
        ui_wait 10 "row $id's description shortened" eval '[ "$(row_of "$id" | cut -f1)" = "${before%?}" ]' &&
        modified=1 || fail_step erase "the description did not lose its last character"
}
# A combination another row on screen has is refused with a box, the row unchanged.
TAKEN_BOX='이미 등록된 단축키 입니다. 다른 단축키를 선택해 주세요'
# change_hotkey <step> <id> <old> <new> <how...>: does it and checks the row against that
change_hotkey() {
    local what=$1 id=$2 old=$3 new=$4
    shift 4
    if ui_rows "$ED" | awk -F'\t' -v id="$id" -v k="$new" '$3 != id && $4 == k { f = 1 } END { exit !f }'; then
        log_step "row $id ($old): $what, to $new, which another row has"
        "$@" && ui_wid 알림말 10 >/dev/null && ui_box_has 알림말 "$TAKEN_BOX" ||
            { fail_step "$what" "no box refusing $new"; return; }
        boxes_answered
        [ "$(row_of "$id" | cut -f3)" = "$old" ] || fail_step "$what" "the refused combination changed the row"
    else
        log_step "row $id ($old): $what, to $new"
        "$@" && ui_wait 10 "row $id's hotkey to be $new" eval '[ "$(row_of "$id" | cut -f3)" = "$new" ]' &&
            modified=1 || fail_step "$what" "the row does not show $new"
    fi
}
# the rows whose hotkey has Ctrl+Alt (so that no change makes a bare key, which would
# take the letters typed)
ctrl_alt_ids() { ui_rows "$ED" | awk -F'\t' '$3 != "P99" && $4 ~ /Ctrl\+Alt\+/ { print $3 }'; }
do_shift() {
    local id keys new
    pick $(ctrl_alt_ids) || return 0
    id=$PICKED
    keys=$(row_of "$id" | cut -f3)
    if [[ "$keys" == Shift+* ]]; then new=${keys#Shift+}; else new=Shift+$keys; fi
    select_row "$id" || { fail_step shift "row $id cannot be selected"; return; }
    change_hotkey "Shift clicked" "$id" "$keys" "$new" ui_click "$ED" Shift
}
do_key() {
    local id keys key
    pick $(ctrl_alt_ids) || return 0
    id=$PICKED
    keys=$(row_of "$id" | cut -f3)
    pick "${KEYS[@]}"; key=$PICKED
    [ "${keys##*+}" != "$key" ] || return 0
    select_row "$id" || { fail_step key "row $id cannot be selected"; return; }
    change_hotkey "key $key picked" "$id" "$keys" "${keys%+*}+$key" ui_pick "$ED" "$ED_KEYS" "$key"
}
do_new() {
    local n
    n=$(ui_rows "$ED" | wc -l)
    log_step "등록"
    ui_click "$ED" 등록 && ui_wait 10 "a new row" eval '[ "$(ui_rows "$ED" | wc -l)" -gt "$n" ]' &&
        modified=1 || fail_step new "등록 made no row"
}
do_delete() {
    local id n
    # with fewer than three rows of the user's left the user makes one instead
    [ "$(user_ids | wc -l)" -ge 3 ] || { do_new; return; }
    pick $(user_ids) || return 0
    id=$PICKED
    n=$(ui_rows "$ED" | wc -l)
    log_step "row $id deleted with the Delete key"
    select_row "$id" && xdotool key Delete &&
        ui_wait 10 "row $id gone" eval '[ -z "$(row_of "$id")" ]' && modified=1 || fail_step delete "the row stays"
}
do_apply() {
    if ! ui_enabled "$ED" 적용; then log_step "적용 (disabled: nothing to apply)"; return; fi
    log_step "적용"
    ui_click "$ED" 적용
    ui_wait 10 "적용 to be disabled" eval '! ui_enabled "$ED" 적용' || fail_step apply "적용 stays enabled"
    boxes_answered
    applied_now apply
    modified=0
}
do_press() {
    local line keys id run before
    pick $(awk -F- '$2 != "P99" && $6 == "True" && $3 ~ /Ctrl\+Alt\+/ && $5 ~ /^C:\\e2e\\probe\.exe;/ { print NR }' <<<"$applied") || return 0
    line=$PICKED
    keys=$(sed -n "${line}p" <<<"$applied" | cut -d- -f3)
    # the entry the combination was registered for (the applied list has it once); a row
    # deleted on screen and not yet applied keeps its combination but runs nothing
    id=$(awk -F- -v k="$keys" '$6 == "True" && $3 == k { print $2; exit }' <<<"$applied")
    run=$(awk -F- -v k="$keys" '$6 == "True" && $3 == k { sub(/.*;ㅡㅡexit /, "", $5); print $5; exit }' <<<"$applied")
    before=$(kv_launch_count 'C:\e2e\probe.exe' "--exit $run")
    if [ $paused = 1 ]; then
        log_step "$keys pressed (paused: runs nothing)"
        kv_press "$(tr 'A-Z' 'a-z' <<<"$keys")"
        sleep 1.5      # the time a press takes to show; the control entry is paused too
        kv_launches_are "$before" 'C:\e2e\probe.exe' "--exit $run" || fail_step press "a hotkey ran while paused"
    elif [ -z "$(row_of "$id")" ]; then
        log_step "$keys pressed (its row $id deleted, not applied: runs nothing)"
        kv_press "$(tr 'A-Z' 'a-z' <<<"$keys")"
        kv_settle
        kv_launches_are "$before" 'C:\e2e\probe.exe' "--exit $run" || fail_step press "a deleted entry ran"
    else
        log_step "$keys pressed (runs $run)"
        kv_press "$(tr 'A-Z' 'a-z' <<<"$keys")"
        kv_settle
        kv_launches_are $((before + 1)) 'C:\e2e\probe.exe' "--exit $run" ||
            fail_step press "$keys did not run the entry it was registered for, once"
    fi
    ui_focus "$ED"
}
do_pause() {
    log_step "Ctrl+Win+F2 ($( [ $paused = 1 ] && echo resume || echo pause))"
    kv_press ctrl+super+F2
    if [ $paused = 0 ]; then
        paused=1
        kv_wait_hotkey free ctrl+alt Z 10 || fail_step pause "the control entry's hotkey is still registered"
    else
        paused=0
        kv_wait_hotkey taken ctrl+alt Z 10 || fail_step pause "resume did not register the list"
    fi
    ! editor_shown || ui_focus "$ED"
}
# answer_question <예|아니요|취소>: clicks that button of the closing question
answer_question() {
    [ $modified = 1 ] || echo "     (asked with no edit since the last save: answered $1)"
    case $1 in
        예) ui_click 알림말 class:Button:0 ;;
        아니요) ui_click 알림말 class:Button:1 ;;
        취소) ui_click 알림말 class:Button:2 ;;
    esac
    e2e_wait_gone '^알림말$' 10
}
# closed_or_asked: the editor has gone, or asks about its edits
closed_or_asked() { ! kv_no_window '^알림말$' || ! editor_shown; }
do_close() {
    local answer before
    pick 예 아니요 취소; answer=$PICKED
    log_step "the editor closed ($([ $modified = 1 ] && echo "with edits, answered $answer" || echo "no edits"))"
    before=$(rows)
    e2e_close "$(ui_wid "$ED" 5)" || { fail_step close "no editor to close"; return; }
    ui_wait 10 "the editor to close or ask" closed_or_asked
    if ! kv_no_window '^알림말$'; then
        answer_question "$answer"
        if [ "$answer" = 취소 ]; then
            ui_wait 5 "the editor to stay" editor_shown || fail_step close "취소 closed the editor"
            [ "$(rows)" = "$before" ] || fail_step close "취소 changed the rows"
            return
        fi
        boxes_answered
        if [ "$answer" = 예 ]; then
            ui_wait 10 "the work file to hold the rows closed with 예" eval '[ "$(file_rows)" = "$before" ]' ||
                fail_step close "예 did not save the rows on screen"
            applied=$(file_rows)
        else
            [ "$(file_rows)" = "$applied" ] || fail_step close "아니요 changed the work file"
        fi
    elif [ $modified = 1 ]; then
        fail_step close "the editor closed without asking about its edits"
    fi
    modified=0
    e2e_wait_gone "^$(_e2e_ere_quote "$ED")\$" 10 || fail_step close "the editor stays"
    # shown again: with the work file's rows (a paused Keyvane is resumed first)
    [ $paused = 1 ] && do_pause
    ed_show "$WORK" || { fail_step close "Ctrl+Win+F1 does not show the editor again"; return; }
    ui_wait 10 "the editor to show the work file" eval '[ "$(rows)" = "$applied" ]' ||
        fail_step close "the editor shown again does not hold the work file"
}


# ---------------------------------------------------------------- the tray menu
LIST='단축키 리스트'
list_windows() { xdotool search --onlyvisible --name "^$LIST\$" 2>/dev/null | wc -l; }
# tray <item> <what> <command...>: chooses the item from the icon's menu until the command
# holds; chosen again only while it does not and no menu is left open (a busy machine can
# lose the click that opens the menu, never one that chose the item)
tray() {
    local item=$1 what=$2 try
    shift 2
    for try in 1 2 3; do
        kv_tray_choose "$item"
        ui_wait 10 "$what" "$@" && return 0
        _kv_menu_gone || { xdotool key Escape; _e2e_until 5 "the menu to close" _kv_menu_gone; }
    done
    return 1
}
# the hotkey of the control entry, which every resume registers again
control_is() { _kv_hotkey_is "$1" ctrl+alt Z; }
do_trayedit() {
    local before
    log_step "tray: 단축 편집 (the editor on screen keeps its rows)"
    before=$(rows)
    kv_tray_choose 1 || { fail_step trayedit "no tray menu"; return; }
    ui_wait 10 "the editor in front" ui_focus "$ED" || fail_step trayedit "the editor is gone"
    [ "$(rows)" = "$before" ] || fail_step trayedit "단축 편집 changed the rows on screen"
    if [ $modified = 1 ] && ! ui_enabled "$ED" 적용; then fail_step trayedit "the edits lost 적용"; fi
}
do_traypause() {
    if [ $paused = 0 ]; then
        log_step "tray: 잠시 중지"
        tray 5 "the control entry's hotkey to be free" control_is free && paused=1 ||
            fail_step traypause "the hotkeys stay registered"
    else
        log_step "tray: 시작"
        tray 5 "the control entry's hotkey to be taken" control_is taken && paused=0 ||
            fail_step traypause "resume did not register the list"
    fi
    ui_focus "$ED"
}
# the list window's rows in stored form
list_rows() {
    ui_rows "$LIST" | cut -f2- | awk -F'\t' '
        function f(s) { return s == "" ? "null" : s }
        { print f($1) "-" f($2) "-" f($3) "-" f($4) "-" f($5) "-" f($6) "-" }'
}
do_traylist() {
    log_step "tray: 단축 리스트 보기, then 닫기"
    tray 4 "a list window" eval '[ "$(list_windows)" -ge 1 ]' || { fail_step traylist "no list window"; return; }
    ui_wait 10 "the list window to show the work file" eval '[ "$(list_rows)" = "$(file_rows)" ]' ||
        fail_step traylist "the list window does not show the work file as saved"
    ui_click "$LIST" 닫기
    e2e_wait_gone "^$LIST\$" 10 || fail_step traylist "닫기 leaves the list window"
    ui_focus "$ED"
}
# 끝내기: with edits the editor's question comes first; 취소 keeps everything running.
# Keyvane is started again on the same files, as the user would.
do_quit() {
    local answer before pid
    pick 예 아니요 취소; answer=$PICKED
    log_step "tray: 끝내기 ($([ $modified = 1 ] && echo "with edits, answered $answer" || echo "no edits"))"
    before=$(rows)
    pid=$(kv_unix_pids "$app" | head -1)
    kv_tray_choose 6 || { fail_step quit "no tray menu"; return; }
    ui_wait 10 "Keyvane to end or ask" eval '! kv_no_window "^알림말\$" || ! kill -0 "$pid" 2>/dev/null'
    if ! kv_no_window '^알림말$'; then
        answer_question "$answer"
        if [ "$answer" = 취소 ]; then
            kv_stays_running "$pid" 1 || { fail_step quit "취소 ended Keyvane"; return; }
            ui_wait 5 "the editor to stay" editor_shown || fail_step quit "취소 closed the editor"
            [ "$(rows)" = "$before" ] || fail_step quit "취소 changed the rows"
            return
        fi
        boxes_answered
        if [ "$answer" = 예 ]; then
            ui_wait 10 "the work file to hold the rows" eval '[ "$(file_rows)" = "$before" ]' ||
                fail_step quit "예 did not save the rows on screen"
        else
            [ "$(file_rows)" = "$applied" ] || fail_step quit "아니요 changed the work file"
        fi
    elif [ $modified = 1 ]; then
        fail_step quit "Keyvane ended without asking about the edits"
    fi
    e2e_wait_exit "$pid" 15 || { fail_step quit "Keyvane does not end"; return; }
    kv_wait_hotkey free ctrl+win F1 10 || fail_step quit "its hotkeys stay registered"
    applied=$(file_rows) modified=0 paused=0
    kv_start "$app" || { fail_step quit "Keyvane does not start again"; return; }
    ed_show "$WORK" || { fail_step quit "Ctrl+Win+F1 does not show the editor"; return; }
    ui_wait 10 "the editor to show the work file" eval '[ "$(rows)" = "$applied" ]' ||
        fail_step quit "the editor after the new start does not hold the work file"
}

# ---------------------------------------------------------------- the options window
OPT=옵션
ADD='사이트 추가'
REFUSED_BOX="[검색 설명] 과 [사이트 주소] 에는 쉼표(,), 세미콜론(;), 따옴표(' \")와 줄바꿈을 쓸 수 없습니다"
EMPTY_BOX='[검색 설명] [사이트 주소] 는 필수 항목입니다'
site_rows() { ui_rows "$OPT" | cut -f2,3 | tr '\t' ','; }
shown_sites_are() { [ "$(site_rows)" = "$(printf '%s\n' "${sites[@]}")" ]; }
# Config.ini without the lines the options window writes: each other line with its
# section, sorted (the sites' section is written anew, so it may come to stand last)
config_rest() {
    e2e_read_cp949 'C:\app\Config.ini' |
        awk '/^\[/ { sec = $0; next } !/^(Count|Site[0-9]+|StartUp)=/ { print sec "\t" $0 }' | sort
}
config_sites() { e2e_read_cp949 'C:\app\Config.ini' | sed -n 's/^Site[0-9]*=//p'; }
trimmed() { sed -e 's/^[[:space:]]*//' -e 's/[[:space:]]*$//' <<<"$1"; }
site_page() {
    local r x y
    r=$(ui_control "$OPT" class:SysTabControl32:0 | cut -f5) || return 1
    IFS=, read -r x y _ _ <<<"$r"
    xdotool mousemove $((x + 130)) $((y + 10)) sleep 0.05 click 1
    ui_wait 10 "the site page" ui_control "$OPT" 추가 >/dev/null
}
# the add dialog filled in and confirmed; the box it may answer with is left up
fill_site() {
    ui_click "$OPT" 추가 && ui_wid "$ADD" 10 >/dev/null || return 1
    ui_set_text "$ADD" class:Edit:0 "$1" && ui_set_text "$ADD" class:Edit:1 "$2" && ui_click "$ADD" '확인(&O)'
}
refused_with() {
    ui_wid 알림말 10 >/dev/null && ui_box_has 알림말 "$1" || return 1
    ui_click 알림말 class:Button:0 && e2e_wait_gone '^알림말$' 10 &&
        ui_click "$ADD" '취소(&C)' && e2e_wait_gone "^$ADD\$" 10
}
SITE_NAMES=('사전' 'a b' '  앞뒤 공백  ' '검색 엔진 하나' "$(printf '긴%.0s' {1..60})" 'Cafe 1' '100%')
SITE_ADDRS=('http://dic.example/?a=b&q=' 'http://s.example/search?q=' 'https://검색.example/?q=' 'ftp://x/')
BAD_TEXTS=('a,b' 'a;b' "it's" 'say "hi"')
do_options() {
    local n what before_rest before_bytes name addr k bad
    log_step "the options window"
    # F10 does not reach the menu bar from a drop-down list box under Wine (the box keeps
    # every system key): the user clicks into the description box first
    ui_click_into "$ED" "$ED_SUBJECT"
    ui_menu "$ED" 편집 p && ui_wid "$OPT" 10 >/dev/null || { fail_step options "the menu does not open it"; return; }
    before_rest=$(config_rest) before_bytes=$(md5sum <"$CONFIG")
    local kept=("${sites[@]}") kept_startup=$startup
    rand 4
    if [ $R = 0 ]; then
        echo "     start with Windows clicked"
        ui_click "$OPT" '윈도우 시작시 실행' && startup=$((1 - startup))
    fi
    site_page || { fail_step options "no site page"; return; }
    shown_sites_are || fail_step options "the sites shown are not those of Config.ini"
    rand 3
    for ((k = 1 + R; k > 0; k--)); do
        pick add add add bad empty remove; what=$PICKED
        case $what in
            add)
                pick "${SITE_NAMES[@]}"; name=$PICKED
                pick "${SITE_ADDRS[@]}"; addr=$PICKED
                echo "     site '$name' '$addr' added"
                fill_site "$name" "$addr" && e2e_wait_gone "^$ADD\$" 10 || { fail_step options "the site was not taken"; continue; }
                sites+=("$(trimmed "$name"),$(trimmed "$addr")") ;;
            bad)
                pick "${BAD_TEXTS[@]}"; bad=$PICKED
                echo "     site with '$bad' refused"
                rand 2
                if [ $R = 0 ]; then fill_site "$bad" 'http://x/?q='; else fill_site 'x' "http://x/?q=$bad"; fi
                refused_with "$REFUSED_BOX" || fail_step options "'$bad' was not refused with the message" ;;
            empty)
                echo "     site with no address refused"
                fill_site '빈 주소' '   '
                refused_with "$EMPTY_BOX" || fail_step options "an empty address was not refused" ;;
            remove)
                n=${#sites[@]}
                [ "$n" -gt 0 ] || continue
                rand "$n"; local k2=$R
                echo "     row $k2 (${sites[k2]}) removed"
                ui_row_click "$OPT" "$k2" && ui_click "$OPT" 삭제 || { fail_step options "no row to remove"; continue; }
                sites=("${sites[@]:0:k2}" "${sites[@]:k2+1}") ;;
        esac
        ui_wait 10 "the sites shown to be the model's" shown_sites_are ||
            { fail_step options "the sites shown differ"; diff <(site_rows) <(printf '%s\n' "${sites[@]}") | sed 's/^/     /'; }
    done
    rand 3
    if [ $R = 0 ]; then
        echo "     취소"
        ui_click "$OPT" '취소(&C)' && e2e_wait_gone "^$OPT\$" 10 || fail_step options "취소 leaves the window"
        sites=("${kept[@]}") startup=$kept_startup
        sleep "$KV_GRACE"
        [ "$(md5sum <"$CONFIG")" = "$before_bytes" ] || fail_step options "취소 changed Config.ini"
    else
        echo "     확인"
        ui_click "$OPT" '확인(&O)' && e2e_wait_gone "^$OPT\$" 10 || { fail_step options "확인 leaves the window"; return; }
        ui_wait 10 "Config.ini to hold the sites shown" eval '[ "$(config_sites)" = "$(printf "%s\n" "${sites[@]}")" ]' ||
            { fail_step options "Config.ini's sites are not those shown"; diff <(config_sites) <(printf '%s\n' "${sites[@]}") | sed 's/^/     /'; }
        e2e_read_cp949 'C:\app\Config.ini' | grep -qx "Count=${#sites[@]}" || fail_step options "Count is not ${#sites[@]}"
        e2e_read_cp949 'C:\app\Config.ini' | grep -qx "StartUp=$startup" || fail_step options "StartUp is not $startup"
        [ "$(config_rest)" = "$before_rest" ] ||
            { fail_step options "the options' OK changed other lines of Config.ini"; diff <(echo "$before_rest") <(config_rest) | sed 's/^/     /'; }
    fi
    ui_focus "$ED"
}

# weights: how many of the 26 slots each step has
STEP_TABLE=(type type type erase erase shift shift key key key new delete delete
            apply apply apply press press pause close
            options options trayedit traypause traylist quit)
for ((step = 1; step <= STEPS; step++)); do
    pick "${STEP_TABLE[@]}"; what=$PICKED
    ui_focus "$ED" >/dev/null 2>&1
    "do_$what"
    boxes_answered
    [ $steps_failed -lt 3 ] || { echo "  (three steps failed: stopping)"; break; }
done

echo "== at the end"
[ $paused = 1 ] && { step=end; do_pause; }
ui_focus "$ED" >/dev/null 2>&1
if ui_enabled "$ED" 적용; then ui_click "$ED" 적용; boxes_answered; fi
e2e_check "the work file holds exactly the rows on screen" ui_wait 10 "file = rows" file_is_rows
applied=$(file_rows)
# hkcheck's names: the modifiers lower-case joined by "+", then the key
expected_taken() {
    awk -F- '$6 == "True" && $3 ~ /\+[A-Z]$/ { print $3 }' <<<"$applied" | sort -u
}
hk_state() { local k=$1; e2e_hkcheck "$(tr 'A-Z' 'a-z' <<<"${k%+*}")" "${k##*+}"; }
all_right=1
for k in $(expected_taken); do
    [ "$(hk_state "$k")" = taken ] || { echo "     $k is not registered"; all_right=0; }
done
for mods in Ctrl+Alt Shift+Ctrl+Alt; do
    for key in "${KEYS[@]}"; do
        grep -qx "$mods+$key" <(expected_taken) && continue
        [ "$(hk_state "$mods+$key")" = free ] || { echo "     $mods+$key is registered but no active row has it"; all_right=0; }
    done
done
e2e_check "the registered combinations are the active ones of the applied list" test $all_right = 1
e2e_check "Ctrl+Win+F1 and Ctrl+Win+F2 are registered" \
    test "$(e2e_hkcheck ctrl+win F1) $(e2e_hkcheck ctrl+win F2)" = "taken taken"
e2e_check "the user's other files are byte for byte as they were" \
    test "$(md5sum "$(e2e_unix_path 'C:\app\메모.txt')" "$(e2e_unix_path 'C:\자료\사진.bin')")" = "$others"
e2e_check "every step did what the user saw it do" test $steps_failed = 0
echo "  ($INPUTS keys, characters and clicks of the user's)"
echo "  (seed $SEED, $STEPS steps; rerun: RANDOM_SEED=$SEED STEPS=$STEPS tests/e2e/run_all.sh random_session)"
e2e_stop
e2e_summary
