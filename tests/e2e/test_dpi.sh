#!/bin/bash
# Every window is sharp and whole at any screen scale: the program declares itself DPI aware
# and scales the 96-dpi design itself. The prefix's LogPixels is set to 96 and then to 144;
# each time platform_check.exe "layout" shows a form with every kind of control and checks
# the client area, each control's place and font at that scale, that none leaves the client
# area and none overlaps a sibling. A screenshot of each scale is kept in
# build/e2e-artifacts/dpi_<dpi>.png; then Keyvane's editor is shown at that scale, its list and
# every control checked against the window, and kept as build/e2e-artifacts/test_dpi/editor_<dpi>.png.
# Run: tests/e2e/run_all.sh dpi
set -u
cd "$(dirname "$0")" || exit 1
# A screen with room for the editor at 150 % (1062 x 920 pixels of client area).
E2E_SCREEN=1920x1080x24
source lib/e2e.sh
source lib/keyvane.sh
source lib/ui.sh
source lib/editor.sh

CHECK=$E2E_TOOLS/platform_check.exe
[ -f "$CHECK" ] || { echo "FAIL missing $CHECK: cmake --build --preset win32"; exit 1; }
ART=$E2E_ROOT/build/e2e-artifacts
mkdir -p "$ART"
e2e_start || exit 1
L=$E2E_RUN/logs
EXE=$(e2e_install "$CHECK" 배율)

# Wine takes the screen's dpi from these values when a process starts.
# A reg.exe that fails now and then on a busy machine is run again.
set_dpi() {
    local try
    for try in 1 2 3; do
        wine_ko wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1 &&
            wine_ko wine reg add 'HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts' \
                /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1 && return 0
    done
    return 1
}

for dpi in 96 144; do
    echo "== at $dpi dpi"
    e2e_check "LogPixels set to $dpi" set_dpi "$dpi"
    out=$L/layout_$dpi.out
    wine_ko wine "$EXE" layout 20 >"$out" 2>>"$E2E_RUN/wine.out" &
    pid=$!
    E2E_PIDS+=("$pid")
    e2e_check "the form is up" e2e_wait_file "$out" '^READY' 20
    e2e_check "the program sees $dpi dpi" grep -q "^INFO dpi=$dpi" "$out"
    while IFS= read -r line; do
        line=${line%$'\r'}
        case $line in
            "PASS "*) e2e_ok "$dpi dpi: ${line#PASS }" ;;
            "FAIL "*) e2e_bad "$dpi dpi: ${line#FAIL }" ;;
        esac
    done <"$out"
    e2e_check "every layout check ran" grep -q '^DONE failures=0' "$out"
    wid=$(e2e_wait_window '^위젯 점검$' 10) && e2e_focus "$wid"
    sleep 1  # painted
    e2e_check "screenshot $ART/dpi_$dpi.png" import -window root "$ART/dpi_$dpi.png"

    # Keyvane's own editor at this scale: its list, and every control inside the window.
    app=$(e2e_install_keyvane "dpi$dpi")
    kv_work_file "C:\\dpi$dpi\\MyJob.ini" </dev/null
    kv_focus_probe "배율$dpi" && kv_start "$app" && kv_press ctrl+super+F1
    ed=$(ed_title "C:\\dpi$dpi\\MyJob.ini")
    e2e_check "Ctrl+Win+F1 shows the editor" ui_wid "$ed" 15 >/dev/null
    ui_list "$ed" >"$L/editor_$dpi.txt" 2>/dev/null
    e2e_check "its list is $((696 * dpi / 96)) pixels wide, ±2 (696 at 96 dpi)" \
        awk -F'\t' -v want=$((696 * dpi / 96)) '$1 == "C" && $3 == "SysListView32" {
            split($5, r, ","); w = r[3] - r[1]; found = 1; exit !(w >= want - 2 && w <= want + 2) }
            END { if (!found) exit 1 }' "$L/editor_$dpi.txt"
    e2e_check "every control of the editor lies inside its window" \
        awk -F'\t' '$1 == "W" { split($4, w, ",") } $1 == "C" && $7 == 1 { split($5, r, ",");
            if (r[1] < w[1] || r[2] < w[2] || r[3] > w[3] || r[4] > w[4]) { print "outside: " $0; bad = 1 } }
            END { exit bad }' "$L/editor_$dpi.txt"
    e2e_check "screenshot build/e2e-artifacts/test_dpi/editor_$dpi.png" ui_shot "editor_$dpi" "$ed"
    kill "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
    wineserver -k 2>/dev/null
    timeout 15 wineserver -w 2>/dev/null
done
e2e_summary
