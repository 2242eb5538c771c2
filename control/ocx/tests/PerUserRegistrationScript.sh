#!/usr/bin/env bash
# "regsvr32 /n /i:user" as a standard user runs it: the control lands under
# HKEY_CURRENT_USER\Software\Classes and nowhere else, a JScript client under
# cscript creates it by ProgID, and "/u /n /i:user" removes exactly that.
#   PerUserRegistrationScript.sh WINERUN OCX LUMBRA_DATA JS
# Where the platform's COM reads only the machine's classes (Wine's does;
# Windows 2000 and later merge the user's into HKEY_CLASSES_ROOT) a script
# host cannot find a per-user class at all, and the client's step says so
# instead of failing; the registry steps are checked everywhere.
set -uo pipefail
winerun=$1
ocx=Z:${2//\//\\}
lumbra=Z:${3//\//\\}
js=Z:${4//\//\\}
clsid='{945D922E-A5D1-4CB1-8D67-BED0263190A0}'
libid='{68C9D6DE-4B7E-44A3-BAE9-50E3D93BABBF}'
user='HKCU\Software\Classes'
failed=0
fail() { echo "FAILED: $1"; failed=1; }
has() { "$winerun" reg query "$1" >/dev/null 2>&1; }

"$winerun" reg add 'HKLM\software\Perdix\KIVO\1.5\Path' /v 'Lumbra Root Folder' /d "$lumbra" /f /reg:32 >/dev/null || exit 1
"$winerun" regsvr32 /s /u "$ocx"
"$winerun" regsvr32 /s /n /i:user "$ocx" || { echo "regsvr32 /n /i:user failed"; exit 1; }
for key in "CLSID\\$clsid\\InprocServer32" 'KIVO.KIVOCtrl.1\CLSID' "TypeLib\\$libid\\1.0"; do
    has "$user\\$key" || fail "per-user key $key"
done
for key in "HKLM\\Software\\Classes\\CLSID\\$clsid" 'HKLM\Software\Classes\KIVO.KIVOCtrl.1' \
           "HKLM\\Software\\Classes\\TypeLib\\$libid"; do
    has "$key" && fail "machine key $key written"
done

output=$("$winerun" cscript //nologo "$js" 2>/dev/null | tr -d '\r')
echo "$output"
if grep -qx done <<<"$output"; then
    grep -qx converted <<<"$output" || fail "the script's conversion"
elif has 'HKCR\KIVO.KIVOCtrl.1'; then
    fail "the script host did not find the control registered for the user"
else
    echo "SKIPPED: the script client; this platform's COM does not read HKEY_CURRENT_USER\\Software\\Classes"
fi

"$winerun" regsvr32 /s /u /n /i:user "$ocx" || fail "regsvr32 /u /n /i:user"
for key in "CLSID\\$clsid" 'KIVO.KIVOCtrl.1' 'KIVO.KIVOCtrl' "TypeLib\\$libid" \
           'Interface\{A2BEAFEE-52CF-42CA-9BEA-C08B1F2D4171}'; do
    has "$user\\$key" && fail "per-user key $key left behind"
done
[ "$failed" -eq 0 ] && echo "per-user registration: passed"
exit "$failed"
