#!/bin/bash
# What Keyvane's hotkeys do: start programs with their arguments, open folders and web
# sites (in the browser the user chose), end programs by name; and which entries hold a
# hotkey at all (inactive ones, unknown keys, a combination used twice).
# Run: tests/e2e/run_all.sh keyvane_actions
set -u
cd "$(dirname "$0")"
source lib/e2e.sh
source lib/keyvane.sh

e2e_start || exit 1
app=$(e2e_install_keyvane)
e2e_probe_as 'C:\도구\메모.exe'
e2e_probe_as 'C:\내 도구\메모.exe'
e2e_probe_as 'C:\도구\killme.exe'
mkdir -p "$(e2e_unix_path 'C:\자료 모음')"
# The URL holds a "-" (stored as "ㅡ"), Hangul and blanks; the arguments a quoted pair.
URL='http://example.org/키-베인?q=한 글&x=1'
kv_work_file 'C:\app\MyJob.ini' <<'EOF'
메모 실행-P0-Ctrl+Alt+N-프로그램 실행-C:\도구\메모.exe;  ㅡㅡname 실행 "두 단어" 끝-True-
빈칸 경로-P1-Ctrl+Alt+M-프로그램 실행-C:\내 도구\메모.exe-True-
자료 폴더-P2-Ctrl+Alt+W-특정폴더 열기-C:\자료 모음-True-
예제 사이트-P3-Ctrl+Alt+H-웹사이트 이동-http://example.org/키ㅡ베인?q=한 글&x=1-True-
대문자 종료-P4-Ctrl+Alt+K-프로그램 종료-KILLME.EXE-True-
경로 종료-P5-Ctrl+Alt+J-프로그램 종료-C:\도구\killme.exe-True-
한글 종료-P6-Ctrl+Alt+U-프로그램 종료-메모.exe-True-
꺼진 항목-P7-Ctrl+Alt+I-프로그램 실행-C:\e2e\probe.exe;ㅡㅡexit 꺼짐-False-
소문자 참-P8-Ctrl+Alt+T-프로그램 실행-C:\e2e\probe.exe;ㅡㅡexit 소문자-true-
없는 키-P9-Ctrl+Alt+Bogus-프로그램 실행-C:\e2e\probe.exe;ㅡㅡexit 없는키-True-
뒤 항목-P10-Ctrl+Alt+G-프로그램 실행-C:\e2e\probe.exe;ㅡㅡexit 뒤항목-True-
중복 첫째-P11-Ctrl+Alt+D-프로그램 실행-C:\e2e\probe.exe;ㅡㅡexit 중복1-True-
중복 둘째-P12-Ctrl+Alt+D-프로그램 실행-C:\e2e\probe.exe;ㅡㅡexit 중복2-True-
EOF

kv_focus_probe
kv_start "$app" || { e2e_dump; exit 1; }

echo "== starting programs and opening folders"
# The user presses the hotkey and the program starts with exactly the arguments written
# after ";"; a path with blanks needs no quotes.
kv_press ctrl+alt+n
e2e_check "the program starts with its Korean, quoted and plain arguments" \
    kv_wait_launch 'C:\도구\메모.exe' '--name 실행 "두 단어" 끝'
e2e_check "and shows its window" e2e_wait_window '^probe 실행$' 10
kv_press ctrl+alt+m
e2e_check "a program in a folder with a blank starts without arguments" kv_wait_launch 'C:\내 도구\메모.exe' ''
# The folder opens in the shell's folder window (the probe stands in for it).
kv_press ctrl+alt+w
e2e_check "the folder reaches the shell's folder handler" \
    kv_wait_launch 'C:\e2e\probe.exe' '--exit "C:\자료 모음"'

echo "== web sites: default browser or Internet Explorer"
# No NewExplore setting: the URL goes to whatever handles http (the default browser).
kv_press ctrl+alt+h
e2e_check "without NewExplore the URL handler gets the URL, '-' restored" \
    kv_wait_launch 'C:\e2e\probe.exe' "--exit \"$URL\""
