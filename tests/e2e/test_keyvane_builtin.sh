#!/bin/bash
# The built-in actions ("특정액션 실행") acting on the foreground window: the system-menu
# actions maximise, restore, minimise and close it; the Win shortcuts reach it as keys
# (Wine has no shell behind them); the mouse actions click where the pointer is and
# leave it there; the hotkey's modifiers, still held, do not spoil the shortcut.
# Run: tests/e2e/run_all.sh keyvane_builtin
set -u
cd "$(dirname "$0")"
source lib/e2e.sh
source lib/keyvane.sh

e2e_start || exit 1
app=$(e2e_install_keyvane)
kv_work_file 'C:\app\MyJob.ini' <<'EOF'
최대화-P0-Ctrl+Alt+1-특정액션 실행-현재 창 최대화-True-
이전크기-P1-Ctrl+Alt+2-특정액션 실행-현재 창 이전크기로-True-
최소화-P2-Ctrl+Alt+3-특정액션 실행-현재 창 최소화-True-
닫기-P3-Ctrl+Alt+4-특정액션 실행-현재 창 닫기-True-
모두 내리기-P4-Ctrl+Alt+5-특정액션 실행-작업화면 모두 내리기-True-
원래대로-P5-Ctrl+Alt+6-특정액션 실행-작업화면 원래대로-True-
탐색기-P6-Ctrl+Alt+7-특정액션 실행-탐색기 열기-True-
파일 찾기-P7-Ctrl+Alt+8-특정액션 실행-파일 찾기-True-
컴퓨터 찾기-P8-Ctrl+Alt+9-특정액션 실행-컴퓨터 찾기-True-
실행창-P9-Ctrl+Alt+0-특정액션 실행-실행창 열기-True-
왼쪽 클릭-P10-Ctrl+Alt+L-특정액션 실행-마우스 왼쪽 클릭-True-
오른쪽 클릭-P11-Ctrl+Alt+R-특정액션 실행-마우스 오른쪽 클릭-True-
더블 클릭-P12-Ctrl+Alt+D-특정액션 실행-마우스 왼쪽 더블 클릭-True-
누른채 최소화-P13-Ctrl+Win+N-특정액션 실행-현재 창 최소화-True-
없는 액션-P14-Ctrl+Alt+U-특정액션 실행-현재 창 최대화 -True-
EOF

kv_focus_probe
kv_start "$app" || { e2e_dump; exit 1; }

# lines <file>: how many lines it has now
lines() { wc -l < "$1" 2>/dev/null || echo 0; }
# keys_since <log> <line>: the vk codes of the KEY lines after that line, blank-separated
keys_since() { tail -n +"$(( $2 + 1 ))" "$1" | sed -n 's/^KEY vk=\(0x[0-9A-F]*\) .*/\1/p' | tr '\n' ' ' | sed 's/ $//'; }
_keys_are() { [ "$(keys_since "$1" "$2")" = "$3" ]; }
# wait_keys <log> <line> <vk list> [timeout_s=5]: until exactly those key downs followed it
wait_keys() {
    _e2e_until "${4:-5}" "waiting for keys '$3' in $1" _keys_are "$1" "$2" "$3" ||
        { _e2e_log "got: $(keys_since "$1" "$2")"; return 1; }
}
# since <log> <line> <ERE> [timeout_s=5]: until a line after that one matches
_has_since() { tail -n +"$(( $2 + 1 ))" "$1" 2>/dev/null | grep -qE -- "$3"; }
since() { _e2e_until "${4:-5}" "waiting for /$3/ after line $2 of $1" _has_since "$1" "$2" "$3"; }

# width <X window>: its width on the screen now
width() { xdotool getwindowgeometry --shell "$1" | sed -n 's/^WIDTH=//p'; }
_width_is() { [ "$(width "$1")" "$2" "$3" ]; }
# wait_width <X window> <test operator> <pixels>: until its width compares so
wait_width() { _e2e_until 5 "waiting for the width of $1 to be $2 $3" _width_is "$1" "$2" "$3"; }

echo "== the system menu acts on the foreground window"
# Wine's system menu takes the letters X, R, N and C as the English one does: Alt+Space
# gives SC_KEYMENU, the letter the command, and the letter itself reaches no window.
e2e_probe 창 || { e2e_dump; exit 1; }
win=$E2E_WID log=$(e2e_probe_log 창)
e2e_wait_file "$log" '^START ' 5
normal=$(width "$win")
n=$(lines "$log"); e2e_focus "$win" && e2e_key ctrl+alt+1
e2e_check "현재 창 최대화: the window is maximised" since "$log" "$n" '^SIZE type=2 '
e2e_check "by the system menu's maximise command" since "$log" "$n" '^SYSCOMMAND 0xF100$' 1
e2e_check "which fills the screen's width" wait_width "$win" -ge 1024
n=$(lines "$log"); e2e_focus "$win" && e2e_key ctrl+alt+2
e2e_check "현재 창 이전크기로: the window is restored" since "$log" "$n" '^SIZE type=0 '
e2e_check "by the system menu's restore command" since "$log" "$n" '^SYSCOMMAND 0xF120$' 1
e2e_check "to its old width" wait_width "$win" = "$normal"
n=$(lines "$log"); e2e_focus "$win" && e2e_key ctrl+alt+3
e2e_check "현재 창 최소화: the window is minimised" since "$log" "$n" '^SIZE type=1 '
e2e_check "by the system menu's minimise command" since "$log" "$n" '^SYSCOMMAND 0xF020$' 1
e2e_check "to an icon title narrower than the window" wait_width "$win" -lt "$normal"
e2e_check "no letter of the system menu reached the window as a key" \
    test -z "$(grep -E '^KEY vk=0x(58|52|4E) ' "$log")"

