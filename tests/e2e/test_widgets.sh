#!/bin/bash
# The widget layer's native mirror under a real mouse and keyboard: platform_check.exe
# "widgets" shows a form with every kind of control and prints every event the program's
# controls fire; this script clicks and types at the controls' places and checks the events.
# Run: tests/e2e/run_all.sh widgets
set -u
cd "$(dirname "$0")" || exit 1
source lib/e2e.sh

CHECK=$E2E_TOOLS/platform_check.exe
[ -f "$CHECK" ] || { echo "FAIL missing $CHECK: cmake --build --preset win32"; exit 1; }
e2e_start || exit 1
L=$E2E_RUN/logs
EXE=$(e2e_install "$CHECK" 위젯)
OUT=$L/widgets.out

wine_ko wine "$EXE" widgets >"$OUT" 2>>"$E2E_RUN/wine.out" &
E2E_PIDS+=("$!")
e2e_check "the form is up" e2e_wait_file "$OUT" '^READY' 15
WID=$(e2e_wait_window '^위젯 점검$' 10) || e2e_bad "the form's window found by its caption"
point() { sed -nE "s/^POINT $1 (-?[0-9]+) (-?[0-9]+).*/\1 \2/p" "$OUT" | tr -d '\r'; }
# click <name> [button] [modifier]: a real click at the middle of a control (or a row, a tab)
click() {
    local x y
    read -r x y < <(point "$1")
    [ -n "${x:-}" ] || { _e2e_log "no point $1"; return 1; }
    xdotool mousemove "$x" "$y"
    sleep 0.05
    if [ -n "${3:-}" ]; then
        xdotool keydown "$3" click "${2:-1}" keyup "$3"
    else
        xdotool click "${2:-1}"
    fi
}
mark() { MARK=$(wc -l <"$OUT"); }
# events <line>...: the lines printed since the mark are exactly these, in this order
events() {
    local want got
    want=$(printf '%s\n' "$@")
    for _ in $(seq 60); do
        got=$(tail -n +$((MARK + 1)) "$OUT" | tr -d '\r')
        [ -n "$got" ] && [ "$(wc -l <<<"$got")" -ge $# ] && break
        sleep 0.05
    done
    sleep 0.3   # nothing more may follow
    got=$(tail -n +$((MARK + 1)) "$OUT" | tr -d '\r')
    [ "$got" = "$want" ] || { _e2e_log "events: wanted [$want] got [$got]"; return 1; }
}
none() { sleep 0.5; [ "$(wc -l <"$OUT")" = "$MARK" ] || { _e2e_log "unexpected: $(tail -n +$((MARK + 1)) "$OUT")"; return 1; }; }
[ -n "${WID:-}" ] && e2e_focus "$WID"

echo "== edit boxes"
mark; click txt_subject; xdotool type --delay 60 abc
e2e_check "typing fires one change per character" events 'CHANGE edit=a' 'CHANGE edit=ab' 'CHANGE edit=abc'
mark; e2e_key x
e2e_check "a swallowed key press adds nothing" events 'SWALLOW x'
mark; e2e_key BackSpace
e2e_check "deleting a character is a change too" events 'CHANGE edit=ab'
mark; click bntSet
e2e_check "a text the program sets fires its change" events 'CLICK set' 'CHANGE edit=program'
mark; click txt_subject; e2e_key End; xdotool type --delay 60 '!'
e2e_check "typing goes on at the caret after the program's text" events 'CHANGE edit=program!'
mark; e2e_key F1
e2e_check "F1 inside an edit box runs the menu item that has it" events 'MENU help'
mark; click bntClip
e2e_check "64 KiB on the clipboard" events 'CLIP ready'
mark; click txt_subject; e2e_key Home shift+End ctrl+v
e2e_check "pasting 64 KiB into an edit box keeps all of it" events 'CHANGE edit len=65536'
mark; click txt_Memo; e2e_key ctrl+v
e2e_check "pasting 64 KiB into the memo keeps all of it" events 'CHANGE memo len=65536'
mark; e2e_key ctrl+Home ctrl+shift+End; xdotool type --delay 60 $'a\nb'
e2e_check "Enter in the memo makes a line break" \
    events 'CHANGE memo=a' 'CHANGE memo=a\r\n' 'CHANGE memo=a\r\nb'

echo "== buttons, labels, pages"
mark; click Radio_2
e2e_check "a radio button reports becoming checked" events 'RADIO 2'
mark; click Radio_1
e2e_check "checking the other reports only that one" events 'RADIO 1'
mark; click Radio_1
e2e_check "clicking a checked radio button reports nothing" none
mark; click cbShift
e2e_check "clicking the check box checks it" events 'CHECK 1'
mark; click lbl_Link
e2e_check "a click on a label reaches it" events 'LABEL link'
mark; click bntPage2
e2e_check "a control on a hidden page takes no click" none
mark; click tab1; sleep 0.3; click bntPage2
e2e_check "after choosing its tab the page's button takes the click" events 'CLICK page2'

echo "== the list"
mark; click row0
e2e_check "clicking a row selects it" events 'SELECT 0 on'
mark; click row2 1 ctrl
e2e_check "ctrl-click adds a row to the selection" events 'SELECT 2 on'
mark; click row0 1 ctrl
e2e_check "ctrl-click on a selected row takes it out" events 'SELECT 0 off'
mark; click row3 1 shift
e2e_check "shift-click selects the range from the anchor" events 'SELECT 0 on' 'SELECT 1 on' 'SELECT 3 on'
mark; click row1
e2e_check "a plain click on a selected row: the others lose the selection" \
    events 'SELECT 0 off' 'SELECT 2 off' 'SELECT 3 off'
mark; click row2
e2e_check "a plain click on another row: the loss before the gain" events 'SELECT 1 off' 'SELECT 2 on'
mark; e2e_key Delete
e2e_check "a key on the list reaches its key-down handler" events 'KEYDOWN list delete'
mark; click row4 3
sleep 0.5; e2e_key Down Return
e2e_check "right-click selects the row and its popup item runs for it" \
    events 'SELECT 2 off' 'SELECT 4 on' 'POPUP open rows=4'
mark; e2e_key F2
e2e_check "the program selects a row (menu shortcut F2)" events 'MENU select' 'SELECT 4 off' 'SELECT 1 on'
mark; e2e_key Down
e2e_check "Down moves on from the row the program selected" events 'SELECT 1 off' 'SELECT 2 on'

echo "== a modal dialog"
mark; click bntModal
e2e_check "the dialog is up" events 'MODAL shown'
DWID=$(e2e_wait_window '^위젯 대화$' 10) || e2e_bad "dialog window found"
mark; xdotool type --delay 60 ok; e2e_key Return
e2e_check "Enter in the dialog's edit box presses its default button" events 'MODAL result=1 text=ok'
mark; click bntModal; e2e_wait_window '^위젯 대화$' 10 >/dev/null
e2e_key ctrl+super+F6
sleep 0.3; e2e_key Escape
e2e_check "a hotkey arrives while the dialog is up; Esc cancels it" events 'MODAL shown' 'HOTKEY 9' 'MODAL result=2 text='
mark; click bntModal; DWID=$(e2e_wait_window '^위젯 대화$' 10)
[ -n "${DWID:-}" ] && e2e_close "$DWID"
e2e_check "the close box cancels the dialog" events 'MODAL shown' 'MODAL result=2 text='

[ -n "${WID:-}" ] && e2e_focus "$WID"
mark; click cbShift; e2e_key alt+s
e2e_check "Alt and a button's mnemonic press it" events 'CHECK 0' 'CLICK set' 'CHANGE edit=program'

mark; e2e_close "$WID"
e2e_check "closing the form ends it" events 'CLOSED edit=program memo=a\r\nb'
e2e_summary
