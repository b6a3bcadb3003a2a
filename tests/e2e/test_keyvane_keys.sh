#!/bin/bash
# Key sequences typed into a login form: the texts arrive through the clipboard exactly
# as written (Hangul, a trailing blank, "-", a key name in the wrong case), Tab and Enter
# move between the boxes and press the default button; also with the hotkey's Ctrl and
# Win still held, and on a Western Windows (code page 1252).  With the clipboard held by
# another program nothing is pasted or pressed.  Then the timing of a 10-item sequence.
# Run: tests/e2e/run_all.sh keyvane_keys
set -u
cd "$(dirname "$0")"
source lib/e2e.sh
source lib/keyvane.sh

e2e_start || exit 1
app=$(e2e_install_keyvane)
check=$(e2e_install "$E2E_TOOLS/platform_check.exe" tools)
# Ctrl+Win+V, Ctrl+Win+Tab and Ctrl+Win+Return are hotkeys too: a key of the sequence
# that went out with the user's Ctrl and Win would start their program instead of typing.
kv_work_file 'C:\app\MyJob.ini' <<'EOF'
로그인-P0-Ctrl+Win+K-키값자동 입력-아이디;VK_TAB;비밀번호 ;VK_RETURN-True-
철자-P1-Ctrl+Win+J-키값자동 입력-하나;vk_Tab; ㅡ둘ㅡ;VK_RETURN-True-
붙여넣기 가로챔-P2-Ctrl+Win+V-프로그램 실행-C:\e2e\probe.exe;ㅡㅡexit 가로챔-True-
탭 가로챔-P3-Ctrl+Win+Tab-프로그램 실행-C:\e2e\probe.exe;ㅡㅡexit 가로챔-True-
엔터 가로챔-P4-Ctrl+Win+Return-프로그램 실행-C:\e2e\probe.exe;ㅡㅡexit 가로챔-True-
EOF

