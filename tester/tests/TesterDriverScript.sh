#!/usr/bin/env bash
# Works kivotester.exe from the driver program: first with the control
# registered (regsvr32) and pointed at the stand-in Lumbra data, then
# registered for the user alone (regsvr32 /n /i:user), then with it
# unregistered again, which is also how the prefix is left for other tests.
#   TesterDriverScript.sh WINERUN OCX LUMBRA_DATA DRIVER ARTEFACTS
set -uo pipefail
winerun=$1
ocx=Z:${2//\//\\}
lumbra=Z:${3//\//\\}
driver=$4
mkdir -p "$5"
export KIVO_ARTEFACTS=Z:${5//\//\\}

"$winerun" reg add 'HKLM\software\Perdix\KIVO\1.5\Path' /v 'Lumbra Root Folder' /d "$lumbra" /f /reg:32 >/dev/null || exit 1
"$winerun" regsvr32 /s "$ocx" || { echo "regsvr32 failed"; exit 1; }
"$winerun" "$driver" --gtest_filter='HostedTester.*'
hosted=$?
"$winerun" regsvr32 /s /u "$ocx" || { echo "regsvr32 /u failed"; exit 1; }
"$winerun" regsvr32 /s /n /i:user "$ocx" || { echo "regsvr32 /n /i:user failed"; exit 1; }
"$winerun" "$driver" --gtest_filter='HostedTester.EditAreaTransfers*:HostedTester.ClipboardTransfers*'
per_user=$?
"$winerun" regsvr32 /s /u /n /i:user "$ocx" || { echo "regsvr32 /u /n /i:user failed"; exit 1; }
"$winerun" "$driver" --gtest_filter='*UnregisteredTester*'
unregistered=$?
[ "$hosted" -eq 0 ] && [ "$per_user" -eq 0 ] && [ "$unregistered" -eq 0 ]
