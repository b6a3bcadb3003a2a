#!/bin/bash
# A random user at the real program: a seeded run of editor steps (rows selected, the
# description typed and erased, Shift ticked, keys picked, rows made and deleted, 적용),
# hotkey presses, the pause key and the editor closed with each answer, all with real
# clicks and keys.  After every 적용 or 예 the work file holds exactly the rows on screen;
# at the end the registered combinations are exactly the active, complete ones of the
# applied list (none while paused) and each runs its own entry, and the user's other
# files are untouched.
# Run: tests/e2e/run_all.sh random_session    (RANDOM_SEED=n STEPS=n to vary it)
set -u
cd "$(dirname "$0")"
source lib/e2e.sh
source lib/keyvane.sh
source lib/ui.sh
source lib/editor.sh

SEED=${RANDOM_SEED:-20261209}
STEPS=${STEPS:-60}
RANDOM=$SEED
WORK='C:\app\MyJob.ini'
KEYS=(N M K J L H Q)
ed_begin
kv_work_file "$WORK" <<'EOF'
가-P0-Ctrl+Alt+N-프로그램 실행-C:\e2e\probe.exe;ㅡㅡexit 가-True-
나-P1-Ctrl+Alt+M-프로그램 실행-C:\e2e\probe.exe;ㅡㅡexit 나-True-
다-P2-Ctrl+Alt+K-프로그램 실행-C:\e2e\probe.exe;ㅡㅡexit 다-False-
라-P3-Shift+Ctrl+Alt+J-프로그램 실행-C:\e2e\probe.exe;ㅡㅡexit 라-True-
EOF
# Files of the user's that no step may touch.
mkdir -p "$(e2e_unix_path 'C:\자료')"
printf '메모\r\n' | iconv -f UTF-8 -t CP949 > "$(e2e_unix_path 'C:\app\메모.txt')"
head -c 3000 /dev/urandom > "$(e2e_unix_path 'C:\자료\사진.bin')"
others=$(md5sum "$(e2e_unix_path 'C:\app\메모.txt')" "$(e2e_unix_path 'C:\자료\사진.bin')")
ed_open "$WORK"
echo "seed $SEED, $STEPS steps"

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
pick() { local a=("$@"); [ ${#a[@]} -gt 0 ] && echo "${a[RANDOM % ${#a[@]}]}"; }
log_step() { echo "  step $step: $*"; }
fail_step() { e2e_bad "step $step ($1): $2"; steps_failed=$((steps_failed + 1)); }

paused=0
modified=0                  # an edit was made since the last save
applied=$(file_rows)        # the list Keyvane registered last
steps_failed=0

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
    id=$(pick $(user_ids)) || return 0
    letters=$(printf '%s' "$(pick a b c)$(pick x y z)")
    log_step "row $id: '$letters' typed at the end of its description"
    select_row "$id" && ui_click_into "$ED" "$ED_SUBJECT" && xdotool key End && ui_type "$letters" &&
        ui_wait 10 "row $id's description to end in $letters" eval '[[ "$(row_of "$id" | cut -f1)" == *"$letters" ]]' &&
        modified=1 || fail_step type "the description does not show what was typed"
}
do_erase() {
    local id before
    id=$(pick $(user_ids)) || return 0
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
    id=$(pick $(ctrl_alt_ids)) || return 0
    keys=$(row_of "$id" | cut -f3)
    if [[ "$keys" == Shift+* ]]; then new=${keys#Shift+}; else new=Shift+$keys; fi
    select_row "$id" || { fail_step shift "row $id cannot be selected"; return; }
    change_hotkey "Shift clicked" "$id" "$keys" "$new" ui_click "$ED" Shift
}
do_key() {
    local id keys key
    id=$(pick $(ctrl_alt_ids)) || return 0
    keys=$(row_of "$id" | cut -f3)
    key=$(pick "${KEYS[@]}")
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
    id=$(pick $(user_ids)) || return 0
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
    line=$(pick $(awk -F- '$2 != "P99" && $6 == "True" && $3 ~ /Ctrl\+Alt\+/ && $5 ~ /^C:\\e2e\\probe\.exe;/ { print NR }' <<<"$applied")) || return 0
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
    ui_focus "$ED"
}
# closed_or_asked: the editor has gone, or asks about its edits
closed_or_asked() { ! kv_no_window '^알림말$' || ! editor_shown; }
do_close() {
    local answer before
    answer=$(pick 예 아니요 취소)
    log_step "the editor closed ($([ $modified = 1 ] && echo "with edits, answered $answer" || echo "no edits"))"
    before=$(rows)
    e2e_close "$(ui_wid "$ED" 5)" || { fail_step close "no editor to close"; return; }
    ui_wait 10 "the editor to close or ask" closed_or_asked
    if ! kv_no_window '^알림말$'; then
        [ $modified = 1 ] || echo "     (asked with no edit since the last save: answered $answer)"
        case $answer in
            예) ui_click 알림말 class:Button:0 ;;
            아니요) ui_click 알림말 class:Button:1 ;;
            취소) ui_click 알림말 class:Button:2 ;;
        esac
        e2e_wait_gone '^알림말$' 10
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

# weights: how many of the 20 slots each step has
STEP_TABLE=(type type type erase erase shift shift key key key new delete delete
            apply apply apply press press pause close)
for ((step = 1; step <= STEPS; step++)); do
    what=$(pick "${STEP_TABLE[@]}")
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
echo "  (seed $SEED, $STEPS steps; rerun: RANDOM_SEED=$SEED STEPS=$STEPS tests/e2e/run_all.sh random_session)"
e2e_stop
e2e_summary
