#!/bin/bash
# The real platform layer (platform/win32) under Wine: platform_check.exe runs its own
# checks, once with the Korean code page and once with a Western one (the backend converts
# CP949 itself, so both must pass), then the checks that need the outside world: a hotkey
# pressed on the X keyboard, the Run value as reg.exe sees it, message boxes answered by keys.
# Run: python3 tests/e2e/lib/reap.py tests/e2e/test_platform.sh   (or tests/e2e/run_all.sh platform)
set -u
cd "$(dirname "$0")" || exit 1
source lib/e2e.sh

CHECK=$E2E_TOOLS/platform_check.exe
[ -f "$CHECK" ] || { echo "FAIL missing $CHECK: cmake --build --preset win32"; exit 1; }
T0=$(_e2e_now)
lap() { echo "  ($(_e2e_ms_since "$T0") ms)"; }

e2e_start || exit 1
L=$E2E_RUN/logs
# A Korean folder: the program's own path goes through the conversions too.
EXE=$(e2e_install "$CHECK" 점검)
# reg_value <key> <value name>: the data as UTF-8, '' when absent.  reg.exe prints in the
# code page of its locale, so it runs with the Korean one and the output is converted.
reg_value() {
    wine_ko wine reg query "$1" /v "$2" 2>/dev/null | iconv -f CP949 -t UTF-8 | tr -d '\r' |
        awk -v v="$2" '{ line = $0; sub(/^ +/, "", line)
                         if (index(line, v "    REG_") != 1) next
                         line = substr(line, length(v) + 5); sub(/^REG_[A-Z_]+    /, "", line); print line; exit }'
}
RUN_KEY='HKLM\Software\Microsoft\Windows\CurrentVersion\Run'
USER_RUN_KEY='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'

# run_checks <label> <code page> cmd...: platform_check's own lines become checks here; a
# crash shows as a missing DONE line.
run_checks() {
    local label=$1 acp=$2 out line
    shift 2
    out=$("$@")
    e2e_check "$label: the program ran with code page $acp" grep -qx "INFO acp=$acp" <<<"$out"
    while IFS= read -r line; do
        case $line in
            "PASS "*) e2e_ok "$label: ${line#PASS }" ;;
            "FAIL "*) e2e_bad "$label: ${line#FAIL }" ;;
            "INFO "*) echo "  $label: ${line#INFO }" ;;
        esac
    done <<<"$out"
    e2e_check "$label: every check ran to the end" grep -qx 'DONE failures=0' <<<"$out"
}

echo "== platform checks, Korean code page"
run_checks ko 949 e2e_run "$EXE"
lap

echo "== platform checks, Western code page"
# From a folder whose name CP949 cannot spell: the paths the program takes from the system
# must lead back to the same files, and process names keep their accents.
WEXE=$(e2e_install "$CHECK" 'Café 점검')
E2E_WINE_LOCALE=C.UTF-8 run_checks western 1252 e2e_run "$WEXE"
lap

echo "== a hotkey pressed on the keyboard, while the program sleeps"
WAIT_OUT=$L/wait_hotkey.out
wine_ko wine "$EXE" wait-hotkey 20 >"$WAIT_OUT" 2>>"$E2E_RUN/wine.out" &
E2E_PIDS+=("$!")
e2e_check "wait-hotkey registered Ctrl+Win+F5 and is ready" e2e_wait_file "$WAIT_OUT" '^READY' 10
e2e_check "Ctrl+Win+F5 is taken, seen from another program" test "$(e2e_hkcheck ctrl+win F5)" = taken
# Wine checks hotkeys only for keys that reach one of its windows: focus the program's own.
WID=$(e2e_wait_window '^플랫폼 단축키 대기$' 10) && e2e_ok "its window found by the Korean caption" ||
    e2e_bad "its window found by the Korean caption"
sleep 1  # a second of idling, so the CPU figure below says something
[ -n "$WID" ] && e2e_focus "$WID"
e2e_key ctrl+super+F5
e2e_check "WM_HOTKEY id 7 reached the hook" e2e_wait_file "$WAIT_OUT" '^HOTKEY id=7 ' 5
read -r wall cpu < <(sed -nE 's/^HOTKEY id=7 wall_ms=([0-9]+) cpu_ms=([0-9]+).*/\1 \2/p' "$WAIT_OUT")
echo "  waited ${wall:-?} ms using ${cpu:-?} ms of CPU"
e2e_check "waiting slept: CPU under a quarter of the time waited" \
    test -n "${wall:-}" -a "${wall:-0}" -ge 1000 -a $(( ${cpu:-99999} * 4 )) -lt "${wall:-0}"
lap