e2e_probe 닫기 || { e2e_dump; exit 1; }
wclose=$E2E_WID pclose=$E2E_LASTPID
e2e_wait_file "$(e2e_probe_log 닫기)" '^START ' 5
e2e_focus "$wclose" && e2e_key ctrl+alt+4
e2e_check "현재 창 닫기: the window gets the close command" e2e_wait_file "$(e2e_probe_log 닫기)" '^SYSCOMMAND 0xF060$' 5
e2e_check "closes" e2e_wait_file "$(e2e_probe_log 닫기)" '^CLOSE$' 5
e2e_check "and the program ends" e2e_wait_exit "$pclose" 5

echo "== with the hotkey's Ctrl and Win still held down"
e2e_probe 누른채 || { e2e_dump; exit 1; }
whold=$E2E_WID hlog=$(e2e_probe_log 누른채)
e2e_wait_file "$hlog" '^START ' 5
n=$(lines "$hlog"); e2e_focus "$whold"
# N goes up at once (no key repeat can press the hotkey again); Ctrl and Win stay down
# until the window has answered.
xdotool keydown ctrl+super+n keyup n
e2e_check "현재 창 최소화 still minimises the window" since "$hlog" "$n" '^SIZE type=1 '
xdotool keyup ctrl+super

echo "== Win shortcuts arrive as keys"
flog=$(kv_focus_log)
for pair in "5:0x5B 0x4D" "6:0x5B 0x10 0x4D" "7:0x5B 0x45" "8:0x5B 0x46" "9:0x5B 0x11 0x46" "0:0x5B 0x52"; do
    k=${pair%%:*} keys=${pair#*:}
    n=$(lines "$flog"); kv_press ctrl+alt+$k
    e2e_check "Ctrl+Alt+$k: after the hotkey's own Ctrl and Alt, $keys" wait_keys "$flog" "$n" "0x11 0x12 $keys"
done

# A name the actions do not know (here with a trailing blank) does nothing at all.
n=$(lines "$flog"); kv_press ctrl+alt+u
kv_settle
e2e_check "an unknown action name sends nothing (only the two hotkeys' Ctrl and Alt arrive)" \
    test "$(keys_since "$flog" "$n")" = "0x11 0x12 0x11 0x12"

echo "== mouse actions click where the pointer is"
e2e_probe 클릭 || { e2e_dump; exit 1; }
wclick=$E2E_WID clog=$(e2e_probe_log 클릭)
e2e_wait_file "$clog" '^START ' 5
# mouse_since <line>: the MOUSE lines after that line as "ldown@x,y ..."
mouse_since() { tail -n +"$(( $1 + 1 ))" "$clog" | sed -n 's/^MOUSE \([a-z]*\) x=\(-*[0-9]*\) y=\(-*[0-9]*\) .*/\1@\2,\3/p' | tr '\n' ' ' | sed 's/ $//'; }
_mouse_is() { [ "$(mouse_since "$1")" = "$2" ] && [ "$(tail -n +"$(( $1 + 1 ))" "$clog" | grep -c '^BUTTON clicked')" = "$3" ]; }
pointer() { xdotool getmouselocation --shell | sed -n 's/^[XY]=//p' | tr '\n' ' ' | sed 's/ $//'; }
# click <hotkey> <client x on the button> <events> <BN_CLICKED count> <what>: points at
# that spot of the button (spots 30 px apart: no two actions make a double click), presses
# the hotkey, waits for exactly those button events there, and for the pointer to stay
click() {
    local at x y n want=() e
    at=$(e2e_run "$(e2e_tool wincheck)" client "probe 클릭" "$2" 55) || { e2e_bad "$5: no button"; return; }
    x=${at% *} y=${at#* }
    xdotool mousemove "$x" "$y"
    for e in $3; do want+=("$e@$x,$y"); done
    n=$(lines "$clog"); e2e_focus "$wclick" && e2e_key "$1"
    e2e_check "$5" _e2e_until 5 "waiting for '${want[*]}' and $4 clicks" _mouse_is "$n" "${want[*]}" "$4"
    e2e_check "and the pointer is still at $x,$y" test "$(pointer)" = "$x $y"
}
click ctrl+alt+l 190 "ldown lup" 1 "마우스 왼쪽 클릭: one left click on the button where the pointer is"
click ctrl+alt+r 220 "rdown rup" 0 "마우스 오른쪽 클릭: one right click there, which does not press the button"
click ctrl+alt+d 250 "ldown lup ldblclk lup" 2 "마우스 왼쪽 더블 클릭: a double click there, the button pressed twice"

e2e_stop
e2e_summary
