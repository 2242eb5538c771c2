# Sourced by scripts that need kivo.ocx registered in a Wine prefix for a
# while and the prefix left as they found it: the control's registration and
# the Lumbra folder value its start-up reads (without which start-up shows
# the modal Mini Control Panel).
#   KIVO_WINE      the command that runs a Windows program of the chosen
#                  architecture (a build tree's winerun, or Wine's loader)
#   kivo_control_begin OCX LUMBRA [keep]   register OCX; point the control at
#                                          LUMBRA (with "keep", only when unset;
#                                          with "control-only", never)
#   kivo_control_end OCX [unregister]      undo what begin did; "unregister"
#                                          leaves the control unregistered
#                                          whatever was found
# OCX and LUMBRA are Linux paths.
#
# The product's settings live in the 32-bit registry view, where programs of
# either architecture read them (/reg:32); the control's COM registration is
# in the view of its own architecture, written by the regsvr32 of that
# architecture.

kivo_lumbra_key='HKLM\software\Perdix\KIVO\1.5\Path'
kivo_lumbra_value='Lumbra Root Folder'

kivo_windows_path() { printf 'Z:%s' "${1//\//\\}"; }

# The Lumbra folder value, if set; status 1 when it is not.
kivo_lumbra_folder() {
    local out
    out=$($KIVO_WINE reg query "$kivo_lumbra_key" /v "$kivo_lumbra_value" /reg:32 2>/dev/null) || return 1
    out=$(printf '%s\n' "$out" | tr -d '\r' | sed -n "s/^ *$kivo_lumbra_value *REG_SZ *//p")
    [ -n "$out" ] || return 1
    printf '%s\n' "$out"
}

kivo_control_registered() { $KIVO_WINE reg query 'HKCR\KIVO.KIVOCtrl.1\CLSID' >/dev/null 2>&1; }

# The file registered as the control's server (its class's InprocServer32),
# as a lower-case Windows path; status 1 when the control is not registered.
kivo_control_server() {
    local out
    out=$($KIVO_WINE reg query 'HKCR\CLSID\{945D922E-A5D1-4CB1-8D67-BED0263190A0}\InprocServer32' /ve 2>/dev/null) ||
        return 1
    printf '%s\n' "$out" | tr -d '\r' | sed -n 's/^ *(Default) *REG_SZ *//p' | tr 'A-Z' 'a-z'
}

kivo_control_begin() {
    local ocx=$1 lumbra=$2 mode=${3:-} server registered=0
    kivo_was_registered=0
    # One look-up tells both whether the control is registered and whether
    # OCX is the file registered, in which case nothing needs doing.
    if server=$(kivo_control_server); then
        kivo_was_registered=1
        [ "$server" = "$(kivo_windows_path "$ocx" | tr 'A-Z' 'a-z')" ] && registered=1
    fi
    kivo_had_lumbra=0 kivo_set_lumbra=0
    [ "$mode" = control-only ] || { kivo_saved_lumbra=$(kivo_lumbra_folder) && kivo_had_lumbra=1; }
    if [ "$mode" != control-only ] && { [ "$mode" != keep ] || [ "$kivo_had_lumbra" = 0 ]; }; then
        kivo_set_lumbra=1
        $KIVO_WINE reg add "$kivo_lumbra_key" /v "$kivo_lumbra_value" /d "$(kivo_windows_path "$lumbra")" /f /reg:32 \
            >/dev/null 2>&1 || { echo "cannot set the Lumbra folder value" >&2; return 1; }
    fi
    [ "$registered" = 1 ] && return 0
    $KIVO_WINE regsvr32 /s "$(kivo_windows_path "$ocx")" || { echo "regsvr32 $ocx failed" >&2; return 1; }
}

kivo_control_end() {
    local ocx=$1 mode=${2:-}
    if [ "$kivo_was_registered" = 0 ] || [ "$mode" = unregister ]; then
        $KIVO_WINE regsvr32 /s /u "$(kivo_windows_path "$ocx")" || echo "regsvr32 /u $ocx failed" >&2
    fi
    if [ "$kivo_set_lumbra" = 0 ]; then
        return 0
    elif [ "$kivo_had_lumbra" = 1 ]; then
        $KIVO_WINE reg add "$kivo_lumbra_key" /v "$kivo_lumbra_value" /d "$kivo_saved_lumbra" /f /reg:32 >/dev/null 2>&1 || true
    else
        $KIVO_WINE reg delete "$kivo_lumbra_key" /v "$kivo_lumbra_value" /f /reg:32 >/dev/null 2>&1 || true
    fi
    return 0
}
