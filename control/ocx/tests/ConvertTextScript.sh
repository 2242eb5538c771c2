#!/usr/bin/env bash
# Registers kivo.ocx in the test prefix with regsvr32, points the control at
# the stand-in Lumbra data, runs ConvertText.vbs under cscript and
# unregisters again:  ConvertTextScript.sh WINERUN OCX LUMBRA_DATA VBS
set -uo pipefail
winerun=$1
ocx=Z:${2//\//\\}
lumbra=Z:${3//\//\\}
vbs=Z:${4//\//\\}

"$winerun" reg add 'HKLM\software\Perdix\KIVO\1.5\Path' /v 'Lumbra Root Folder' /d "$lumbra" /f /reg:32 >/dev/null || exit 1
"$winerun" regsvr32 /s "$ocx" || { echo "regsvr32 failed"; exit 1; }
output=$("$winerun" cscript //nologo "$vbs" 2>/dev/null | tr -d '\r')
status=$?
echo "$output"
# A script that stopped on an error exits 0 without its closing line.
grep -qx done <<<"$output" || { echo "the script did not run to its end"; status=1; }
"$winerun" regsvr32 /s /u "$ocx" || { echo "regsvr32 /u failed"; exit 1; }
exit "$status"
