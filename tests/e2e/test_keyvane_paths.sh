#!/bin/bash
# Keyvane in a folder whose name CP949 cannot spell, on a Western Windows (code page
# 1252): C:\Café\.  It finds its own Config.ini (here saved by Notepad as "Unicode",
# UTF-16 with its mark) and the work file that names, runs its entries, and writes its
# Run value as exactly its own path.  A folder C:\Cafe\ beside it, with files of the same
# names, is never read or written.
# Run: tests/e2e/run_all.sh keyvane_paths
set -u
cd "$(dirname "$0")"
E2E_WINE_LOCALE=C.UTF-8   # Wine's code page 1252
source lib/e2e.sh
source lib/keyvane.sh

e2e_start || exit 1
app=$(e2e_install_keyvane 'Café')
check=$(e2e_install "$E2E_TOOLS/platform_check.exe" tools)
e2e_check "(Keyvane is installed as C:\\Café\\Keyvane.exe)" test "$app" = 'C:\Café\Keyvane.exe'

# utf16_file <Windows path> < utf8-text: UTF-16 LE with its mark and CR LF, as Notepad saves "Unicode"
utf16_file() {
    local f
    f=$(e2e_unix_path "$1") || return 1
    mkdir -p "$(dirname "$f")"
    { printf '\xff\xfe'; sed 's/\r$//; s/$/\r/' | iconv -f UTF-8 -t UTF-16LE; } > "$f"
}
utf16_file 'C:\Café\Config.ini' <<'EOF2'
[Config]
StartUp=1
[Etc]
LastWorkList_Path=C:\Café\목록.ini
EOF2
kv_work_file 'C:\Café\목록.ini' <<'EOF2'
카페-P0-Ctrl+Alt+N-프로그램 실행-C:\e2e\probe.exe;ㅡㅡexit 카페-True-
EOF2
# The look-alike folder: what a best-fit "Cafe" would find.  Its Config.ini would turn
# the Run value off and its lists hold another entry on the same key.
kv_config 'C:\Cafe' '[Config]' 'StartUp=0' '[Etc]' 'LastWorkList_Path=C:\Cafe\목록.ini'
for f in 'C:\Cafe\목록.ini' 'C:\Cafe\MyJob.ini'; do
    kv_work_file "$f" <<'EOF2'
가짜-P0-Ctrl+Alt+N-프로그램 실행-C:\e2e\probe.exe;ㅡㅡexit 가짜-True-
EOF2
done
cafe_dir=$(e2e_unix_path 'C:\Cafe')
cafe_before=$(cd "$cafe_dir" && find . -type f -exec md5sum {} + | sort)
accent_dir=$(e2e_unix_path 'C:\Café')
config_before=$(md5sum <"$accent_dir/Config.ini")

kv_focus_probe focus
kv_start "$app" || { e2e_dump; exit 1; }

echo "== its own files"
kv_press ctrl+alt+n
e2e_check "Ctrl+Alt+N runs the entry of C:\\Café\\목록.ini, named by C:\\Café\\Config.ini" \
    kv_wait_launch 'C:\e2e\probe.exe' '--exit 카페'
kv_settle
e2e_check "and not the look-alike's entry" kv_launches_are 0 'C:\e2e\probe.exe' '--exit 가짜'
e2e_check "its Config.ini is untouched by the start" test "$(md5sum <"$accent_dir/Config.ini")" = "$config_before"

echo "== the Run value"
e2e_check "HKLM Run value \"Keyvane\" is exactly C:\\Café\\Keyvane.exe" \
    test "$(e2e_run "$check" get-run Keyvane)" = 'VALUE=C:\Café\Keyvane.exe'

echo "== the look-alike folder"
e2e_check "C:\\Cafe\\ holds the same files, byte for byte" \
    test "$(cd "$cafe_dir" && find . -type f -exec md5sum {} + | sort)" = "$cafe_before"

e2e_stop
e2e_summary
