#!/usr/bin/env bash
# The installer of one architecture as a user meets it, in a Wine prefix of
# the test's own, made afresh each run:
#   installer_test.sh ARCH MAKE-INSTALLER INSTALLER WORK ROAD [OTHER-INSTALLER]
# ARCH is 32 or 64; MAKE-INSTALLER the build tree's make-installer, which
# compiles the same script with another version or control; WORK a folder
# for the prefix and the scratch files; ROAD the update road's driver
# (UpdateRoadWin32.cpp). OTHER-INSTALLER, the installer of
# the other architecture, is installed beside this one where both of Wine's
# loaders start (a 64-bit prefix runs both).
#
# With ARCH 64 the prefix is a 64-bit one, and the whole road is walked:
# a damaged installer, the silent install and what it leaves, a second setup
# at once, a newer build over a running control panel keeping the
# configuration, the update road to a newer build still, the side-by-side
# installation, an uninstall waiting for the
# panel, a control that fails to register, a file that cannot be written and
# the uninstall that removes the settings too. With ARCH 32 the prefix is a
# 32-bit one (32-bit Windows) and the road is the install, the newer builds
# (silent and by the update road), the uninstalls.
set -uo pipefail
arch=$1 make_installer=$2 installer=$3 work=$4 road=$5 other=${6:-}
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
kivo_root=$root
. "$root/tools/wine-arch.sh"

# The test's own prefix, never the build's: installing changes it for good.
prefix=$work/prefix
export KIVO_WINEPREFIX=$prefix KIVO_WINEPREFIX64=$prefix
kivo_wine_use "$arch" || exit 2
if ! kivo_wine_starts "$arch"; then
    echo "cannot run $arch-bit Windows programs: $(kivo_wine_why_not "$arch")"
    exit 1