# Config.ini is read again for every web site, so the choice takes effect at once.
kv_config 'C:\app' '[Config]' 'NewExplore=1'
kv_press ctrl+alt+h
e2e_check "with NewExplore=1 iexplore.exe gets the URL as its parameters" \
    kv_wait_launch 'C:\windows\system32\iexplore.exe' "$URL"
kv_config 'C:\app' '[Config]' 'NewExplore=0'
kv_press ctrl+alt+h
e2e_check "with NewExplore=0 the URL handler gets it again" \
    kv_wait_launches 2 'C:\e2e\probe.exe' "--exit \"$URL\""
kv_settle
e2e_check "each press opened the site once: twice by the handler, once by iexplore.exe" \
    test "$(kv_launch_count 'C:\e2e\probe.exe' "--exit \"$URL\"")/$(kv_launch_count 'C:\windows\system32\iexplore.exe' "$URL")" = 2/1

echo "== ending programs by file name"
# Three running copies of killme.exe; the entry names the file in capitals.
pids=()
for n in 1 2 3; do
    e2e_wine 'C:\도구\killme.exe' --name "종료$n"
    pids+=("$E2E_LASTPID")
    e2e_wait_window "^probe 종료$n\$" 10 >/dev/null
done
# An entry that names the file with its folder matches no process name: nothing ends.
kv_press ctrl+alt+j
kv_settle
e2e_check "an entry with a folder path ends none of the three" kv_all_running "${pids[@]}"
kv_press ctrl+alt+k
e2e_check "KILLME.EXE ends all three running copies of killme.exe" kv_all_exited "${pids[@]}"
e2e_check "their windows are gone" e2e_wait_gone '^probe 종료[123]$' 5
# The two 메모.exe programs started above (from two folders) end by their Korean name.
kv_press ctrl+alt+u
e2e_check "메모.exe ends both programs of that name" e2e_wait_gone '^probe (실행|메모)$' 10
e2e_check "and nothing else: the focus window's probe.exe still runs" kv_all_running "$KV_FOCUS_PID"

echo "== which entries hold a hotkey"
# An inactive entry (active field other than exactly "True") registers nothing: the key
# goes on to the focused window as an ordinary key.
e2e_check "inactive entry: its combination is free" test "$(e2e_hkcheck ctrl+alt I)" = free
e2e_check "\"true\" in small letters is inactive too" test "$(e2e_hkcheck ctrl+alt T)" = free
kv_press ctrl+alt+i ctrl+alt+t
e2e_check "the focused window got Ctrl+Alt+I as an ordinary key" e2e_wait_file "$(kv_focus_log)" '^KEY vk=0x49 ' 5
e2e_check "and Ctrl+Alt+T" e2e_wait_file "$(kv_focus_log)" '^KEY vk=0x54 ' 5
# An entry whose key is not in the key table holds no hotkey; the entries after it keep
# their own actions (hotkey and list row still line up).
kv_press ctrl+alt+g
e2e_check "the entry after an unknown key runs its own action" kv_wait_launch 'C:\e2e\probe.exe' '--exit 뒤항목'
# Ctrl+Alt+D is in the list twice: the system refuses the second registration.
kv_press ctrl+alt+d
e2e_check "a combination used twice runs the first entry" kv_wait_launch 'C:\e2e\probe.exe' '--exit 중복1'
kv_settle
e2e_check "no press ran the entry with the unknown key" kv_launches_are 0 'C:\e2e\probe.exe' '--exit 없는키'
e2e_check "the inactive entry started nothing" kv_launches_are 0 'C:\e2e\probe.exe' '--exit 꺼짐'
e2e_check "nor did the lower-case one" kv_launches_are 0 'C:\e2e\probe.exe' '--exit 소문자'
e2e_check "the second entry of the pair never ran" kv_launches_are 0 'C:\e2e\probe.exe' '--exit 중복2'
e2e_check "the first ran once" kv_launches_are 1 'C:\e2e\probe.exe' '--exit 중복1'

e2e_stop
e2e_summary
