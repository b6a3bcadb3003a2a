#!/bin/bash
# Direct search ("다이렉트 검색"): the entry's hotkey shows a prompt on top with the site,
# leaves the pointer where it was, and Enter opens iexplore.exe with the address followed by
# the text as one argument; an empty text, Esc and 취소 open nothing; each press its own prompt.
# Run: tests/e2e/run_all.sh test_keyvane_directsearch
set -u
cd "$(dirname "$0")"
source lib/e2e.sh
source lib/keyvane.sh
source lib/ui.sh

PROMPT='다이렉트 검색'
IE='C:\windows\system32\iexplore.exe'
SITE='http://search.example.com/find-it?q='
LONG='https://search.example.com/search?where=all&sm=top_hty&fbm=1&ie=utf8&query='
e2e_start || exit 1
app=$(e2e_install_keyvane)
# The first address holds a "-", stored as "ㅡ"; the description a blank. The second
# site holds "&" in both texts, which must not turn into an underlined letter.
kv_work_file 'C:\app\MyJob.ini' <<'EOF2'
웹 검색-P1-Ctrl+Alt+S-다이렉트 검색-예제 검색;http://search.example.com/findㅡit?q=-True-
사전 검색-P2-Ctrl+Alt+D-다이렉트 검색-Q&A 사전;http://dic.example.com/?w=tot&q=-True-
긴 주소-P3-Ctrl+Alt+L-다이렉트 검색-긴 주소 검색;https://search.example.com/search?where=all&sm=top_hty&fbm=1&ie=utf8&query=-True-
EOF2

kv_focus_probe
kv_start "$app" || { e2e_dump; exit 1; }

prompts() { e2e_run "$(e2e_tool promptcheck)" list "$PROMPT"; }
prompt_count() { prompts | grep -c '^P' ; }
prompt_count_is() { [ "$(prompt_count)" = "$1" ]; }
no_prompt() { ! e2e_run "$(e2e_tool promptcheck)" list "$PROMPT" >/dev/null; }
set_text() { e2e_run "$(e2e_tool promptcheck)" settext "$PROMPT" "$1"; }
ie_starts() { grep -cF "LAUNCH exe=\"$IE\"" "$(e2e_launch_log)" 2>/dev/null; }
pointer() { xdotool getmouselocation | sed 's/^x:\([0-9]*\) y:\([0-9]*\) .*/\1 \2/'; }
pointer_is() { [ "$(pointer)" = "$1" ]; }
# press <key>: a real key into the prompt, focused first as a user's click would
press() { ui_focus "$PROMPT" && e2e_key "$1"; }

echo "== the prompt"
xdotool mousemove 37 41
kv_press ctrl+alt+s
e2e_check "the hotkey shows the prompt" ui_wid "$PROMPT" 10
sleep "$KV_GRACE"
line=$(prompts)
echo "  $line"
e2e_check "one prompt, on top of other windows" test "$(cut -f2 <<<"$line")" = 1
e2e_check "the search box has the keyboard focus" test "$(cut -f3 <<<"$line")" = Edit
e2e_check "it shows the description and the address, '-' restored" \
    grep -qF "|예제 검색|$SITE|" <<<"$line"
e2e_check "the pointer is back where it was" pointer_is "37 41"
ui_shot prompt "$PROMPT"

echo "== Enter searches"
e2e_check "a Hangul text with a blank goes into the box" set_text '한글 검색'
press Return
e2e_check "Enter starts iexplore.exe with the address and the text as one argument" \
    kv_wait_launch "$IE" "\"${SITE}한글 검색\""
e2e_check "and closes the prompt" ui_wait 10 "the prompt to close" no_prompt
kv_press ctrl+alt+s
ui_wid "$PROMPT" 10 >/dev/null
set_text 'say "hi" \\'
press Return
e2e_check "quotes and backslashes are escaped so that the argument reads back whole" \
    kv_wait_launch "$IE" "\"${SITE}say \\\"hi\\\" \\\\\\\\\""
ui_wait 10 "the prompt to close" no_prompt

echo "== closing without a search"
before=$(ie_starts)
kv_press ctrl+alt+s
ui_wid "$PROMPT" 10 >/dev/null
press Return
e2e_check "Enter on an empty text closes the prompt" ui_wait 10 "the prompt to close" no_prompt
kv_press ctrl+alt+s
ui_wid "$PROMPT" 10 >/dev/null
set_text '버릴 글'
press Escape
e2e_check "Esc closes the prompt" ui_wait 10 "the prompt to close" no_prompt
kv_press ctrl+alt+s
ui_wid "$PROMPT" 10 >/dev/null
set_text '버릴 글'
ui_click "$PROMPT" '취소'
e2e_check "취소 closes the prompt" ui_wait 10 "the prompt to close" no_prompt
kv_settle
e2e_check "none of them started iexplore.exe" test "$(ie_starts)" = "$before"

echo "== a long address"
# ctlist: a label's C line (state in field 9) and its tip's K line
label_state() { ui_list "$PROMPT" | awk -F'\t' -v a="$1" '$1 == "C" && $4 == a { print $9 }'; }
tip_of() { ui_list "$PROMPT" | awk -F'\t' -v a="$1" '$1 == "K" && $2 == a { print $3 }'; }
tip_shown() { e2e_run "$(e2e_tool ctlist)" --titles | grep -q $'^V\ttooltips_class32\t'; }
kv_press ctrl+alt+l
ui_wid "$PROMPT" 10 >/dev/null
e2e_check "an address longer than its line ends in \"...\" where it is cut" \
    ui_wait 10 "the label" eval '[ "$(label_state "$LONG")" = ellipsis ]'
e2e_check "and is the label's tip, whole" test "$(tip_of "$LONG")" = "$LONG"
xdotool mousemove $(ui_centre "$PROMPT" "$LONG") sleep 0.2 mousemove_relative 3 0
e2e_check "which shows under the pointer" ui_wait 10 "the tip" tip_shown
ui_shot long-address "$PROMPT"
press Escape
ui_wait 10 "the prompt to close" no_prompt

echo "== two prompts"
kv_press ctrl+alt+s
ui_wid "$PROMPT" 10 >/dev/null
kv_press ctrl+alt+d
e2e_check "two presses leave two prompts" ui_wait 10 "two prompts" prompt_count_is 2
prompts | sed 's/^/  /'
e2e_check "each with its own site, both on top" \
    test "$(prompts | grep -c $'^P\t1\t.*|\(예제 검색|http://search\|Q&A 사전|http://dic\)')" = 2
e2e_check "an \"&\" in the description and the address shows as itself" \
    grep -qF '|Q&A 사전|http://dic.example.com/?w=tot&q=|' <<<"$(prompts)"
ui_shot two-prompts

e2e_stop
e2e_summary
