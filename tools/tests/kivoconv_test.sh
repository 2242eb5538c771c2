#!/usr/bin/env bash
# kivoconv from a shell, as a user runs it: arguments, files, pipes, exit
# codes, and the registered control doing the conversion. The control is
# registered (and pointed at the stand-in Lumbra data) for the run and left
# unregistered afterwards, as the other tests expect to find it.
#   kivoconv_test.sh WINERUN PATH-TO-kivoconv.exe SAMPLE-GBK-FILE PATH-TO-kivo.ocx LUMBRA-DATA
# WINERUN is the build tree's Wine runner.
set -u
winerun=$1
conv=$2
sample=$3
ocx=$4
lumbra=$5
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
KIVO_WINE=$winerun
. "$root/tools/control-registration.sh"
run() { "$winerun" "$conv" "$@"; }
work=$(mktemp -d)
kivo_control_begin "$ocx" "$lumbra" || { rm -rf "$work"; exit 1; }
trap 'kivo_control_end "$ocx" unregister; rm -rf "$work"' EXIT
cd "$work" || exit 1
cp "$sample" in.txt

passed=0 failed=0
check() {  # check NAME CONDITION...
    local name=$1
    shift
    if "$@"; then passed=$((passed + 1)); else failed=$((failed + 1)); echo "FAILED: $name"; fi
}
status_is() { [ "$1" -eq "$2" ]; }
# Lines of a message, leaving out what a private Xvfb's shutdown prints.
lines_in() { [ "$(grep -vc '^X connection' "$2")" -eq "$1" ]; }

run >/dev/null 2>err.txt; s=$?
check "no arguments: exit 2" status_is $s 2
check "no arguments: usage line" grep -q '^usage: kivoconv' err.txt
run gbk klingon in.txt >/dev/null 2>&1; check "unknown code: exit 2" status_is $? 2
run 0 1 a b c >/dev/null 2>&1; check "too many words: exit 2" status_is $? 2
# The Lumbra folder is the control's configuration, not a conversion's option.
run --lumbra 'Z:\tmp' gbk big5 in.txt none.txt >/dev/null 2>&1; check "--lumbra: exit 2" status_is $? 2
check "--lumbra: no output" test ! -e none.txt

# Not registered: one line that says how to register, and nothing written.
"$KIVO_WINE" regsvr32 /s /u "$(kivo_windows_path "$ocx")"
run gbk big5 in.txt unreg.txt 2>err.txt; s=$?
check "not registered: exit 1" status_is $s 1
check "not registered: says so" grep -q 'KIVO control is not registered.*regsvr32 kivo.ocx' err.txt
check "not registered: one line" lines_in 1 err.txt
check "not registered: no output file" test ! -e unreg.txt
run gbk big5 <in.txt >unreg-piped.txt 2>/dev/null; s=$?
check "not registered, piped: exit 1 and nothing on standard output" \
    test "$s" -eq 1 -a ! -s unreg-piped.txt

# Registered from a file that is gone since.
mkdir gone && cp "$ocx" gone/kivo.ocx
"$KIVO_WINE" regsvr32 /s "$(kivo_windows_path "$work/gone/kivo.ocx")"
rm -rf gone
run gbk big5 in.txt stale.txt 2>err.txt; s=$?
check "registered file gone: exit 1" status_is $s 1
check "registered file gone: says to register again" grep -q 'register it again with: regsvr32 kivo.ocx' err.txt
check "registered file gone: one line" lines_in 1 err.txt
check "registered file gone: no output file" test ! -e stale.txt

"$KIVO_WINE" regsvr32 /s "$(kivo_windows_path "$ocx")" || { echo "regsvr32 failed"; exit 1; }

run gbk big5 missing.txt out.txt 2>err.txt; s=$?
check "missing input: exit 1" status_is $s 1
check "missing input: says so" grep -q 'cannot read missing.txt' err.txt
check "missing input: no output" test ! -e out.txt

run gbk big5 in.txt big5.txt; check "file to file: exit 0" status_is $? 0
check "file to file: Big5 text" grep -q '繁簡轉換示例' <(iconv -f CP950 -t UTF-8 big5.txt)
# The control applies the word adjustment of the Lumbra data it was pointed at.
check "word adjustment through the control: 頭髮" grep -q '頭髮' <(iconv -f CP950 -t UTF-8 big5.txt)
check "word adjustment through the control: not 頭發" bash -c '! iconv -f CP950 -t UTF-8 big5.txt | grep -q 頭發'
check "word adjustment through the control: 皇后, not 皇後" grep -q '皇后' <(iconv -f CP950 -t UTF-8 big5.txt)

run 0 1 <in.txt >piped.txt; check "pipe: exit 0" status_is $? 0
check "pipe: same as the file" cmp -s piped.txt big5.txt

run gbk utf16-simp in.txt u16.txt && run utf16-simp gbk u16.txt back.txt
check "UTF-16 and back" cmp -s back.txt in.txt
check "UTF-16LE without a byte-order mark" test "$(head -c 2 u16.txt | od -An -tx1 | tr -d ' ')" != "fffe"
check "UTF-16 is what iconv reads" cmp -s <(iconv -f UTF-16LE -t GBK u16.txt) in.txt
{ printf '\xff\xfe'; cat u16.txt; } >bom.txt
run utf16-simp gbk bom.txt bomback.txt; check "byte-order mark accepted" cmp -s bomback.txt in.txt
{ cat u16.txt; printf 'x'; } >odd.txt
run 3 0 odd.txt oddout.txt 2>err.txt; s=$?
check "odd UTF-16 input: exit 1" status_is $s 1
check "odd UTF-16 input: no output" test ! -e oddout.txt

printf 'a\0b' >zero.txt
run 0 1 zero.txt zout.txt 2>/dev/null; check "zero byte: exit 1" status_is $? 1
check "zero byte: no output" test ! -e zout.txt

mkdir adir
run 0 1 in.txt adir 2>err.txt; check "unwritable output: exit 1" status_is $? 1
check "unwritable output: says so" grep -q 'cannot write' err.txt

# Far more than one call takes: 300 copies of the sample, cut at line feeds.
for _ in $(seq 300); do cat in.txt; done >big.txt
run gbk big5 big.txt bigout.txt; check "long text: exit 0" status_is $? 0
for _ in $(seq 300); do cat big5.txt; done >bigexpected.txt
check "long text: the pieces join up" cmp -s bigout.txt bigexpected.txt
run gbk utf16-trad big.txt bigu.txt && run utf16-trad big5 bigu.txt bigback.txt
check "long text through UTF-16" cmp -s bigback.txt bigexpected.txt

echo "kivoconv: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
