#!/bin/bash
# The editor and the list window on screen together: shown one over the other they settle
# at once (no window passes the activation back and forth), Keyvane stays idle, and each
# window closes when asked.  The steps a user takes: Ctrl+Win+F1, then the tray menu opened
# with a right click and "단축 리스트 보기" chosen with the keys; then "단축 편집" the same way.
# Run: tests/e2e/run_all.sh keyvane_two_windows
set -u
cd "$(dirname "$0")"
source lib/e2e.sh
source lib/keyvane.sh
source lib/ui.sh
source lib/editor.sh

LIST='단축키 리스트'
ROUNDS=${KV_TWO_WINDOWS_ROUNDS:-3}
ed_begin
kv_work_file 'C:\app\MyJob.ini' <<'EOF2'
첫째-P0-Ctrl+Alt+N-프로그램 실행-C:\e2e\probe.exe;ㅡㅡexit 첫째-True-
EOF2
ed_open
kvpid=$(kv_unix_pids "$app" | head -1)
hz=$(getconf CLK_TCK)
cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat" 2>/dev/null || echo 0; }
# permille_over <seconds>: Keyvane's processor use over that time, per mille of one core
permille_over() {
    local t0 c0 t1 c1
    t0=$(date +%s%3N) c0=$(cpu_ticks "$kvpid")
    sleep "$1"
    t1=$(date +%s%3N) c1=$(cpu_ticks "$kvpid")
    echo $(( (c1 - c0) * 1000 * 1000 / hz / (t1 - t0) ))
}
# menu_by_keys <downs>: the tray menu opened with a right click, the item <downs> steps
# down chosen with Return
menu_by_keys() {
    sleep 0.6
    e2e_tray_click 0 3 && local menu && menu=$(e2e_wait_menu Keyvane.exe 5) || return 1
    timeout 3 xdotool windowfocus --sync "$menu"
    xdotool key $(printf 'Down %.0s' $(seq 1 "$1")) Return
}
focused() { [ "$(xdotool getwindowfocus 2>/dev/null)" = "$(ui_wid "$1" 1)" ]; }
shown() { xdotool search --onlyvisible --name "^$(_e2e_ere_quote "$1")\$" 2>/dev/null | wc -l; }
more_than() { [ "$(shown "$1")" -gt "$2" ]; }
# choose_by_keys <downs> <title>: as a user does when a key gets lost in the menu (it
# happens under Wine), tries again until that window has the focus (three times at most).
# Each choice of the list window opens one more, so once a new one is on screen it is not
# chosen again: the check waits longer for that one to take the focus instead.
choose_by_keys() {
    local try before
    for try in 1 2 3; do
        before=$(shown "$2")
        menu_by_keys "$1"
        _e2e_until 5 "$2 to have the focus" focused "$2" && return 0
        if more_than "$2" "$before"; then
            _e2e_until 15 "the new $2 to have the focus" focused "$2"
            return
        fi
        _e2e_untitled_window '^Keyvane\.exe$' >/dev/null && xdotool mousemove 700 600 click 1
        _e2e_log "try $try: no $2 in front"
    done
    return 1
}

for round in $(seq 1 "$ROUNDS"); do
    echo "== round $round"
    [ "$round" = 1 ] || ed_show 'C:\app\MyJob.ini'
    e2e_check "the editor is shown" ui_wid "$ED" 10
    e2e_check "the list window opens over it with the keyboard focus" choose_by_keys 4 "$LIST"
    use=$(permille_over 5)
    echo "  Keyvane used ${use} per mille of a core over 5 s with both windows shown"
    e2e_check "Keyvane stays near idle (at most 2% of a core)" test "$use" -le 20
    e2e_check "\"단축 편집\" brings the editor back over the list window" choose_by_keys 1 "$ED"
    use=$(permille_over 5)
    echo "  Keyvane used ${use} per mille of a core over 5 s with the editor in front"
    e2e_check "Keyvane stays near idle again" test "$use" -le 20
    e2e_close "$(ui_wid "$LIST" 5)"
    e2e_check "the list window closes when asked" e2e_wait_gone "^$LIST\$" 10
    e2e_close "$(ui_wid "$ED" 5)"
    e2e_check "the editor closes when asked" e2e_wait_gone "^$(_e2e_ere_quote "$ED")\$" 10
done

e2e_stop
e2e_summary
