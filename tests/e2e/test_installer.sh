#!/bin/bash
# The per-user installer under Wine's msiexec, silent, in a fresh prefix: an older
# version installed with start-up on, Keyvane started from the shortcut's target, an
# entry made and applied; the current version installed over it while Keyvane runs (the
# running copy is ended before a file is replaced; the work files, their backup and
# Config.ini keep every byte); then uninstalled, leaving those files and nothing else.
# The installers are built here from this machine's Wine build of Keyvane.exe (the same
# .wxs and scripts/msi as build/dist's, whose exe is 32-bit), the older one with a lower
# version.
# Run: tests/e2e/run_all.sh installer
set -u
cd "$(dirname "$0")"
source lib/e2e.sh
source lib/keyvane.sh
source lib/ui.sh
source lib/editor.sh

version=$(sed -n 's/^ *VALUE "ProductVersion", "\([0-9.]*\)\\0"$/\1/p' "$E2E_ROOT/platform/win32/Keyvane.rc")
# Wine's installer service starts in the first Wine program's folder and leaves the icons
# in an "Icon" folder there: that is this run's folder, not the repository.
mkdir -p "$E2E_WINE_DIR/runs" && run=$(mktemp -d "$E2E_WINE_DIR/runs/test_installer.XXXXXX") && cd "$run" || exit 1
e2e_start "$run" || exit 1
for v in 1.4.0 "$version"; do
    "$E2E_ROOT/scripts/msi" "$E2E_BIN/Keyvane.exe" "$v" "$E2E_RUN/Keyvane-$v-setup.msi" || exit 1
done
msiexec() {
    msi_runs=$((msi_runs + 1))
    wine_ko wine msiexec "$@" /l*v "Z:${E2E_RUN//\//\\}\\msi-$msi_runs.log" >>"$E2E_RUN/wine.out" 2>&1
}
msi_runs=0
msi() { echo "Z:${E2E_RUN//\//\\}\\Keyvane-$1-setup.msi"; }

