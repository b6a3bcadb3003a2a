#!/bin/bash
# The harness itself: prefix, probe, window lookup by title, injected keys, hotkey
# registration seen from outside, launch interception.  When this fails, every other
# Wine test would fail for reasons that are not Keyvane's.
# Run: python3 tests/e2e/lib/reap.py tests/e2e/test_harness.sh   (or tests/e2e/run_all.sh)
set -u
cd "$(dirname "$0")"
source lib/e2e.sh

e2e_start || exit 1
L=$E2E_RUN/logs

echo "== probe start: command line, window, keys"
# Korean, blanks and a quote must reach the program as the Windows command line says.
e2e_probe 하나 '인자 둘' 셋 'a"b' --hotkey 3 0x7A
e2e_check "probe window found by its Korean title" test -n "$E2E_WID"
e2e_check "Wine runs with code page 949 and CP949 literals read right" \
    grep -qx 'START acp=949 literal=ok' "$(e2e_probe_log 하나)"
e2e_check "LAUNCH line holds the exact Korean arguments" \
    grep -qxF 'LAUNCH exe="C:\e2e\probe.exe" cwd="Z:'"${PWD//\//\\}"'" cmdline=--name 하나 "인자 둘" 셋 a\"b --hotkey 3 0x7A' "$L/launch.log"
e2e_focus "$E2E_WID"
e2e_key a shift+b
e2e_check "key pressed with xdotool reaches the focused probe" e2e_wait_file "$(e2e_probe_log 하나)" '^KEY vk=0x41 sys=0 ' 3
e2e_check "typed characters arrive as WM_CHAR" e2e_wait_file "$(e2e_probe_log 하나)" '^CHAR 0x42 ' 3

echo "== hotkeys seen from outside"
e2e_check "hkcheck: the probe's Ctrl+Alt+F11 is taken" test "$(e2e_hkcheck ctrl+alt F11)" = taken
e2e_check "hkcheck: an unused combination is free" test "$(e2e_hkcheck 7 0x7B)" = free
e2e_check "hkcheck: checking did not take it" test "$(e2e_hkcheck ctrl+alt+shift F12)" = free
e2e_focus "$E2E_WID"
# Ctrl+Alt+F<n> is a VT switch in the stock X keymap, which Xvfb swallows (see e2e_start)
e2e_key ctrl+alt+F11
e2e_check "a Ctrl+Alt+F11 hotkey fires while a Wine window has the focus" \
    e2e_wait_file "$(e2e_probe_log 하나)" '^HOTKEY id=1 ' 3
e2e_unfocus
e2e_key ctrl+alt+F11
sleep 0.5
e2e_check "with no Wine window focused the hotkey does not fire" \
    test "$(grep -c '^HOTKEY' "$(e2e_probe_log 하나)")" = 1

echo "== launch interception"
: > "$L/launch.log"
e2e_wine start 'http://example.org/검색?q=한 글'
e2e_wine start iexplore.exe 'http://example.org/a b'
e2e_wine start 'C:\windows\temp'
e2e_check "http URL opened through the probe" \
    e2e_wait_file "$L/launch.log" '^LAUNCH exe="C:\\e2e\\probe.exe" .* cmdline=--exit "http://example.org/검색\?q=한 글"$' 5
e2e_check "iexplore.exe is the probe" \
    e2e_wait_file "$L/launch.log" '^LAUNCH exe="C:\\windows\\system32\\iexplore.exe" .* cmdline="http://example.org/a b"$' 5
e2e_check "folder opened through the probe" \
    e2e_wait_file "$L/launch.log" '^LAUNCH exe="C:\\e2e\\probe.exe" .* cmdline=--exit "C:\\windows\\temp"$' 5
e2e_check "no Explorer or browser window appeared" test -z "$(xdotool search --onlyvisible --name '^(temp|.*example.*)$')"

echo "== several probes at once, a renamed copy, closing"
for n in 1 2 3 4; do e2e_wine 'C:\e2e\probe.exe' --name "동시$n"; done
for n in 1 2 3 4; do e2e_wait_window "^probe 동시$n\$" 10 >/dev/null; done
e2e_check "four probes started at once wrote four whole LAUNCH lines" \
    test "$(grep -cE '^LAUNCH exe="C:\\e2e\\probe.exe" cwd="[^"]*" cmdline=--name 동시[1-4]$' "$L/launch.log")" = 4
e2e_probe_as 'C:\도구\메모.exe'
e2e_wine 'C:\도구\메모.exe' '새 파일.txt'
memo=$(e2e_wait_window '^probe 메모$' 10)
e2e_check "a copy of the probe is named after its file" test -n "$memo"
e2e_check "and logs where it ran from" \
    grep -qE '^LAUNCH exe="C:\\도구\\메모.exe" cwd="[^"]*" cmdline="새 파일.txt"$' "$L/launch.log"
# The newest window: it activates itself a moment after it appears, and no window comes
# after it that could take the focus between the focusing and the Alt+F4.
e2e_wait_file "$(e2e_probe_log 메모)" '^ACTIVE 1' 5 >/dev/null
e2e_close "$memo"
e2e_check "Alt+F4 closes the probe (WM_CLOSE)" e2e_wait_file "$(e2e_probe_log 메모)" '^CLOSE' 3
e2e_check "its window is gone" e2e_wait_gone '^probe 메모$' 3
e2e_check "the other probes are still there" e2e_wait_window '^probe 하나$' 1

e2e_stop
e2e_summary