# form <name> [locale]: a login form probe that holds the focus (for kv_press)
form() {
    E2E_WINE_LOCALE=${2:-$E2E_WINE_LOCALE} e2e_probe "$1" --form || return 1
    KV_FOCUS=$E2E_WID KV_FOCUS_PID=$E2E_LASTPID KV_FOCUS_NAME=$1
}
submits_reach() { [ "$(grep -c '^SUBMIT ' "$(kv_focus_log)" 2>/dev/null)" -ge "$1" ]; }
# wait_submit <n> <box1> <box2>: the n-th press of the form's button, with those texts
wait_submit() {
    _e2e_until 10 "submit $1 of $(kv_focus_log)" submits_reach "$1" &&
        test "$(grep '^SUBMIT ' "$(kv_focus_log)" | sed -n "$1p")" = "SUBMIT box1=\"$2\" box2=\"$3\""
}
# keys_after <line count>: the form's key lines after that many lines of its log
keys_after() { tail -n +"$(($1 + 1))" "$(kv_focus_log)" | grep '^FORMKEY '; }
# plain_keys <line count>: V went with Ctrl alone, Tab and Enter with no modifier at all
plain_keys() {
    local bad
    bad=$(keys_after "$1" | awk '
        $2 == "vk=0x56" && !($4 == "ctrl=1" && $5 == "shift=0" && $6 == "alt=0" && $7 == "win=0") { print }
        ($2 == "vk=0x09" || $2 == "vk=0x0D") && !($4 == "ctrl=0" && $5 == "shift=0" && $6 == "alt=0" && $7 == "win=0") { print }')
    [ -z "$bad" ] || { echo "$bad" >&2; return 1; }
    [ "$(keys_after "$1" | grep -c ' vk=0x56 ')" -ge 2 ]
}

form 입력
kv_start "$app" || { e2e_dump; exit 1; }

echo "== a user name, Tab, a password and Enter"
kv_press ctrl+super+k
e2e_check "box 1 holds the name, box 2 the password with its trailing blank, the button pressed" \
    wait_submit 1 '아이디' '비밀번호 '
e2e_check "each key went without modifiers, V with Ctrl alone" plain_keys 0
kv_press ctrl+super+j
e2e_check "\"vk_Tab\" presses Tab; \"-\" comes back, the blank in front goes" \
    wait_submit 2 '하나' '-둘-'

echo "== the hotkey's Ctrl and Win still held during the playback"
e2e_focus "$KV_FOCUS"
lines=$(wc -l < "$(kv_focus_log)")
xdotool keydown ctrl super
xdotool key k
e2e_check "the same texts arrive while Ctrl and Win are held" wait_submit 3 '아이디' '비밀번호 '
xdotool keyup super ctrl
e2e_check "the form saw V with Ctrl alone, Tab and Enter plain" plain_keys "$lines"
kv_settle
e2e_check "no key of the sequence reached the Ctrl+Win hotkeys" kv_launches_are 0 'C:\e2e\probe.exe' '--exit 가로챔'

echo "== the clipboard held by another program"
# Ctrl+V would paste whatever is there into both boxes and Enter would send it.
hold_log=$E2E_RUN/logs/hold.log
# holder_said <line>: the holder printed that line (CP949, CR LF)
holder_said() { iconv -f CP949 -t UTF-8 "$hold_log" 2>/dev/null | tr -d '\r' | grep -qx -- "$1"; }
lines=$(wc -l < "$(kv_focus_log)")
# Straight into the file, not through a pipe that would hold "HELD" back until the end.
wine_ko wine "$check" hold-clipboard '남의 글' 6000 > "$hold_log" 2>>"$E2E_RUN/wine.out" &
holder=$!
e2e_check "another program holds the clipboard open" _e2e_until 15 "the holder" holder_said HELD
kv_press ctrl+super+k
e2e_check "the holder lets it go and finds its own text still there" \
    _e2e_until 20 "the holder to end" holder_said 'CLIPBOARD=남의 글'
wait "$holder"
kv_settle
e2e_check "nothing was pasted, typed or submitted" \
    test -z "$(tail -n +"$((lines + 1))" "$(kv_focus_log)" | grep -E '^(PASTE|SUBMIT) |^FORMKEY vk=0x(56|09|0D) ')"
kv_press ctrl+super+k
e2e_check "with the clipboard free again the sequence plays" wait_submit 4 '아이디' '비밀번호 '

echo "== timing of a 10-item sequence (played by platform_check, same code and platform)"
# Four texts and six keys: 4 x 400 ms + 6 x 200 ms = 2800 ms.  The form logs when each key
# arrives and when the clipboard changes (QueryPerformanceCounter, one clock for every
# program), so each wait is the time between the event that starts it and the one that
# ends it: clipboard filled -> Ctrl down, Ctrl+V or a key -> the next item's first event;
# the last one ends when the clipboard is given back (or the sequence returns).
# measure: plays the sequence once; sets nwaits, worst and total (ms)
measure() {
    local lines seq_out timing
    e2e_focus "$KV_FOCUS"
    lines=$(wc -l < "$(kv_focus_log)")
    seq_out=$(e2e_run "$check" key-sequence '가;VK_BACK;나다;VK_BACK;VK_BACK;라;VK_TAB;마;VK_BACK;VK_TAB')
    timing=$(tail -n +"$((lines + 1))" "$(kv_focus_log)" | awk -v seq="$seq_out" '
        BEGIN { split(seq, f, /[ =]/); start = f[3] * 1000; end = f[5] * 1000 }
        # V follows Ctrl at once; every other event ends the wait begun by the one before it
        /^CLIPBOARD / || (/^FORMKEY / && $2 != "vk=0x56") {
            us = $NF; sub(/^us=/, "", us); us += 0
            # the give-back of the sequence before may be logged after the count was taken
            if (us < start) next
            if (n++) waits[++w] = us - last
            last = us
            given_back = /^CLIPBOARD /
        }
        END {
            if (!given_back) waits[++w] = end - last
            early = 0; worst = 0
            for (i = 1; i <= w; i++) {
                late[i] = waits[i] / 1000 - 200
                if (-late[i] > early) early = -late[i]
                if (late[i] > worst) worst = late[i]
                list = list sprintf(" %.1f", waits[i] / 1000)
            }
            # the median lateness: what the waits do, apart from a moment the machine was busy
            for (i = 1; i <= w; i++) for (j = i + 1; j <= w; j++) if (late[j] < late[i]) { t = late[i]; late[i] = late[j]; late[j] = t }
            median = w % 2 ? late[(w + 1) / 2] : (late[w / 2] + late[w / 2 + 1]) / 2
            printf "waits=%d early_ms=%.1f median_late_ms=%.1f worst_late_ms=%.1f total_ms=%.1f list=%s\n",
                w, early, median, worst, (end - start) / 1000, list
        }')
    echo "  $timing"
    read -r nwaits early median worst total < <(sed -E \
        's/^waits=([0-9]+) early_ms=([0-9.]+) median_late_ms=(-?[0-9.]+) worst_late_ms=([0-9.]+) total_ms=([0-9.]+) .*/\1 \2 \3 \4 \5/' \
        <<<"$timing")
}
# Bounds that a wait's own faults break (returning early, or sleeping in coarse steps that
# make every wait late) but another program's load on the machine does not: that delays
# single events, and each a little, and never makes a wait early.
within() {
    awk -v e="${early:-999}" -v m="${median:-999}" -v w="${worst:-999}" -v t="${total:-0}" \
        'BEGIN { exit !(e <= 15 && m <= 15 && w <= 50 && t >= 2660 && t <= 3080) }'
}
# A moment's load on the shared machine may delay one wait: up to three runs, the first
# that meets the bounds counts.  A wait that is always early or late fails all three.
for attempt in 1 2 3; do
    measure
    within && break
done
e2e_check "14 waits seen (one after each item, one before each paste)" test "${nwaits:-0}" = 14
e2e_check "no wait returned more than 15 ms early (${early:-?} ms, run $attempt)" \
    awk -v e="${early:-999}" 'BEGIN { exit !(e <= 15) }'
e2e_check "the waits came at their deadline: median ${median:-?} ms late (at most 15), worst ${worst:-?} ms (at most 50)" \
    awk -v m="${median:-999}" -v w="${worst:-999}" 'BEGIN { exit !(m <= 15 && w <= 50) }'
e2e_check "the sequence took ${total:-?} ms, between 95% and 110% of 2800 ms" \
    awk -v t="${total:-0}" 'BEGIN { exit !(t >= 2660 && t <= 3080) }'

echo "== a Western Windows (code page 1252)"
kv_end_process "$KV_WINPID"
kv_wait_hotkey free ctrl+win F1 10
form western C.UTF-8
e2e_check "the form runs with code page 1252" e2e_wait_file "$(kv_focus_log)" '^START acp=1252 ' 5
E2E_WINE_LOCALE=C.UTF-8 kv_start "$app" || { e2e_dump; exit 1; }
kv_press ctrl+super+k
e2e_check "the Korean texts arrive intact" wait_submit 1 '아이디' '비밀번호 '
e2e_check "each key went without modifiers, V with Ctrl alone" plain_keys 0

e2e_stop
e2e_summary
