#!/bin/bash
# A hotkey whose program or document cannot be opened: one "알림말" box that belongs to no
# window, naming the entry and Windows' reason; pressed again while it is up, no second
# box; closed, the next failure shows again.  What opens says nothing.
# Run: tests/e2e/run_all.sh keyvane_openfail
set -u
cd "$(dirname "$0")"
source lib/e2e.sh
source lib/keyvane.sh
source lib/ui.sh

e2e_start || exit 1
app=$(e2e_install_keyvane)
# A document of a type no program is associated with.
mkdir -p "$(e2e_unix_path 'C:\자료')"
echo data > "$(e2e_unix_path 'C:\자료\보고서.kvx')"
kv_work_file 'C:\app\MyJob.ini' <<'EOF'
없는 프로그램-P0-Ctrl+Alt+N-프로그램 실행-C:\없는 곳\memo.exe-True-
연결 없는 문서-P1-Ctrl+Alt+K-프로그램 실행-C:\자료\보고서.kvx-True-
잘 되는 것-P2-Ctrl+Alt+G-프로그램 실행-C:\e2e\probe.exe;ㅡㅡexit 성공-True-
EOF

BOX='^알림말$'
boxes() { e2e_run "$(e2e_tool wincheck)" count 알림말; }
boxes_are() { [ "$(boxes)" = "$1" ]; }
# box_says <text>: the box's message holds that text (line breaks written \n)
box_says() { ui_box_text 알림말 | grep -qF -- "$1"; }
# the reason: the line after the target, not empty
box_reason() { ui_box_text 알림말 | sed -n "s/.*$(_e2e_ere_quote "$1")\\\\n\\(.*\\)$/\\1/p"; }

kv_focus_probe
kv_start "$app" || { e2e_dump; exit 1; }

echo "== what opens says nothing"
kv_press ctrl+alt+g
e2e_check "the program starts" kv_wait_launch 'C:\e2e\probe.exe' '--exit 성공'
kv_settle
e2e_check "and no box comes" boxes_are 0

echo "== a program that is not there"
kv_press ctrl+alt+n
e2e_check "a box comes" e2e_wait_window "$BOX" 10
e2e_check "  naming the entry" box_says '"없는 프로그램" 단축키의 작업을 열 수 없습니다.\n\nC:\없는 곳\memo.exe\n'
reason=$(box_reason 'C:\없는 곳\memo.exe')
echo "     Windows' reason: $reason"
e2e_check "  and Windows' reason, no placeholder left in it" test -n "$reason" -a "${reason#*%1}" = "$reason"
e2e_check "  owned by no window" test "$(e2e_run "$(e2e_tool wincheck)" owner 알림말)" = "owner=none"
for _ in 1 2 3; do kv_press ctrl+alt+n; done
kv_settle
e2e_check "the hotkey pressed three times more while it is up: still one box" boxes_are 1
ui_focus 알림말 && xdotool key Return
e2e_check "Enter closes it" e2e_wait_gone "$BOX" 10
kv_press ctrl+alt+n
e2e_check "the next failure shows again" e2e_wait_window "$BOX" 10
ui_focus 알림말 && xdotool key Return
e2e_wait_gone "$BOX" 10

echo "== a document no program is associated with"
kv_press ctrl+alt+k
e2e_check "a box comes" e2e_wait_window "$BOX" 10
e2e_check "  naming the entry and the document" box_says '"연결 없는 문서" 단축키의 작업을 열 수 없습니다.\n\nC:\자료\보고서.kvx\n'
reason=$(box_reason 'C:\자료\보고서.kvx')
echo "     Windows' reason: $reason"
e2e_check "  and Windows' reason, no placeholder left in it" test -n "$reason" -a "${reason#*%1}" = "$reason"
ui_focus 알림말 && xdotool key Return
e2e_check "Enter closes it" e2e_wait_gone "$BOX" 10
kv_press ctrl+alt+g
e2e_check "Keyvane goes on: the working entry starts again" kv_wait_launches 2 'C:\e2e\probe.exe' '--exit 성공'
e2e_summary
