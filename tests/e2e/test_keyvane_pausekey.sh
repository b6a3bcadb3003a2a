#!/bin/bash
# Ctrl+Win+F2 pauses and resumes Keyvane from any program: a real press releases the
# entry's hotkey, the control entry's and Ctrl+Win+F1 while Ctrl+Win+F2 stays taken; the
# tray icon's pixels and its tip change; a second press takes every combination again and
# the entry's hotkey works; held down, the key switches once, while quick presses (taps of
# F2 with Ctrl+Win held, whole chords, a burst of 500) each switch.  The time from the press until every hotkey is free is
# measured.  "끝내기" frees Ctrl+Win+F2 too.  With another program holding Ctrl+Win+F2
# before Keyvane starts, Keyvane runs as usual and Apply names the key in its notice.
# Run: tests/e2e/run_all.sh keyvane_pausekey
set -u
cd "$(dirname "$0")"
source lib/e2e.sh
source lib/keyvane.sh
source lib/ui.sh
source lib/editor.sh

CTRL_WIN=0x000A
ed_begin
kv_work_file 'C:\app\MyJob.ini' <<'EOF2'
첫째-P0-Ctrl+Alt+N-프로그램 실행-C:\e2e\probe.exe;ㅡㅡexit 첫째-True-
EOF2
kv_focus_probe
kv_start "$app" || { e2e_dump; exit 1; }
pid=$(kv_unix_pids "$app" | head -1)

# tray_tips: the tips of the tray's icons, one a line, as the tray holds them
tray_tips() { e2e_run "$(e2e_tool ctlist)" --tray-tips | sed -n 's/^P\t//p'; }
tip_is() { tray_tips | grep -qxF -- "$1"; }
wait_tip() { _e2e_until 10 "the tray tip '$1'" tip_is "$1"; }
# slot_pixels: a digest of the first tray slot's 16x16 pixels as the screen shows them
slot_pixels() {
    local tray
    tray=$(e2e_tray_wid 5) || return 1
    import -window "$tray" "$E2E_RUN/tray.ppm" 2>/dev/null || return 1
    python3 - "$E2E_RUN/tray.ppm" <<'PY'
import hashlib, sys
data = open(sys.argv[1], "rb").read()
fields, pos = [], 0
while len(fields) < 4:  # P6, width, height, maximum
    while data[pos:pos + 1].isspace(): pos += 1
    end = pos
    while not data[end:end + 1].isspace(): end += 1
    fields.append(data[pos:end]); pos = end
pos += 1
w, h = int(fields[1]), int(fields[2])
size = 1 if int(fields[3]) < 256 else 2
b = (w % 20) // 2
rows = b"".join(data[pos + 3 * size * (y * w + b + 2):pos + 3 * size * (y * w + b + 18)]
                for y in range(h - b - 18, h - b - 2))
print(hashlib.sha1(rows).hexdigest())
PY
}
pixels_are() { [ "$(slot_pixels)" = "$1" ]; }
pixels_differ() { local p; p=$(slot_pixels) && [ -n "$p" ] && [ "$p" != "$1" ]; }
# all_are <taken|free>: the entry's, the control entry's and the editor's combinations
all_are() {
    kv_wait_hotkey "$1" ctrl+alt N 10 && kv_wait_hotkey "$1" ctrl+alt Z 10 &&
        kv_wait_hotkey "$1" "$CTRL_WIN" 0x70 10
}
pause_key_is() { [ "$(e2e_hkcheck "$CTRL_WIN" 0x71)" = "$1" ]; }

echo "== running"
e2e_check "Ctrl+Win+F2 is taken at the start" pause_key_is taken
e2e_check "the tray tip reads \"키베인\"" wait_tip 키베인
running_pixels=$(slot_pixels)
e2e_check "the icon shows in the tray" test -n "$running_pixels"

