#!/bin/bash
# The download as a user gets it: build/dist/Keyvane-<version>.zip (made by
# scripts/package when it is not there yet) holds exactly the Keyvane folder with the
# exe, the help, the sample list and the licence; its name carries the exe's own version.
# Unpacked into a fresh prefix, in a folder of the user's, Keyvane runs from there and
# Ctrl+Win+F1 shows the editor with the sample list.
# Run: tests/e2e/run_all.sh package
set -u
cd "$(dirname "$0")"
source lib/e2e.sh
source lib/keyvane.sh
source lib/ui.sh
source lib/editor.sh

zips() { ls "$E2E_ROOT"/build/dist/Keyvane-*.zip 2>/dev/null; }
if [ -z "$(zips)" ]; then
    "$E2E_ROOT/scripts/package" || exit 1
fi
zip=$(zips | head -1)
echo "== $(basename "$zip")"

entries() { python3 -c 'import sys, zipfile; print("\n".join(zipfile.ZipFile(sys.argv[1]).namelist()))' "$zip"; }
e2e_check "it holds the Keyvane folder with the exe, the help, the sample list and the licence" \
    test "$(entries | tr '\n' ' ')" = "Keyvane/ Keyvane/Keyvane.exe Keyvane/License.txt Keyvane/MyJob.ini Keyvane/Readme.txt "

# product_version <exe>: the ProductVersion string of its version resource (UTF-16)
product_version() {
    python3 - "$1" <<'EOF'
import re, sys
data = open(sys.argv[1], "rb").read()
key = "ProductVersion\0".encode("utf-16-le")
at = data.find(key)
if at < 0:
    sys.exit(1)
value = data[at + len(key):]
value = value[2:] if value[:2] == b"\0\0" else value   # padding to 32 bits
print(re.match(rb"((?:[0-9.]\0)+)", value).group(1).decode("utf-16-le"))
EOF
}

e2e_start || exit 1
dest=$WINEPREFIX/drive_c/도구
mkdir -p "$dest"
python3 -c 'import sys, zipfile; zipfile.ZipFile(sys.argv[1]).extractall(sys.argv[2])' "$zip" "$dest" || exit 1
name_version=$(basename "$zip" .zip)
name_version=${name_version#Keyvane-}
exe_version=$(product_version "$dest/Keyvane/Keyvane.exe")
e2e_check "the name's version ($name_version) is the exe's version resource ($exe_version)" \
    test "$name_version" = "$exe_version"

if [ "$E2E_WIDTH" = 64 ]; then
    # The zip's exe is 32-bit: the folder is tried with the 64-bit build of the same sources.
    echo "== this machine runs no 32-bit code: the unpacked folder runs build/win64's Keyvane.exe"
    cp "$E2E_BIN/Keyvane.exe" "$dest/Keyvane/Keyvane.exe"
fi
echo "== run from the unpacked folder"
kv_focus_probe
if kv_start 'C:\도구\Keyvane\Keyvane.exe'; then
    e2e_ok "Keyvane starts from C:\\도구\\Keyvane with its hotkeys (${KV_START_MS} ms)"
    if ed_show 'C:\도구\Keyvane\MyJob.ini'; then
        e2e_ok "Ctrl+Win+F1 shows the editor of the folder's MyJob.ini"
        e2e_check "with the four entries of the sample list" ed_ids_are "P0 P1 P2 P3"
        e2e_check "  their Hangul descriptions read as written" \
            test "$(ed_row P0 | cut -f1)" = "메모장 실행"
    else
        e2e_bad "Ctrl+Win+F1 shows the editor of the folder's MyJob.ini"
    fi
else
    e2e_bad "Keyvane starts from C:\\도구\\Keyvane with its hotkeys"
fi
e2e_summary
