#!/bin/bash
# A key sequence gives the clipboard back.  Another program copies a text, a picture (a
# DIB), a file list and HTML; the hotkey types three texts into a login form; afterwards
# the clipboard holds every format as before, byte for byte.  A copy another program
# makes while the sequence plays (the form copies when Escape reaches it) stays on the
# clipboard instead, whether it came between two pastes or after the last one.  Then
# what keeping costs, with a small picture and with a 1 MB one.  Key names in any case and
# a lone quote mark type what the user wrote.  A program that renders what it copied only
# when asked, slowly or never, holds the sequence a bounded time.
# Run: tests/e2e/run_all.sh keyvane_clipboard
set -u
cd "$(dirname "$0")"
source lib/e2e.sh
source lib/keyvane.sh

e2e_start || exit 1
app=$(e2e_install_keyvane)
check=$(e2e_install "$E2E_TOOLS/platform_check.exe" tools)
clip=$(e2e_tool clipcheck)
kv_work_file 'C:\app\MyJob.ini' <<'EOF2'
세 글-P0-Ctrl+Win+K-키값자동 입력-첫째;VK_TAB;둘째;셋째;VK_RETURN-True-
사이 복사-P1-Ctrl+Win+J-키값자동 입력-첫째;VK_ESCAPE;VK_TAB;둘째;셋째;VK_RETURN-True-
끝 복사-P2-Ctrl+Win+L-키값자동 입력-첫째;VK_TAB;둘째;셋째;VK_ESCAPE;VK_RETURN-True-
예시대로-P3-Ctrl+Win+M-키값자동 입력-kim;VK_Tab;Bob＇s!;vk_return-True-
EOF2

THEIRS='폼에서 복사'
e2e_probe 양식 --form --copy-at-key 0x1B "$THEIRS" || { e2e_dump; exit 1; }
KV_FOCUS=$E2E_WID KV_FOCUS_PID=$E2E_LASTPID KV_FOCUS_NAME=양식
kv_start "$app" || { e2e_dump; exit 1; }

submits_reach() { [ "$(grep -c '^SUBMIT ' "$(kv_focus_log)" 2>/dev/null)" -ge "$1" ]; }
# wait_submit <n> <box1> <box2>: the n-th press of the form's button, with those texts
wait_submit() {
    _e2e_until 10 "submit $1 of $(kv_focus_log)" submits_reach "$1" &&
        test "$(grep '^SUBMIT ' "$(kv_focus_log)" | sed -n "$1p")" = "SUBMIT box1=\"$2\" box2=\"$3\""
}
# the clipboard's formats, sizes and hashes as another program reads them
dump() { e2e_run "$clip" dump | grep '^FORMAT '; }
dump_is() { [ "$(dump)" = "$1" ]; }
text_is() { [ "$(e2e_run "$clip" text)" = "TEXT=$1" ]; }
# lists_copy <dump>: the text, the picture (40 + 64 x 48 x 4 bytes), the files, HTML
lists_copy() {
    grep -q '^FORMAT 13 ' <<<"$1" && grep -q '^FORMAT 8 bytes=12328 ' <<<"$1" &&
        grep -q '^FORMAT 15 ' <<<"$1" && grep -qE '^FORMAT 49[0-9]{3} ' <<<"$1"
}
theirs_stays() { text_is "$THEIRS" && ! dump | grep -q '^FORMAT 8 '; }
# field <name> <line>: the value of name=value in the line
field() { sed -n "s/.* $1=\([0-9.]*\).*/\1/p" <<<"$2"; }
# form_lines_after <line count>: the form's log after that many lines
form_lines_after() { tail -n +"$(($1 + 1))" "$(kv_focus_log)"; }

echo "== a text, a picture, a file list and HTML come back byte for byte"
e2e_check "another program copies them" test "$(e2e_run "$clip" copy '복사한 글 ABC' 64 48 | cut -d' ' -f1)" = COPIED
before=$(dump)
echo "$before" | sed 's/^/  before: /'
e2e_check "the clipboard lists the text, the picture (40 + 64 x 48 x 4 bytes), the files and HTML" \
    lists_copy "$before"
kv_press ctrl+super+k
e2e_check "the three texts arrive" wait_submit 1 '첫째' '둘째셋째'
e2e_check "afterwards the clipboard holds every format as before, byte for byte" \
    _e2e_until 10 "the clipboard given back" dump_is "$before"
dump | sed 's/^/  after:  /'

echo "== another program copies between two pastes: its copy is what stays"
lines=$(wc -l < "$(kv_focus_log)")
kv_press ctrl+super+j
e2e_check "the texts arrive" wait_submit 2 '첫째' '둘째셋째'
e2e_check "the form copied when Escape came" e2e_wait_file "$(kv_focus_log)" '^COPIED ' 5
e2e_check "afterwards its text is on the clipboard" _e2e_until 10 "their text" text_is "$THEIRS"
kv_settle
e2e_check "and stays there, the picture not brought back" theirs_stays