echo "== Ctrl+Win+F2 pauses"
# press_pause: presses Ctrl+Win+F2 in the focus probe while hkcheck watches the entry's,
# the control entry's and the editor's combinations; sets PAUSE_MS, the time from just
# before F2 goes down until all three are free ('' when they did not come free).  A press
# that demonstrably went nowhere (a busy machine moved the focus late) is made once more.
press_pause() {
    _press_pause && [ -n "$PAUSE_MS" ] || _press_pause
}
_press_pause() {
    local watch=$E2E_RUN/logs/until-free.out watcher pressed freed
    # (straight to the file: its "watching" line must be there before it ends)
    wine_ko wine "$(e2e_tool hkcheck)" --until-free 10000 ctrl+alt N ctrl+alt Z ctrl+win F1 \
        >"$watch" 2>>"$E2E_RUN/wine.out" &
    watcher=$!
    E2E_PIDS+=("$watcher")
    e2e_wait_file "$watch" '^watching' 20
    e2e_focus "$KV_FOCUS"
    _e2e_until 5 "the focus probe to be active" _kv_focus_active >/dev/null
    # Ctrl and Win go down first ("xdotool key" waits between the keys of a chord), so the
    # time runs from just before F2 goes down.
    xdotool keydown --delay 0 ctrl super
    pressed=$(date +%s%6N)
    xdotool keydown --delay 0 F2 keyup --delay 0 F2 super ctrl
    wait "$watcher"
    freed=$(sed -n 's/^free at=\([0-9]*\).*/\1/p' "$watch")
    PAUSE_MS=
    [ -n "$freed" ] && PAUSE_MS=$(( (freed - pressed) / 1000 ))
    cat "$watch" >>"$E2E_RUN/logs/until-free.log"
}
# Three pauses, each resumed but the last, for the time it takes.
times=()
for round in 1 2 3; do
    press_pause
    times+=("${PAUSE_MS:-none}")
    [ -n "$PAUSE_MS" ] || break
    [ "$round" = 3 ] && break
    kv_press ctrl+super+F2
    all_are taken || break
done
echo "  (press of Ctrl+Win+F2 to every hotkey released, three pauses: ${times[*]} ms)"
e2e_check "each press freed every hotkey" test "${#times[@]}" = 3 -a -n "$PAUSE_MS"
e2e_check "the entry's, the control entry's and the editor's combinations are free" all_are free
e2e_check "Ctrl+Win+F2 stays taken" pause_key_is taken
e2e_check "the tray tip reads \"키베인 (잠시 중지)\"" wait_tip '키베인 (잠시 중지)'
e2e_check "the icon's pixels changed" _e2e_until 10 "the paused icon" pixels_differ "$running_pixels"
ui_shot paused-tray 'Wine System Tray'
kv_press ctrl+alt+n
kv_press ctrl+super+F1
e2e_check "Ctrl+Win+F1 shows nothing" ed_no_box "$(kv_editor_re 'C:\app\MyJob.ini')"
e2e_check "and the entry's hotkey starts nothing" kv_launches_are 0 'C:\e2e\probe.exe' '--exit 첫째'

echo "== Ctrl+Win+F2 again resumes"
kv_press ctrl+super+F2
e2e_check "every combination is taken again" all_are taken
e2e_check "Ctrl+Win+F2 with them" pause_key_is taken
e2e_check "the tray tip reads \"키베인\" again" wait_tip 키베인
e2e_check "the icon is the running one again" _e2e_until 10 "the running icon" pixels_are "$running_pixels"
kv_press ctrl+alt+n
e2e_check "and the entry's hotkey works" kv_wait_launch 'C:\e2e\probe.exe' '--exit 첫째'