echo "== the native controls under a real mouse and keyboard"
CTL_OUT=$L/controls.out
wine_ko wine "$EXE" controls >"$CTL_OUT" 2>>"$E2E_RUN/wine.out" &
E2E_PIDS+=("$!")
e2e_check "the dialog is up" e2e_wait_file "$CTL_OUT" '^READY' 10
CWID=$(e2e_wait_window '^플랫폼 컨트롤$' 10) || e2e_bad "dialog window found by its caption"
point() { sed -nE "s/^POINT $1 ([0-9]+) ([0-9]+).*/\1 \2/p" "$CTL_OUT"; }
click() { local x y; read -r x y < <(point "$1"); xdotool mousemove "$x" "$y" click 1; }
# events <line>...: the lines printed since the mark are exactly these, in this order
mark() { MARK=$(wc -l <"$CTL_OUT"); }
events() {
    local want got
    want=$(printf '%s\n' "$@")
    for _ in $(seq 40); do
        got=$(tail -n +$((MARK + 1)) "$CTL_OUT" | tr -d '\r')
        [ "$(wc -l <<<"$got")" -ge $# ] && [ -n "$got" ] && break
        sleep 0.05
    done
    sleep 0.2   # nothing more may follow
    got=$(tail -n +$((MARK + 1)) "$CTL_OUT" | tr -d '\r')
    [ "$got" = "$want" ] || { _e2e_log "events: wanted [$want] got [$got]"; return 1; }
}
[ -n "$CWID" ] && e2e_focus "$CWID"
mark; click row1
e2e_check "clicking a row selects it" events 'SELECT row=1 on'
mark; click row2
e2e_check "clicking another row: the old row's loss, then the new row's gain" events 'SELECT row=1 off' 'SELECT row=2 on'
mark; click empty
e2e_check "clicking empty space in the list clears the selection" events 'SELECT row=2 off'
mark; click check
e2e_check "clicking the check box checks it" events 'CHECK checked=1'
mark; e2e_key space
e2e_check "Space on the focused check box unchecks it" events 'CHECK checked=0'
mark; e2e_key Tab Down
e2e_check "Tab moves to the key list; Down picks its first entry" events 'COMBO index=0'
mark; e2e_close "$CWID"
e2e_check "Alt+F4 closes the dialog through the form" events 'CLOSED'
lap

echo "== the Run value as reg.exe sees it"
VALUE='"C:\키베인\Keyvane.exe" /자동'
e2e_check "set-run HKLM" e2e_run "$EXE" set-run Keyvane "$VALUE"
e2e_check "reg.exe reads the HKLM value, Korean intact" test "$(reg_value "$RUN_KEY" Keyvane)" = "$VALUE"
e2e_check "set-run HKCU" e2e_run "$EXE" set-run '키베인 사용자' 'C:\app\Keyvane.exe' hkcu
e2e_check "reg.exe reads the HKCU value under its Korean name" \
    test "$(reg_value "$USER_RUN_KEY" '키베인 사용자')" = 'C:\app\Keyvane.exe'
wine_ko wine reg add "$USER_RUN_KEY" /v Written /t REG_SZ /d 'C:\바깥\값.exe' /f >/dev/null 2>&1
e2e_check "get-run reads a value reg.exe wrote" test "$(e2e_run "$EXE" get-run Written hkcu)" = 'VALUE=C:\바깥\값.exe'
e2e_check "del-run HKLM" e2e_run "$EXE" del-run Keyvane
e2e_check "reg.exe no longer finds the HKLM value" test -z "$(reg_value "$RUN_KEY" Keyvane)"
e2e_check "del-run of a missing value is refused" test "$(e2e_run "$EXE" del-run Keyvane)" = REFUSED
e2e_check "del-run HKCU" e2e_run "$EXE" del-run '키베인 사용자' hkcu
e2e_check "reg.exe no longer finds the HKCU value" test -z "$(reg_value "$USER_RUN_KEY" '키베인 사용자')"
lap

echo "== the pumping wait sleeps between messages"
# 5 s of PumpingWait with a timer ticking every 100 ms inside it: on time, the ticks all
# ran, and at most 2 % of one core used (a spinning wait uses all of it).
wait_out=$(e2e_run "$EXE" pumping-wait 5000)
echo "  $wait_out"
read -r elapsed cpu ticks < <(sed -E 's/.*elapsed_ms=([0-9]+) cpu_ms=([0-9]+) ticks=([0-9]+).*/\1 \2 \3/' <<<"$wait_out")
e2e_check "the wait returned between 5000 and 5030 ms (took ${elapsed:-?})" \
    test "${elapsed:-0}" -ge 5000 -a "${elapsed:-99999}" -le 5030
e2e_check "timers ran inside the wait (${ticks:-?} ticks)" test "${ticks:-0}" -ge 45
e2e_check "the wait used at most 100 ms of processor time (${cpu:-?} ms)" test "${cpu:-99999}" -le 100
lap

echo "== message boxes"
# box <mode> <caption ERE> <key> <expected RESULT line>
box() {
    local out=$L/box_$1_$3.out wid
    wine_ko wine "$EXE" "$1" >"$out" 2>>"$E2E_RUN/wine.out" &
    E2E_PIDS+=("$!")
    wid=$(e2e_wait_window "$2" 10) || return 1
    e2e_focus "$wid" && e2e_key "$3"
    e2e_wait_file "$out" "^$4"$'\r?$' 5     # a console program's lines end in CR LF
}
e2e_check "message box with a Korean caption: Escape answers Cancel" box message-box '^플랫폼 알림$' Escape 'RESULT=2'
e2e_check "message box: Return answers the default button, Yes" box message-box '^플랫폼 알림$' Return 'RESULT=6'
e2e_check "error box titled Keyvane closes with Return" box error-box '^Keyvane$' Return 'RESULT=closed'
lap

e2e_stop
e2e_check "no process of this prefix left" test -z "$(e2e_wine_procs)"
e2e_summary
