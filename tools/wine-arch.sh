# Sourced by the Wine scripts: which of Wine's loaders start on this machine,
# and the environment of one architecture's private prefix.
#
#   kivo_wine_starts 32|64   status 0 when that loader executes here
#   kivo_wine_why_not 32|64  one phrase saying why it does not
#   kivo_default_arch        32 where the 32-bit loader starts, else 64
#   kivo_wine_use 32|64      exports WINEPREFIX, WINEARCH, WINELOADER, WINESERVER
#                            (and the quiet settings) for that architecture
#
# Debian's /usr/bin/wine takes the 32-bit loader whenever it is installed,
# even on a machine whose kernel cannot execute it, and its wineboot,
# winepath and the like go through that wrapper. So every Wine command of
# ours runs through "$WINELOADER" (wineboot, winepath, regsvr32, reg and
# cscript being programs of Wine's own), and the session server is "$WINESERVER".
#
# KIVO_WINE32=off (or KIVO_WINE64=off) makes a machine that could run that
# loader behave as one that cannot: the road of a machine without 32-bit
# execution can be walked anywhere. KIVO_WINEPREFIX and KIVO_WINEPREFIX64
# move the prefixes.

kivo_root=${kivo_root:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}
kivo_wine_dir=${KIVO_WINE_DIR:-/usr/lib/wine}

kivo_wine_loader() {
    case $1 in
        32) printf '%s\n' "$kivo_wine_dir/wine" ;;
        64) printf '%s\n' "$kivo_wine_dir/wine64" ;;
        *) return 2 ;;
    esac
}

kivo_wine_disabled() {
    case $1 in
        32) [ "${KIVO_WINE32:-}" = off ] ;;
        64) [ "${KIVO_WINE64:-}" = off ] ;;
    esac
}

kivo_wine_starts() {
    local loader
    loader=$(kivo_wine_loader "$1") || return 2
    kivo_wine_disabled "$1" && return 1
    [ -x "$loader" ] || return 1
    "$loader" --version >/dev/null 2>&1
}

kivo_wine_why_not() {
    local loader out
    loader=$(kivo_wine_loader "$1") || return 2
    if kivo_wine_disabled "$1"; then
        printf 'switched off by KIVO_WINE%s=off\n' "$1"
    elif [ ! -x "$loader" ]; then
        printf '%s is not installed\n' "$loader"
    else
        out=$("$loader" --version 2>&1 | head -n 1)
        printf '%s does not start here: %s\n' "$loader" "${out##*: }"
    fi
}

kivo_default_arch() {
    if kivo_wine_starts 32; then echo 32; else echo 64; fi
}

kivo_wine_use() {
    case $1 in
        32)
            export WINEPREFIX="${KIVO_WINEPREFIX:-$kivo_root/build/wineprefix}" WINEARCH=win32 ;;
        64)
            export WINEPREFIX="${KIVO_WINEPREFIX64:-$kivo_root/build/wineprefix64}" WINEARCH=win64 ;;
        *)
            echo "unknown architecture '$1' (32 or 64)" >&2
            return 2 ;;
    esac
    export KIVO_ARCH=$1
    WINELOADER=$(kivo_wine_loader "$1")
    # The 64-bit server serves 32-bit programs too, and it is the one that
    # starts on every machine that runs either loader.
    if [ -x "$kivo_wine_dir/wineserver64" ]; then
        WINESERVER="$kivo_wine_dir/wineserver64"
    else
        WINESERVER="$kivo_wine_dir/wineserver32"
    fi
    export WINELOADER WINESERVER
    export WINEDEBUG="${WINEDEBUG:--all}" WINEDLLOVERRIDES="mscoree,mshtml="
}
