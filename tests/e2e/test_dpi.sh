#!/bin/bash
# Every window is sharp and whole at any screen scale: the program declares itself DPI aware
# and scales the 96-dpi design itself. The prefix's LogPixels is set to 96 and then to 144;
# each time platform_check.exe "layout" shows a form with every kind of control and checks
# the client area, each control's place and font at that scale, that none leaves the client
# area and none overlaps a sibling. A screenshot of each scale is kept in
# build/e2e-artifacts/dpi_<dpi>.png.
# Run: tests/e2e/run_all.sh dpi
set -u
cd "$(dirname "$0")" || exit 1
source lib/e2e.sh

CHECK=$E2E_TOOLS/platform_check.exe
[ -f "$CHECK" ] || { echo "FAIL missing $CHECK: cmake --build --preset win32"; exit 1; }
ART=$E2E_ROOT/build/e2e-artifacts
mkdir -p "$ART"
e2e_start || exit 1
L=$E2E_RUN/logs
EXE=$(e2e_install "$CHECK" 배율)

# Wine takes the screen's dpi from these values when a process starts.
set_dpi() {
    wine_ko wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1 &&
        wine_ko wine reg add 'HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts' \
            /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1
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
    kill "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
    wineserver -k 2>/dev/null
    timeout 15 wineserver -w 2>/dev/null
done
e2e_summary
