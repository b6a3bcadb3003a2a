#!/bin/bash
# The tray icon component under Wine: its icon shows in Wine's own tray window, a real right
# click opens its menu and the item chosen runs, a real double click runs the default item,
# and after another program takes the icon out and the shell's "TaskbarCreated" is
# broadcast, the icon is back and works.
# Run: python3 tests/e2e/lib/reap.py tests/e2e/test_tray_icon.sh   (or tests/e2e/run_all.sh tray_icon)
set -u
cd "$(dirname "$0")" || exit 1
source lib/e2e.sh

CHECK=$E2E_TOOLS/platform_check.exe
[ -f "$CHECK" ] || { echo "FAIL missing $CHECK: cmake --build --preset win32"; exit 1; }

e2e_start || exit 1
EXE=$(e2e_install "$CHECK" tray)
OUT=$E2E_RUN/logs/tray.out
wine_ko wine "$EXE" tray 60 >"$OUT" 2>>"$E2E_RUN/wine.out" &
TRAY_PID=$!
E2E_PIDS+=("$TRAY_PID")

# The lines the program printed, without the carriage returns of its console.
lines() { tr -d '\r' <"$OUT"; }
count() { lines | grep -cx -- "$1"; }
count_is() { [ "$(count "$1")" = "$2" ]; }
wait_count() { _e2e_until "${3:-5}" "waiting for $2 x '$1'" count_is "$1" "$2"; }
menu_shown() { e2e_wait_menu platform_check.exe "${1:-5}"; }
menu_gone() { ! _e2e_untitled_window '^platform_check\.exe$' >/dev/null; }
# A right click on the first slot; prints the menu's window when one opens.  Two clicks
# within the double-click time (500 ms) make a double click, which opens no menu, so the
# click waits that long after the one before.
open_menu() { sleep 0.6; e2e_tray_click 0 3 && menu_shown "$@"; }
# Items are chosen with the mouse. Keys would go to Wine's foreground window, and under load
# the shell's tray window sometimes stays the foreground one even after the program brought
# its own forward, so the menu never sees them; a click goes to the menu, which holds the
# mouse while it is open.  The menu's layout, measured under this Xvfb with its fonts:
# a 3-pixel frame, 18-pixel items, a 9-pixel separator after the first item.
#   0 열기(&O)   1 둘째 항목(&B)   2 못 고름(&D) (disabled)   3 끝내기(&X)
item_y() { echo $(( 3 + 18 * $1 + ($1 > 0 ? 9 : 0) + 9 )); }
# click_item <menu> <index>
click_item() { xdotool mousemove --window "$1" 30 "$(item_y "$2")" click 1; }
# click_away: a click on the empty screen, away from the menu and the tray
click_away() { xdotool mousemove 700 500 click 1; }

e2e_check "the component is up and says the shell took its icon" e2e_wait_file "$OUT" '^READY hwnd=[0-9a-f]+ intray=1' 15
HWND=$(lines | sed -nE 's/^READY hwnd=([0-9a-f]+).*/\1/p')
TRAY=$(e2e_tray_wid 10) && e2e_ok "Wine's tray window is there" || e2e_bad "Wine's tray window is there"

# The icon's pixels: the first slot holds more than the tray's background colour.
# slot_colours <ppm file>: the number of colours in the first 16x16 slot of the tray's image.
slot_colours() {
    python3 - "$1" <<'PY'
import sys
data = open(sys.argv[1], "rb").read()
fields, pos = [], 0
while len(fields) < 4:  # P6, width, height, maximum; comments are not written by import
    while data[pos:pos + 1].isspace(): pos += 1
    end = pos
    while not data[end:end + 1].isspace(): end += 1
    fields.append(data[pos:end]); pos = end
pos += 1
w, h = int(fields[1]), int(fields[2])
size = 1 if int(fields[3]) < 256 else 2  # bytes per sample
b = (w % 20) // 2
colours = set()
for y in range(h - b - 18, h - b - 2):
    for x in range(b + 2, b + 18):
        i = pos + 3 * size * (y * w + x)
        colours.add(data[i:i + 3 * size])
print(len(colours))
PY
}
if [ -n "$TRAY" ]; then
    import -window "$TRAY" "$E2E_RUN/tray.ppm" 2>/dev/null
    colours=$(slot_colours "$E2E_RUN/tray.ppm")
    e2e_check "the first slot shows an icon ($colours colours)" test "${colours:-0}" -ge 3
fi

echo "== a right click opens the menu; the item chosen runs"
MENU=$(open_menu) && e2e_ok "the popup menu opened" || e2e_bad "the popup menu opened"
[ -n "$MENU" ] && click_item "$MENU" 1
e2e_check "the chosen item ran" wait_count "CHOSE second" 1
e2e_check "the menu closed" _e2e_until 5 "menu to close" menu_gone
e2e_check "a right click that opened the menu is no click" count_is "CLICK right" 0

echo "== a disabled item cannot be chosen; a click elsewhere closes the menu with nothing run"
MENU=$(open_menu) && e2e_ok "the popup menu opened again" || e2e_bad "the popup menu opened again"
if [ -n "$MENU" ]; then
    click_item "$MENU" 2
    sleep 0.5
fi
e2e_check "the menu stays open after a click on the disabled item" _e2e_untitled_window '^platform_check\.exe$'
click_away
e2e_check "a click elsewhere closes it" _e2e_until 5 "menu to close" menu_gone
e2e_check "the disabled item did not run" count_is "CHOSE disabled" 0
e2e_check "nothing else ran" count_is "CHOSE second" 1

echo "== a double click runs the default item"
e2e_tray_click 0 1 2
e2e_check "the default item ran" wait_count "CHOSE open" 1
e2e_check "no DBLCLICK event besides it" count_is DBLCLICK 0

echo "== the icon comes back when the taskbar is created again"
e2e_check "another program took the icon out" e2e_run "$EXE" tray-remove "$HWND"
# With no icon left, Wine hides its tray window.
e2e_check "the icon is out: Wine's tray window hides" e2e_wait_gone '^Wine System Tray$' 5
e2e_check "TaskbarCreated broadcast" e2e_run "$EXE" taskbar-created
sleep 0.5
e2e_check "the icon is back: Wine's tray window shows again" e2e_tray_wid 5
MENU=$(open_menu) && e2e_ok "the icon is back: its menu opens" || e2e_bad "the icon is back: its menu opens"
[ -n "$MENU" ] && click_item "$MENU" 1
e2e_check "and its item runs" wait_count "CHOSE second" 2

echo "== ending from the menu takes the icon out"
MENU=$(open_menu) && e2e_ok "the popup menu opened" || e2e_bad "the popup menu opened"
[ -n "$MENU" ] && click_item "$MENU" 3
e2e_check "the program ended" e2e_wait_file "$OUT" '^END' 10
e2e_check "its process is gone" e2e_wait_exit "$TRAY_PID" 10
e2e_check "its icon went with it: Wine's tray window hides" e2e_wait_gone '^Wine System Tray$' 5

e2e_summary