echo "== Ctrl+Win+F2 held down switches once"
# The key repeats while held (about 15 times a second here): each repeat that reached
# Keyvane would switch again, so Ctrl+Win+F1 is looked at throughout the hold.
e2e_focus "$KV_FOCUS"
_e2e_until 5 "the focus probe to be active" _kv_focus_active >/dev/null
xdotool keydown --delay 0 ctrl super F2
states=()
end=$(( $(_e2e_now) + 2000000000 ))
while [ "$(_e2e_now)" -lt "$end" ]; do states+=("$(e2e_hkcheck "$CTRL_WIN" 0x70)"); done
xdotool keyup --delay 0 F2 super ctrl
echo "  (Ctrl+Win+F1 during the hold: ${states[*]})"
e2e_check "it pauses" all_are free
e2e_check "and stays paused while the key is held" eval '! grep -q "free taken" <<<"${states[*]}" && [ "${states[-1]}" = free ]'
kv_press ctrl+super+F2
e2e_check "a press resumes" all_are taken

echo "== quick presses each switch"
# quick <what> <xdotool key arguments...>: an even number of presses into the focus probe;
# each switches, so Keyvane runs afterwards (its control entry answers, after every switch
# before it) with every combination taken.
quick() {
    local what=$1
    shift
    e2e_focus "$KV_FOCUS"
    _e2e_until 5 "the focus probe to be active" _kv_focus_active >/dev/null
    xdotool "$@"
    e2e_check "$what: Keyvane runs afterwards" kv_settle
    e2e_check "  with every combination taken" all_are taken
}
quick "ten taps of F2 30 ms apart, Ctrl+Win held" \
    keydown --delay 0 ctrl super key --delay 30 $(printf 'F2 %.0s' {1..10}) keyup --delay 0 super ctrl
quick "six whole chords 5 ms apart" key --delay 5 $(printf 'ctrl+super+F2 %.0s' {1..6})
quick "a burst of 500 taps 1 ms apart" \
    keydown --delay 0 ctrl super key --delay 1 $(printf 'F2 %.0s' {1..500}) keyup --delay 0 super ctrl

echo "== ending"
kv_tray_choose 6
e2e_check "\"끝내기\" ends Keyvane" e2e_wait_exit "$pid" 15
e2e_check "and Ctrl+Win+F2 is free with the rest" _e2e_until 10 "Ctrl+Win+F2 free" pause_key_is free
e2e_check "every other combination too" all_are free

echo "== another program holds Ctrl+Win+F2"
e2e_probe 남 --hotkey 10 0x71
e2e_check "it holds Ctrl+Win+F2" _e2e_until 10 "Ctrl+Win+F2 taken" pause_key_is taken
e2e_check "Keyvane starts as usual" kv_start "$app"
pid=$(kv_unix_pids "$app" | head -1)
e2e_check "with the entry's and the control entry's combinations" all_are taken
e2e_check "and no message at the start" ed_no_box '^알림말$'
kv_press ctrl+super+F2
e2e_check "Ctrl+Win+F2 reaches the other program" e2e_wait_file "$(e2e_probe_log 남)" '^HOTKEY id=1' 10
e2e_check "Keyvane keeps every hotkey" all_are taken
kv_press ctrl+alt+n
e2e_check "the entry's hotkey works" kv_wait_launches 2 'C:\e2e\probe.exe' '--exit 첫째'
ed_show 'C:\app\MyJob.ini'
ed_click_row 첫째
ui_click_into "$ED" "$ED_SUBJECT"
xdotool key End
ui_type 둘
ui_wait 10 "the description edited" eval 'ed_row P0 | grep -q "^첫째둘"'
ui_click "$ED" 적용
e2e_check "Apply shows the notice" ui_wid 알림말 10
ui_shot notice 알림말
notice=$(ui_box_text 알림말)
e2e_check "it names Ctrl+Win+F2 once" test "$(grep -o 'Ctrl+Win+F2' <<<"$notice" | wc -l)" = 1
e2e_check "as the pause key" grep -qF 'Ctrl+Win+F2  (잠시 중지/시작)' <<<"$notice"
ui_click 알림말 class:Button:0
e2e_check "its button closes it" e2e_wait_gone '^알림말$' 10
e2e_check "the applied list is saved" ed_file_has 'C:\app\MyJob.ini' '^첫째둘-P0-'
e2e_check "and its hotkeys are registered" all_are taken
e2e_summary
