# width.sh - which Keyvane the Wine tests run, sourced with E2E_WINE_DIR set.
# E2E_WIDTH=32 runs the shipped 32-bit build (presets win32, win32-tests) in 32-bit
# prefixes. A machine whose kernel runs no 32-bit code cannot start 32-bit Wine at all:
# there E2E_WIDTH is 64, and the same sources built as a 64-bit program (presets win64,
# win64-tests) run in 64-bit prefixes, through a "wine" that starts the 64-bit loader
# (the installed one always tries the 32-bit loader first).
if [ -z "${E2E_WIDTH:-}" ]; then
    if [ ! -e /usr/lib/wine/wine ] || /usr/lib/wine/wine --version >/dev/null 2>&1; then E2E_WIDTH=32; else E2E_WIDTH=64; fi
fi
export E2E_WIDTH
if [ "$E2E_WIDTH" = 64 ]; then
    # "wine", and "wine-stable" that wineboot and the other commands call.
    mkdir -p "$E2E_WINE_DIR/bin64"
    for _w in wine wine-stable; do
        [ -x "$E2E_WINE_DIR/bin64/$_w" ] ||
            printf '#!/bin/sh\nexport WINELOADER=/usr/lib/wine/wine64\nexec /usr/lib/wine/wine64 "$@"\n' \
                >"$E2E_WINE_DIR/bin64/$_w" && chmod +x "$E2E_WINE_DIR/bin64/$_w"
    done
    case ":$PATH:" in *":$E2E_WINE_DIR/bin64:"*) ;; *) export PATH=$E2E_WINE_DIR/bin64:$PATH ;; esac
fi