kv_focus_probe
dir=$(e2e_run cmd /c 'echo %LOCALAPPDATA%\Programs\Keyvane')
exe="$dir\\Keyvane.exe"
host=$(e2e_unix_path "$dir")
lnk=$(e2e_unix_path "$(e2e_run cmd /c 'echo %APPDATA%')")/Microsoft/Windows/Start\ Menu/Programs/키베인.lnk
# entries of Settings > Apps named 키베인 (Keyvane): Windows records a per-user product for
# the user, Wine for the machine (in the package's 32-bit view)
uninstall_keys() {
    local root view
    for root in HKCU HKLM; do for view in 32 64; do
        wine_ko wine reg query "$root\Software\Microsoft\Windows\CurrentVersion\Uninstall" /s /reg:$view 2>/dev/null
    done; done | iconv -f CP949 -t UTF-8 | grep -c 'DisplayName.*키베인 (Keyvane)'
}
# a .lnk names its target in the ANSI code page or in UTF-16
lnk_targets() { python3 -c 'import sys; d = open(sys.argv[1], "rb").read(); t = sys.argv[2]
sys.exit(t.encode("cp949") not in d and t.encode("utf-16-le") not in d)' "$lnk" "$exe"; }

echo "== the older version, silently, with 윈도우 시작시 실행 (STARTUP=1)"
msiexec /i "$(msi 1.4.0)" /qn STARTUP=1
e2e_check "msiexec /i /qn installs into $dir: the exe, the help, the licence and the sample list" \
    test "$(ls "$host" | tr '\n' ' ')" = "Config.ini Keyvane.exe License.txt MyJob.ini Readme.txt "
e2e_check "the Start-menu shortcut 키베인 points at it" lnk_targets
e2e_check "the Run value holds the program's path, and Config.ini StartUp=1 (옵션 shows it ticked)" \
    eval '[ "$(kv_run_value "$KV_USER_RUN_KEY")$(kv_run_value)" = "$exe" ] && [ "$(e2e_ini_get "$dir\Config.ini" Config StartUp)" = 1 ]'
e2e_check "an uninstaller is registered for the user (Settings > Apps)" test "$(uninstall_keys)" = 1

echo "== an entry made and applied in the installed Keyvane"
kv_start "$exe" || { e2e_dump; exit 1; }
ed_show "$dir\\MyJob.ini" || { e2e_dump; exit 1; }
ui_click "$ED" '등록'
ui_wait 10 "a new row" ed_ids_are 'P0 P1 P2 P3 P4'
ui_click_into "$ED" "$ED_SUBJECT"
ui_type 설치본
ui_click "$ED" Ctrl
ui_click "$ED" Win
ui_pick "$ED" "$ED_KEYS" J
ui_click_into "$ED" "$(ed_info '웹사이트 이동')"
ui_type http://example.com/
ui_wait 10 "the row" ed_row_is P4 $'설치본\tP4\tCtrl+Win+J\t웹사이트 이동\thttp://example.com/\tTrue'
ui_click "$ED" '적용'
e2e_check "적용 writes it to the installed MyJob.ini" ui_wait 10 "MyJob.ini" \
    ed_file_has "$dir\\MyJob.ini" '^설치본-P4-Ctrl\+Win\+J-웹사이트 이동-http://example.com/-True-'
# a backup and another work file, as the user's own
cp "$host/MyJob.ini" "$host/MyJob.ini.bak"
printf '\xb5\xce-P0-Ctrl+Alt+Q-\r\n' > "$host/다른일.ini"
sums() { (cd "$host" && md5sum Config.ini MyJob.ini MyJob.ini.bak 다른일.ini); }
before=$(sums)
old_pid=$(kv_unix_pids "$exe" | head -1)

echo "== the current version over it, silently, while Keyvane runs"
# Whether the running copy ever ran from a file that was already replaced or removed,
# watched until it ends or msiexec is done.
( while kill -0 "$old_pid" 2>/dev/null && [ ! -e "$E2E_RUN/msi-done" ]; do
      grep -q 'Keyvane\.exe (deleted)' "/proc/$old_pid/maps" 2>/dev/null && echo deleted
      sleep 0.02
  done > "$E2E_RUN/watch" ) &
watcher=$!
msiexec /i "$(msi "$version")" /qn
rc=$?
touch "$E2E_RUN/msi-done"
wait "$watcher"
e2e_check "msiexec /i /qn upgrades (exit $rc), one version registered" \
    eval '[ $rc = 0 ] && [ "$(uninstall_keys)" = 1 ]'
e2e_check "the running copy was ended before its file was replaced" \
    eval '! kill -0 "$old_pid" 2>/dev/null && [ ! -s "$E2E_RUN/watch" ]'
e2e_check "MyJob.ini with the entry, its backup, the other work file and Config.ini keep every byte" \
    test "$(sums)" = "$before"
e2e_check "the Run value is still there" test "$(kv_run_value "$KV_USER_RUN_KEY")$(kv_run_value)" = "$exe"
if kv_start "$exe" && ed_show "$dir\\MyJob.ini"; then
    e2e_check "the upgraded Keyvane starts and its editor shows the entry" \
        ed_row_is P4 $'설치본\tP4\tCtrl+Win+J\t웹사이트 이동\thttp://example.com/\tTrue'
else
    e2e_bad "the upgraded Keyvane starts and its editor shows the entry"
fi

echo "== uninstalled, silently, while Keyvane runs"
new_pid=$(kv_unix_pids "$exe" | head -1)
msiexec /x "$(msi "$version")" /qn
e2e_check "msiexec /x /qn ends Keyvane and unregisters it" \
    eval '! kill -0 "$new_pid" 2>/dev/null && [ "$(uninstall_keys)" = 0 ]'
e2e_check "the folder keeps only the work files, their backup and Config.ini, byte for byte" \
    eval '[ "$(ls "$host" | tr "\n" " ")" = "Config.ini MyJob.ini MyJob.ini.bak 다른일.ini " ] && [ "$(sums)" = "$before" ]'
e2e_check "no shortcut and no Run value are left" \
    eval '[ ! -e "$lnk" ] && [ -z "$(kv_run_value "$KV_USER_RUN_KEY")$(kv_run_value)" ]'
e2e_stop
e2e_summary
