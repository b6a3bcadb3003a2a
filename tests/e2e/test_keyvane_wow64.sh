#!/bin/bash
# Keyvane (a 32-bit program) on 64-bit Windows: a prefix made with WINEARCH=win64, where
# it runs under WoW64 and Windows shows it SysWOW64 in place of System32.  A 64-bit
# program that is only in the real System32 still starts, named by its path or by its bare name; a
# program 32-bit programs have too starts as before; a System32 path that is nowhere
# gives the usual box, naming the path as written.
# Run: tests/e2e/run_all.sh keyvane_wow64
set -u
E2E_ARCH=win64
cd "$(dirname "$0")"
source lib/e2e.sh
if [ "$E2E_WIDTH" = 64 ]; then
    echo "SKIP: this machine runs no 32-bit code, so no 32-bit Keyvane runs here under WoW64"
    exit 77
fi
source lib/keyvane.sh
source lib/ui.sh

e2e_start || exit 1
app=$(e2e_install_keyvane)
win=$WINEPREFIX/drive_c/windows
# The 64-bit probe, only in the 64-bit System32 (the template's system32 is hard-linked:
# new files only).
probe64=$(e2e_tool probe64)
[ -f "$probe64" ] || { e2e_bad "the 64-bit probe is built (x86_64-w64-mingw32-g++: scripts/setup)"; exit 1; }
cp "$probe64" "$win/system32/kvtool64.exe"
# In both: a 32-bit program finds its own copy under the name System32.
cp "$(e2e_tool probe)" "$win/system32/kvboth.exe"
cp "$(e2e_tool probe)" "$win/syswow64/kvboth.exe"
kv_work_file 'C:\app\MyJob.ini' <<'EOF2'
경로-P0-Ctrl+Alt+N-프로그램 실행-C:\Windows\System32\kvtool64.exe;ㅡㅡexit 경로-True-
이름-P1-Ctrl+Alt+K-프로그램 실행-kvtool64;ㅡㅡexit 이름-True-
둘 다-P2-Ctrl+Alt+G-프로그램 실행-C:\WINDOWS\system32\kvboth.exe;ㅡㅡexit 둘 다-True-
없음-P3-Ctrl+Alt+J-프로그램 실행-C:\Windows\System32\kvnowhere.exe-True-
EOF2

# started_with <arguments>: the probe logged a start with exactly those arguments
started_with() { grep -qE -- "^LAUNCH exe=\"[^\"]*\" cwd=\"[^\"]*\" cmdline=$(_e2e_ere_quote "$1")\$" "$(e2e_launch_log)" 2>/dev/null; }
wait_started() { _e2e_until 10 "a start with $1" started_with "$1"; }

e2e_check "the prefix is 64-bit" grep -qx '#arch=win64' "$WINEPREFIX/system.reg"
e2e_check "Windows shows 32-bit programs SysWOW64 as System32" test -d "$win/syswow64" -a ! -e "$win/syswow64/kvtool64.exe"

kv_focus_probe
kv_start "$app" || { e2e_dump; exit 1; }

echo "== a 64-bit program only in the real System32"
kv_press ctrl+alt+n
e2e_check "named by its System32 path, it starts" wait_started '--exit 경로'
kv_press ctrl+alt+k
e2e_check "named by its bare name, it starts" wait_started '--exit 이름'
grep '^LAUNCH' "$(e2e_launch_log)" | sed 's/^/     /'

echo "== a program 32-bit programs have too"
kv_press ctrl+alt+g
e2e_check "it starts as before" wait_started '--exit 둘 다'

echo "== a System32 path that is nowhere"
kv_press ctrl+alt+j
e2e_check "a box comes" e2e_wait_window '^알림말$' 10
e2e_check "  naming the path as written" eval "ui_box_text 알림말 | grep -qF -- 'C:\\Windows\\System32\\kvnowhere.exe\\n'"
ui_focus 알림말 && xdotool key Return
e2e_check "Enter closes it" e2e_wait_gone '^알림말$' 10
kv_settle
e2e_check "nothing else started" test "$(grep '^LAUNCH' "$(e2e_launch_log)" | grep -vcE 'cmdline=(--name 포커스|--exit 대조)$')" = 3
e2e_summary