echo "== another program copies after the last paste: the clipboard is left alone"
e2e_run "$clip" copy '복사한 글 ABC' 64 48 >/dev/null
lines=$(wc -l < "$(kv_focus_log)")
kv_press ctrl+super+l
e2e_check "the texts arrive" wait_submit 3 '첫째' '둘째셋째'
kv_settle
form_lines_after "$lines" | grep -E '^(CLIPBOARD|COPIED)' | sed 's/^/  form: /'
e2e_check "the form's copy came after the three pastes, and no change after its own" \
    test "$(form_lines_after "$lines" | grep -E '^(CLIPBOARD|COPIED)' | cut -d' ' -f1 | tr '\n' ' ')" = \
         "CLIPBOARD CLIPBOARD CLIPBOARD COPIED CLIPBOARD "
e2e_check "its text is on the clipboard" text_is "$THEIRS"

echo "== key names written as the editor's example writes them, and a lone quote mark"
kv_press ctrl+super+m
e2e_check "Tab and Enter are pressed, and the password arrives as written" wait_submit 4 'kim' "Bob's!"

echo "== a program that renders each format only when asked, taking 1 s: one is waited for"
ms_since() { echo $(( ($(_e2e_now) - $1) / 1000000 )); }
e2e_run "$clip" copy '복사한 글 ABC' 64 48 >/dev/null
t0=$(_e2e_now)
kv_press ctrl+super+k
e2e_check "the texts arrive" wait_submit 5 '첫째' '둘째셋째'
plain=$(ms_since "$t0")
lazy_owners() { [ "$(grep -c 'LAZY OWNER' "$E2E_RUN/wine.out")" -ge "$1" ]; }
e2e_wine "$clip" lazy '느린 복사' 1000
e2e_check "it copies" _e2e_until 10 "the lazy copy" lazy_owners 1
t0=$(_e2e_now)
kv_press ctrl+super+k
e2e_check "the texts arrive" wait_submit 6 '첫째' '둘째셋째'
slow=$(ms_since "$t0")
# Asking for all three of its formats took 3 s more.
e2e_check "they took ${slow} ms, ${plain} ms with a copy of the usual kind: at most 1.8 s more" \
    test $((slow - plain)) -le 1800
e2e_check "the text it rendered goes back" _e2e_until 10 "its text" text_is '느린 복사'

echo "== what keeping costs: the clipboard saved and put back around three texts"
# keep <width> <height>: another program copies with a picture of that size; then the
# platform calls a sequence adds, timed over 9 rounds.  Sets keep, bytes and added (ms).
keep() {
    e2e_run "$clip" copy '복사한 글 ABC' "$1" "$2" >/dev/null
    copied=$(dump)
    keep=$(e2e_run "$check" keep-clipboard 9)
    echo "  $1 x $2 picture: $keep"
    bytes=$(field bytes "$keep")
    added=$(awk -v s="$(field save_ms "$keep")" -v r="$(field restore_ms "$keep")" \
        'BEGIN { if (s == "" || r == "") print ""; else printf "%.3f", s + r }')
}
keep 64 48
# The fastest round is what the calls cost; the others add what else the machine was doing.
best=$(field best_total_ms "$keep")
e2e_check "with a small picture saving and putting back take ${added:-?} ms (median), at best ${best:-?} ms, at most 5 ms" \
    awk -v b="${best:-999}" 'BEGIN { exit !(b <= 5) }'
e2e_check "the clipboard holds it again, byte for byte" dump_is "$copied"
keep 512 512
e2e_check "the 1 MB picture and the rest kept: ${bytes:-?} bytes" \
    test "${bytes:-0}" -ge 1048616 -a "${bytes:-0}" -lt 1049600
# Here Wine's own SetClipboardData of the megabyte takes a few ms of it, on a loaded
# machine more: the bound catches a copy done badly, not the machine's load.
e2e_check "with the 1 MB picture they take ${added:-?} ms (median), at most 100 ms" \
    awk -v a="${added:-999}" 'BEGIN { exit !(a <= 100) }'
e2e_check "the clipboard holds the picture again, byte for byte" dump_is "$copied"

echo "== a program that never renders what it copied: the program goes on"
e2e_wine "$clip" lazy '멈춘 복사' never
e2e_check "it copies" _e2e_until 10 "the second lazy copy" lazy_owners 2
kv_press ctrl+super+k
e2e_check "the next hotkey still runs" kv_settle

e2e_stop
e2e_summary