fi
"$WINESERVER" -k >/dev/null 2>&1
rm -rf "$work"
mkdir -p "$work"
KIVO_ARCH=$arch "$root/tools/wineprefix-setup" >/dev/null || exit 1
xvfb_pid=""
if [ -z "${DISPLAY:-}" ]; then
    for n in $(seq 90 140); do
        [ -e "/tmp/.X$n-lock" ] && continue
        Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
        xvfb_pid=$!
        for _ in $(seq 1 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
        if kill -0 "$xvfb_pid" 2>/dev/null; then export DISPLAY=":$n"; break; fi
        xvfb_pid=""
    done
fi
KIVO_ARCH=$arch "$root/tools/wine-session"
finish() {
    "$WINESERVER" -k >/dev/null 2>&1
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
}
trap finish EXIT

wine() { "$WINELOADER" "$@"; }
drive_c=$prefix/drive_c
unix_path() { local p=${1#[Cc]:\\}; printf '%s/%s' "$drive_c" "${p//\\//}"; }

passed=0 failed=0
check() {  # check NAME COMMAND...
    local name=$1
    shift
    if "$@"; then passed=$((passed + 1)); else failed=$((failed + 1)); echo "FAILED: $name"; fi
}
equal() { [ "$1" = "$2" ] || { echo "  '$1' is not '$2'"; return 1; }; }

# A key with its subkeys in a view (32 or 64), as reg prints it, and one
# value out of that text: one Wine program for several values.
reg_dump() { wine reg query "$2" /s /reg:"$1" 2>/dev/null | tr -d '\r'; }
value_of() {  # value_of DUMP KEY VALUE ("" for the default value)
    local name=${3:-(Default)} key=$2
    key=${key/#HKLM\\/HKEY_LOCAL_MACHINE\\}
    key=${key/#HKCR\\/HKEY_CLASSES_ROOT\\}
    # Through the environment: awk reads escapes in -v values, and "\1.5" is one.
    printf '%s\n' "$1" | K=$key N=$name awk '
        BEGIN { k = ENVIRON["K"]; n = ENVIRON["N"] }
        /^HKEY_/ { here = (tolower($0) == tolower(k)); next }
        here {
            line = $0; sub(/^ +/, "", line)
            if (index(line, n " ") == 1) {
                rest = substr(line, length(n) + 1); sub(/^ +REG_[A-Z_]+ +/, "", rest); print rest; exit
            }
        }'
}
# One value in a view; nothing when there is none.
reg_value() { value_of "$(reg_dump "$1" "$2")" "$2" "$3"; }
no_key() { ! wine reg query "$2" /reg:"$1" >/dev/null 2>&1; }

settings='HKLM\software\Perdix\KIVO\1.5'
uninstall_root='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall'
clsid='{945D922E-A5D1-4CB1-8D67-BED0263190A0}'
today=$(date +%Y-%-m-%-d)

# What each architecture's installation is called and where it goes.
entry_of() { [ "$1" = 64 ] && echo 'KIVO (64-bit)' || echo 'KIVO'; }
menu_of() { [ "$1" = 64 ] && echo 'KIVO (64-bit)' || echo 'KIVO'; }
folder_of() {
    if [ "$1" = 32 ] && [ "$arch" = 64 ]; then echo 'C:\Program Files (x86)\Perdix\KIVO'; else echo 'C:\Program Files\Perdix\KIVO'; fi
}
menu_folder() { printf '%s/ProgramData/Microsoft/Windows/Start Menu/Programs/%s' "$drive_c" "$(menu_of "$1")"; }
entry_key() { printf '%s\\%s' "$uninstall_root" "$(entry_of "$1")"; }
entry_value() { reg_value "$1" "$(entry_key "$1")" "$2"; }

# Runs an installer silently and gives its exit status.
install() {  # install INSTALLER [ARGS...]
    local file=$1
    shift
    wine "$(printf 'Z:%s' "${file//\//\\}")" /S "$@" >/dev/null 2>&1
}

# The uninstaller hands over to a copy of itself and returns at once: wait
# until the entry and the folder have gone (or a minute has passed).
uninstall() {  # uninstall ARCH [ARGS...]
    local a=$1 folder
    shift
    folder=$(folder_of "$a")
    wine "$folder\\uninstall.exe" /S "$@" >/dev/null 2>&1
    for _ in $(seq 1 120); do
        [ -z "$(entry_value "$a" DisplayName)" ] && [ ! -e "$(unix_path "$folder")" ] && break
        sleep 0.5
    done
}

# The programs of the installation convert through its control: kivoconv,
# and a script under the cscript of the same bitness.
converts() {  # converts ARCH
    local a=$1 folder out script
    folder=$(folder_of "$a")
    out=$(printf '\xb7\xa2' | wine "$folder\\kivoconv.exe" gbk big5 2>/dev/null | od -An -tx1 | tr -d ' \n')
    equal "$out" b56f || { echo "  kivoconv gbk big5 of 发 ($a-bit)"; return 1; }
    out=$(printf '\xc5\xe9' | wine "$folder\\kivoconv.exe" big5 gbk 2>/dev/null | od -An -tx1 | tr -d ' \n')
    equal "$out" cce5 || { echo "  kivoconv big5 gbk of 體 ($a-bit)"; return 1; }
    if [ "$a" = 32 ] && [ "$arch" = 64 ]; then script='C:\windows\syswow64\cscript.exe'; else script=cscript; fi
    cp "$here/convert.js" "$drive_c/convert.js"
    out=$(wine "$script" //nologo 'C:\convert.js' 2>/dev/null | tr -d '\r')
    equal "$out" $'s2t 767c\nt2s 4f53\ndone' || { echo "  cscript ($a-bit)"; return 1; }
}

# Everything an installation of ARCH (version VERSION) puts in place.
installed() {  # installed ARCH VERSION
    local a=$1 version=$2 folder menu f link target entry
    folder=$(folder_of "$a")
    menu=$(menu_folder "$a")
    for f in kivo.ocx kivocp.exe kivotester.exe kivoconv.exe kivo.chm kivop.chm kivoc.chm kivoprc.chm \
             NOTICE.txt uninstall.exe; do
        check "$a-bit: $f installed" test -s "$(unix_path "$folder")/$f"
    done
    check "$a-bit: the control registered from its folder in its view" \
        equal "$(reg_value "$a" "HKLM\\Software\\Classes\\CLSID\\$clsid\\InprocServer32" '')" "$folder\\kivo.ocx"
    check "$a-bit: the ProgID" equal "$(progid)" "$clsid"
    entry=$(reg_dump "$a" "$(entry_key "$a")")
    field() { value_of "$entry" "$(entry_key "$a")" "$1"; }
    check "$a-bit: entry name" equal "$(field DisplayName)" \
        "$([ "$a" = 64 ] && echo 'KIVO 1.5 (64-bit)' || echo 'KIVO 1.5')"
    check "$a-bit: entry version" equal "$(field DisplayVersion)" "$version"
    check "$a-bit: entry publisher" equal "$(field Publisher)" Perdix
    check "$a-bit: entry icon" equal "$(field DisplayIcon)" "$folder\\kivocp.exe,0"
    check "$a-bit: entry folder" equal "$(field InstallLocation)" "$folder"
    check "$a-bit: entry uninstaller" equal "$(field UninstallString)" "\"$folder\\uninstall.exe\""
    check "$a-bit: entry size in KB" test "$(($(field EstimatedSize)))" -gt 1000
    check "$a-bit: four Start-menu links" test "$(find "$menu" -name '*.lnk' 2>/dev/null | wc -l)" -eq 4
    for target in kivocp.exe kivotester.exe kivo.chm uninstall.exe; do
        link=$(grep -la "$target" "$menu"/*.lnk 2>/dev/null | head -n 1)
        check "$a-bit: a link to $target" test -n "$link"
    done
    check "$a-bit: converts through the installed control" converts "$a"
}

# Nothing of an installation of ARCH is left.
removed() {  # removed ARCH WHEN
    local a=$1 when=$2
    check "$a-bit ($when): folder removed" test ! -e "$(unix_path "$(folder_of "$a")")"
    check "$a-bit ($when): links removed" test ! -e "$(menu_folder "$a")"
    check "$a-bit ($when): entry removed" test -z "$(entry_value "$a" DisplayName)"
    check "$a-bit ($when): control unregistered" no_key "$a" "HKLM\\Software\\Classes\\CLSID\\$clsid"
}
# ProgIDs are one key for both views.
progid() { reg_value "$arch" 'HKCR\KIVO.KIVOCtrl.1\CLSID' ''; }

# The control panel of an installation, started and known to be up when it
# has written its path; the day's update check counts as done and the
# release notes as shown, so that it opens nothing else.
start_panel() {  # start_panel ARCH
    local folder
    folder=$(folder_of "$1")
    wine reg add "$settings\\AutoDetect" /v 'Last Try' /d "$today" /f /reg:32 >/dev/null 2>&1
    wine reg add "$settings\\App" /v 'Release Note 2005-8-6' /d 1 /f /reg:32 >/dev/null 2>&1
    wine reg add "$settings\\Web" /v 'Vendor Site' /d 'http://127.0.0.1:9' /f /reg:32 >/dev/null 2>&1
    wine reg delete "$settings\\App" /v Path /f /reg:32 >/dev/null 2>&1
    wine "$folder\\kivocp.exe" >/dev/null 2>&1 &
    for _ in $(seq 1 60); do
        [ -n "$(reg_value 32 "$settings\\App" Path)" ] && return 0
        sleep 0.5
    done
    echo "  the control panel did not start"
    return 1
}
close_panel() { wine taskkill /im kivocp.exe >/dev/null 2>&1; }

version1=1.5.0
version2=1.5.1
version3=1.5.2
newer=$work/kivo-newer.exe
newest=$work/kivo-newest.exe
# Two builds more of the same script; the update road's is compressed as
# published, since the panel downloads it 512 bytes at a time.
sh "$make_installer" -DKIVO_FAST -DKIVO_VERSION=$version2 "-DKIVO_OUTFILE=$newer" >/dev/null &
making_newer=$!
sh "$make_installer" -DKIVO_VERSION=$version3 "-DKIVO_OUTFILE=$newest" >/dev/null &
making_newest=$!
# Those two only: the Xvfb started above is a child too.
wait $making_newer $making_newest
[ -f "$newer" ] && [ -f "$newest" ] || { echo "makensis failed"; exit 1; }
standin='C:\Program Files\Perdix\Lumbra'

if [ "$arch" = 64 ]; then
    # A damaged download: NSIS's own check refuses it before anything happens.
    cp "$installer" "$work/damaged.exe"
    size=$(stat -c %s "$work/damaged.exe")
    printf '\x5a' | dd of="$work/damaged.exe" bs=1 seek=$((size / 2)) conv=notrunc 2>/dev/null
    install "$work/damaged.exe"
    check "damaged installer: refused" test $? -ne 0
    check "damaged installer: nothing installed" test ! -e "$drive_c/Program Files/Perdix"
fi

install "$installer"
check "install: exit 0" test $? -eq 0
installed "$arch" "$version1"
check "App/Path: the installed panel" equal "$(reg_value 32 "$settings\\App" Path)" "$(folder_of "$arch")\\kivocp.exe"
check "Lumbra: the stand-in configured" equal "$(reg_value 32 "$settings\\Path" 'Lumbra Root Folder')" "$standin"
check "Lumbra: its program configured" equal "$(reg_value 32 "$settings\\Path" 'Lumbra Exe Path')" "$standin\\lumbra.exe"
check "Lumbra: the stand-in's data and program" \
    test -f "$(unix_path "$standin")/config/wag2b.ini" -a -f "$(unix_path "$standin")/ctwa/basebig.txt" \
    -a -f "$(unix_path "$standin")/lumbra.exe"
[ "$arch" = 64 ] && check "64-bit alone: nothing registered in the 32-bit view" \
    no_key 32 "HKLM\\Software\\Classes\\CLSID\\$clsid"

if [ "$arch" = 64 ]; then
    # A second setup while one is open: one at a time.
    wine "$(printf 'Z:%s' "${installer//\//\\}")" >/dev/null 2>&1 &
    for _ in $(seq 1 60); do xdotool search --name 'KIVO 1.5 .* Setup' >/dev/null 2>&1 && break; sleep 0.5; done
    install "$newer"
    check "second setup at once: refused" test $? -ne 0
    check "second setup at once: nothing changed" equal "$(entry_value "$arch" DisplayVersion)" "$version1"
    wine taskkill /f /im "$(basename "$installer")" >/dev/null 2>&1
    sleep 1
fi

# The user's configuration: their own Lumbra, language, colours, recent files.
mkdir -p "$drive_c/MyLumbra"
cp -r "$(unix_path "$standin")/config" "$(unix_path "$standin")/ctwa" "$drive_c/MyLumbra/"
wine reg add "$settings\\Path" /v 'Lumbra Root Folder' /d 'C:\MyLumbra' /f /reg:32 >/dev/null 2>&1
wine reg add "$settings\\Shell" /v LCID /t REG_DWORD /d 1028 /f /reg:32 >/dev/null 2>&1
wine reg add "$settings\\Color" /v 'Source Text' /t REG_DWORD /d 1193046 /f /reg:32 >/dev/null 2>&1
wine reg add "$settings\\File\\MRU Source" /v 1 /d 'C:\notes.txt' /f /reg:32 >/dev/null 2>&1
configuration() {
    local all
    all=$(reg_dump 32 "$settings")
    printf '%s|' "$(value_of "$all" "$settings\\Path" 'Lumbra Root Folder')" \
        "$(value_of "$all" "$settings\\Path" 'Lumbra Exe Path')" "$(value_of "$all" "$settings\\Shell" LCID)" \
        "$(value_of "$all" "$settings\\Color" 'Source Text')" "$(value_of "$all" "$settings\\File\\MRU Source" 1)"
}
expected_configuration="C:\\MyLumbra|$standin\\lumbra.exe|0x404|0x123456|C:\\notes.txt|"
check "configuration written" equal "$(configuration)" "$expected_configuration"

# A newer build over the running control panel: it waits for the panel to end.
check "the control panel starts" start_panel "$arch"
install "$newer" &
upgrade=$!
sleep 3
check "newer build: waits while the panel runs" equal "$(entry_value "$arch" DisplayVersion)" "$version1"
close_panel
wait $upgrade
check "newer build: exit 0" test $? -eq 0
installed "$arch" "$version2"
check "newer build: configuration kept" equal "$(configuration)" "$expected_configuration"

# The update road: the installed panel offers the build the local site
# publishes, downloads and checks it, starts it and ends; the setup it
# started is clicked through.
digest=$(sha256sum "$newest" | cut -d ' ' -f 1)
python3 "$root/cpanel/tests/update_transfer_driver.py" "$WINELOADER" "$road" "$(folder_of "$arch")\\kivocp.exe" \
    "$(printf 'Z:%s' "${newest//\//\\}")" "$digest" 'C:\downloads'
check "update road: every step" test $? -eq 0
check "update road: the download is the published installer" cmp -s "$newest" "$drive_c/downloads/kivo16.exe"
check "update road: the newer build installed" equal "$(entry_value "$arch" DisplayVersion)" "$version3"
check "update road: configuration kept" equal "$(configuration)" "$expected_configuration"
check "update road: still converts" converts "$arch"

if [ -f "$other" ] && [ "$arch" = 64 ] && kivo_wine_starts 32; then
    # Both architectures side by side: one configuration, two registrations.
    install "$other"
    check "side by side: 32-bit install exit 0" test $? -eq 0
    installed 32 "$version1"
    check "side by side: the 64-bit one still registered" \
        equal "$(reg_value 64 "HKLM\\Software\\Classes\\CLSID\\$clsid\\InprocServer32" '')" "$(folder_of 64)\\kivo.ocx"
    check "side by side: configuration kept" equal "$(configuration)" "$expected_configuration"
    uninstall 32
    removed 32 "side by side"
    check "side by side: the ProgID kept for the 64-bit control" equal "$(progid)" "$clsid"
    check "side by side: the 64-bit one still converts" converts 64
    check "side by side: App/Path now names the 64-bit panel" \
        equal "$(reg_value 32 "$settings\\App" Path)" "$(folder_of 64)\\kivocp.exe"
elif [ -n "$other" ]; then
    echo "side by side: skipped ($other missing, or 32-bit Wine does not start here)"
fi

user_cache() { find "$drive_c/users" -path '*/Perdix/KIVO/Cache/*.wac' 2>/dev/null; }
check "the conversions filled the user's library cache" test -n "$(user_cache)"

# An uninstall with the control panel running waits for it to end.
check "the control panel starts again" start_panel "$arch"
wine "$(folder_of "$arch")\\uninstall.exe" /S >/dev/null 2>&1
sleep 3
check "uninstall: waits while the panel runs" test -e "$(unix_path "$(folder_of "$arch")")/kivo.ocx"
close_panel
uninstall "$arch"
removed "$arch" "uninstall"
check "uninstall: ProgID removed" test -z "$(progid)"
check "uninstall: App/Path removed" test -z "$(reg_value 32 "$settings\\App" Path)"
check "uninstall: configuration kept" equal "$(configuration)" "$expected_configuration"
check "uninstall: the stand-in Lumbra kept" test -f "$(unix_path "$standin")/config/wag2b.ini"
check "uninstall: the user's library cache removed" test -z "$(user_cache)" -a -z "$(find "$drive_c/users" -path '*/Perdix/KIVO/Cache')"

if [ "$arch" = 64 ]; then
    # A control that does not register: said, and a first install leaves nothing.
    printf 'not a control' >"$work/kivo.ocx"
    sh "$make_installer" -DKIVO_FAST "-DKIVO_OCX=$work/kivo.ocx" "-DKIVO_OUTFILE=$work/broken.exe" >/dev/null || exit 1
    install "$work/broken.exe"
    check "control fails to register: failure status" test $? -ne 0
    removed "$arch" "control fails to register"

    # A file in the way of the installation: said, and nothing left behind.
    mkdir -p "$drive_c/Target/kivocp.exe"
    install "$installer" '/D=C:\Target'
    check "unwritable file: failure status" test $? -ne 0
    check "unwritable file: no control left" test ! -e "$drive_c/Target/kivo.ocx"
    check "unwritable file: no entry" test -z "$(entry_value "$arch" DisplayName)"
    check "unwritable file: nothing registered" test -z "$(progid)"
fi

# Uninstalled on request with the settings: the configuration and what
# setup wrote of the stand-in go; a library the user added to the stand-in
# stays, and so does the user's own Lumbra.
install "$installer"
check "reinstall: exit 0" test $? -eq 0
check "reinstall: the user's Lumbra kept" equal "$(reg_value 32 "$settings\\Path" 'Lumbra Root Folder')" 'C:\MyLumbra'
standin_unix=$(unix_path "$standin")
printf 'mine\r\n' >"$standin_unix/ctwa/custbig/mine.txt"
uninstall "$arch" /PURGE
removed "$arch" "purge"
check "purge: settings removed" no_key 32 "$settings"
check "purge: the user's settings removed" no_key 32 'HKCU\software\Perdix\KIVO\1.5'
check "purge: the stand-in's program and data removed" \
    test ! -e "$standin_unix/lumbra.exe" -a ! -e "$standin_unix/config" -a ! -e "$standin_unix/ctwa/basebig.txt" \
    -a ! -e "$standin_unix/ctwa/cfbig"
check "purge: a library the user added to the stand-in kept" \
    equal "$(cat "$standin_unix/ctwa/custbig/mine.txt" 2>/dev/null)" $'mine\r'
check "purge: the user's Lumbra kept" test -f "$drive_c/MyLumbra/config/wag2b.ini"

# A Lumbra of the user's where the stand-in would go, and KIVO installed
# into a folder of the user's own that has a "temp" of its own: setup writes
# nothing into that Lumbra and does not configure it, and uninstalling with
# /PURGE takes from "temp" only what the programs leave there.
tools=$drive_c/Tools
mkdir -p "$tools/temp/mine" "$drive_c/Lumbra/config"
printf 'vendor' >"$drive_c/Lumbra/lumbra.exe"
printf '[edited by the user]\r\n' >"$drive_c/Lumbra/config/wag2b.ini"
printf 'notes' >"$tools/temp/notes.txt"
printf 'kept' >"$tools/temp/mine/temp0.tmp"
install "$installer" '/D=C:\Tools'
check "beside a Lumbra: exit 0" test $? -eq 0
check "beside a Lumbra: its catalogue untouched" \
    equal "$(cat "$drive_c/Lumbra/config/wag2b.ini")" $'[edited by the user]\r'
check "beside a Lumbra: its program untouched" equal "$(cat "$drive_c/Lumbra/lumbra.exe")" vendor
check "beside a Lumbra: no stand-in data written" test ! -e "$drive_c/Lumbra/ctwa" -a ! -e "$drive_c/Lumbra/config/wab2g.ini"
check "beside a Lumbra: nothing recorded as setup's" \
    equal "$(reg_value 32 "$settings\\Setup" 'Lumbra Stand-in')$(reg_value 32 "$settings\\Path" 'Lumbra Root Folder')" ''
for f in a.tps B.TPS kivo16.exe.download temp0.tmp temp12.tmp; do printf 'x' >"$tools/temp/$f"; done
wine 'C:\Tools\uninstall.exe' /S /PURGE >/dev/null 2>&1
for _ in $(seq 1 120); do
    [ -z "$(entry_value "$arch" DisplayName)" ] && [ ! -e "$tools/kivo.ocx" ] && break
    sleep 0.5
done
check "own folder: uninstalled" test ! -e "$tools/kivo.ocx" -a ! -e "$tools/uninstall.exe"
check "own folder: the programs' files gone from temp" \
    test -z "$(cd "$tools/temp" && ls -d a.tps B.TPS kivo16.exe.download temp0.tmp temp12.tmp 2>/dev/null)"
check "own folder: the user's files in temp kept" \
    test "$(cat "$tools/temp/notes.txt")$(cat "$tools/temp/mine/temp0.tmp")" = noteskept
check "own folder: the Lumbra there kept" \
    equal "$(cat "$drive_c/Lumbra/config/wag2b.ini" "$drive_c/Lumbra/lumbra.exe")" $'[edited by the user]\r\nvendor'

echo "installer ($arch-bit): $passed passed, $failed failed"
if [ "$failed" -eq 0 ]; then
    finish
    rm -rf "$prefix"
fi
[ "$failed" -eq 0 ]
