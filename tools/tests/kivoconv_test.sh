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
# One display for the whole run: the runner would start an Xvfb of its own
# for each of the many programs otherwise.
if [ -z "${DISPLAY:-}" ]; then
    for n in $(seq 150 199); do
        [ -e "/tmp/.X$n-lock" ] && continue
        Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
        xvfb_pid=$!
        for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
        if kill -0 "$xvfb_pid" 2>/dev/null; then export DISPLAY=":$n"; break; fi
    done
fi
work=$(mktemp -d)
kivo_control_begin "$ocx" "$lumbra" || { rm -rf "$work"; exit 1; }
trap 'kivo_control_end "$ocx" unregister; rm -rf "$work"; [ -n "${xvfb_pid:-}" ] && kill "$xvfb_pid" 2>/dev/null' EXIT
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
# The Lumbra folder is the control's configuration, not a conversion's option.
run --lumbra 'Z:\tmp' gbk big5 in.txt -o none.txt >/dev/null 2>&1; check "--lumbra: exit 2" status_is $? 2
check "--lumbra: no output" test ! -e none.txt

# Not registered: one line that says how to register, and nothing written.
"$KIVO_WINE" regsvr32 /s /u "$(kivo_windows_path "$ocx")"
run gbk big5 in.txt -o unreg.txt 2>err.txt; s=$?
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
run gbk big5 in.txt -o stale.txt 2>err.txt; s=$?
check "registered file gone: exit 1" status_is $s 1
check "registered file gone: says to register again" grep -q 'register it again with: regsvr32 kivo.ocx' err.txt
check "registered file gone: one line" lines_in 1 err.txt
check "registered file gone: no output file" test ! -e stale.txt

"$KIVO_WINE" regsvr32 /s "$(kivo_windows_path "$ocx")" || { echo "regsvr32 failed"; exit 1; }

run gbk big5 missing.txt -o out.txt 2>err.txt; s=$?
check "missing input: exit 1" status_is $s 1
check "missing input: says so" grep -q 'cannot read missing.txt' err.txt
check "missing input: no output" test ! -e out.txt

run gbk big5 in.txt -o big5.txt; check "file to file: exit 0" status_is $? 0
check "file to file: Big5 text" grep -q '繁簡轉換示例' <(iconv -f CP950 -t UTF-8 big5.txt)
# The control applies the word adjustment of the Lumbra data it was pointed at.
check "word adjustment through the control: 頭髮" grep -q '頭髮' <(iconv -f CP950 -t UTF-8 big5.txt)
check "word adjustment through the control: not 頭發" bash -c '! iconv -f CP950 -t UTF-8 big5.txt | grep -q 頭發'
check "word adjustment through the control: 皇后, not 皇後" grep -q '皇后' <(iconv -f CP950 -t UTF-8 big5.txt)

run 0 1 <in.txt >piped.txt; check "pipe: exit 0" status_is $? 0
check "pipe: same as the file" cmp -s piped.txt big5.txt

run gbk utf16-simp in.txt -o u16.txt && run utf16-simp gbk u16.txt -o back.txt
check "UTF-16 and back" cmp -s back.txt in.txt
check "UTF-16LE without a byte-order mark" test "$(head -c 2 u16.txt | od -An -tx1 | tr -d ' ')" != "fffe"
check "UTF-16 is what iconv reads" cmp -s <(iconv -f UTF-16LE -t GBK u16.txt) in.txt
{ printf '\xff\xfe'; cat u16.txt; } >bom.txt
run utf16-simp gbk bom.txt -o bomback.txt; check "byte-order mark accepted" cmp -s bomback.txt in.txt
{ cat u16.txt; printf 'x'; } >odd.txt
run 3 0 odd.txt -o oddout.txt 2>err.txt; s=$?
check "odd UTF-16 input: exit 1" status_is $s 1
check "odd UTF-16 input: no output" test ! -e oddout.txt

printf 'a\0b' >zero.txt
run 0 1 zero.txt -o zout.txt 2>/dev/null; check "zero byte: exit 1" status_is $? 1
check "zero byte: no output" test ! -e zout.txt

mkdir adir
run 0 1 in.txt -o adir 2>err.txt; check "unwritable output: exit 1" status_is $? 1
check "unwritable output: says so" grep -q 'cannot write' err.txt

# Far more than one call takes: 300 copies of the sample, cut at line feeds.
for _ in $(seq 300); do cat in.txt; done >big.txt
run gbk big5 big.txt -o bigout.txt; check "long text: exit 0" status_is $? 0
for _ in $(seq 300); do cat big5.txt; done >bigexpected.txt
check "long text: the pieces join up" cmp -s bigout.txt bigexpected.txt
run gbk utf16-trad big.txt -o bigu.txt && run utf16-trad big5 bigu.txt -o bigback.txt
check "long text through UTF-16" cmp -s bigback.txt bigexpected.txt

# --- The GNU-style command line.
run --help >help.txt 2>/dev/null; check "--help: exit 0" status_is $? 0
check "--help: usage and exit statuses on standard output" grep -q 'Exit status: 0 done, 1 failure, 2 wrong command line, 3 refused by --strict' help.txt
run -h >h.txt 2>/dev/null; check "-h: the same" cmp -s h.txt help.txt
run --version >version.txt 2>/dev/null; check "--version: exit 0" status_is $? 0
check "--version: names the program" grep -q '^kivoconv ' version.txt
# Wrong command lines: exit 2, a reason and the usage line, nothing written.
while IFS='|' read -r words reason; do
    # shellcheck disable=SC2086
    run $words 2>err.txt >/dev/null; s=$?
    check "usage error ($words): exit 2" status_is $s 2
    check "usage error ($words): says $reason" grep -qF -- "$reason" err.txt
done <<'TABLE'
gbk|FROM and TO are needed
gbk klingon in.txt|unknown code klingon
--frobnicate gbk big5 in.txt|unknown option --frobnicate
gbk big5 in.txt -o|-o needs a file name
--bom gbk big5 in.txt|--bom needs a UTF-8 or UTF-16 destination
--in-place -o x.txt gbk big5 in.txt|it takes no -o
--in-place gbk big5|--in-place needs the files
--in-place gbk big5 -|--in-place cannot convert standard input
TABLE
check "usage errors: no output file" test ! -e x.txt
# Options before, between and after the operands, in each spelling of -o.
run -o opt1.txt gbk big5 in.txt && run gbk big5 --output=opt2.txt in.txt && run gbk -oopt3.txt big5 in.txt &&
    run gbk big5 in.txt --output opt4.txt
check "-o in every spelling and place" bash -c 'for f in opt1 opt2 opt3 opt4; do cmp -s $f.txt big5.txt || exit 1; done'
cp in.txt ./-dash.txt
run gbk big5 -- -dash.txt >dash.txt; check "-- ends the options" cmp -s dash.txt big5.txt

# --- Several inputs: one after the other, in order, "-" standing for standard input.
printf '\xc5\xe9' >body.txt  # Big5 體
run gbk big5 in.txt - in.txt -o three.txt <in.txt; check "three inputs: exit 0" status_is $? 0
check "three inputs: in order" cmp -s three.txt <(cat big5.txt big5.txt big5.txt)
run big5 gbk body.txt missing.txt -o partial.txt 2>/dev/null; check "a missing second input: exit 1" status_is $? 1
check "a missing second input: nothing written" test ! -e partial.txt

# --- The same file as input and output is refused by identity, whatever the spelling.
cp in.txt same.txt
ln same.txt same-link.txt
for words in "same.txt -o same.txt" "./same.txt -o same.txt" "same-link.txt -o same.txt" "- -o same.txt"; do
    # shellcheck disable=SC2086
    run gbk big5 $words <same.txt 2>err.txt; s=$?
    check "same file ($words): exit 1" status_is $s 1
    check "same file ($words): says so" grep -q 'is also the output' err.txt
done
run gbk big5 same.txt >>same.txt 2>err.txt; check "standard output appended to the input: exit 1" status_is $? 1
check "same file: the input is untouched" cmp -s same.txt in.txt

# --- UTF-8.
iconv -f GBK -t UTF-8 in.txt >in8.txt
iconv -f CP950 -t UTF-8 big5.txt >big5-8.txt
run gbk utf8-simp in.txt -o g2u.txt; check "GBK to UTF-8 is what iconv makes" cmp -s g2u.txt in8.txt
run utf8-simp gbk <in8.txt >u2g.txt; check "UTF-8 to GBK, piped" cmp -s u2g.txt in.txt
run utf8-simp utf8-trad in8.txt -o u2u.txt; check "UTF-8 simplified to traditional, with word adjustment" cmp -s u2u.txt big5-8.txt
run utf8-trad big5 u2u.txt -o u2b.txt; check "UTF-8 traditional to Big5" cmp -s u2b.txt big5.txt
run utf8-simp utf16-trad in8.txt -o u2w.txt; check "UTF-8 to UTF-16" cmp -s <(iconv -f UTF-16LE -t UTF-8 u2w.txt) big5-8.txt
{ printf '\xef\xbb\xbf'; cat in8.txt; } >bom8.txt
run utf8-simp utf8-trad bom8.txt -o bomout.txt; check "a UTF-8 byte-order mark is dropped" cmp -s bomout.txt big5-8.txt
run --bom utf8-simp utf8-trad bom8.txt -o bomout.txt; check "--bom writes one (UTF-8)" cmp -s bomout.txt <(printf '\xef\xbb\xbf'; cat big5-8.txt)
run --bom gbk utf16-trad in.txt in.txt -o bom16.txt && run gbk utf16-trad in.txt -o w16.txt
check "--bom writes one (UTF-16LE), once for all inputs" cmp -s bom16.txt <(printf '\xff\xfe'; cat w16.txt w16.txt)
# Line endings and every other byte as they are: CR LF, a lone CR, no final line feed.
printf 'a\r\n头发\rb\n\n头发' >eol.txt
run utf8-simp utf8-trad eol.txt -o eolout.txt
check "line endings kept" cmp -s eolout.txt <(printf 'a\r\n頭髮\rb\n\n頭髮')
# A character split between two reads of a pipe.
(printf '\xe5'; sleep 1; printf '\xa4\xb4\xe5\x8f'; sleep 1; printf '\x91\n') | run utf8-simp utf8-trad >split.txt
check "a character split between reads" cmp -s split.txt <(printf '頭髮\n')
# Invalid UTF-8: the offset of the first bad byte, and nothing written.
while IFS='|' read -r bytes offset; do
    printf "$bytes" >bad8.txt
    run utf8-simp big5 bad8.txt -o bad8out.txt 2>err.txt; s=$?
    check "invalid UTF-8 ($bytes): exit 1" status_is $s 1
    check "invalid UTF-8 ($bytes): offset $offset" grep -q "not UTF-8.*offset $offset\b" err.txt
    check "invalid UTF-8 ($bytes): nothing written" test ! -e bad8out.txt
done <<'TABLE'
ab\xffcd|2
\xe5\xa4\xb4\x80|3
\xc0\xaf|0
\xed\xa0\x80|1
\xf4\x90\x80\x80|1
\xef\xbb\xbfab\xe5\xa4|7
TABLE
# A long UTF-8 text goes over in many calls, and comes back.
for _ in $(seq 200); do cat in8.txt; done >big8.txt
run utf8-simp utf8-trad big8.txt -o big8out.txt && run utf8-trad utf16-trad big8out.txt -o big8w.txt
check "long UTF-8 text" cmp -s big8out.txt <(for _ in $(seq 200); do cat big5-8.txt; done)
check "long UTF-8 text into UTF-16" cmp -s <(iconv -f UTF-16LE -t UTF-8 big8w.txt) big8out.txt

# --- What had no counterpart: counted on standard error; --strict refuses.
# GBK Ж, あ, Ж and a white square of the text's own: three became the square.
printf '\xa7\xa8\xa4\xa2\xa7\xa8\xa1\xf5' >nomatch.txt
run gbk big5 nomatch.txt -o nomatch-big5.txt 2>err.txt; s=$?
check "unmapped: exit 0" status_is $s 0
check "unmapped: counted" grep -qx 'kivoconv: 3 characters have no counterpart in Big5 and became □' <(tr -d '\r' <err.txt)
check "unmapped: written as squares" cmp -s nomatch-big5.txt <(printf '\xa1\xbc\xa1\xbc\xa1\xbc\xa1\xbc')
run gbk big5 in.txt -o /dev/null 2>err.txt; check "nothing unmapped: nothing said" lines_in 0 err.txt
run --strict gbk big5 nomatch.txt -o strict.txt 2>err.txt; s=$?
check "--strict: exit 3" status_is $s 3
check "--strict: counted" grep -q '3 characters have no counterpart in Big5' err.txt
check "--strict: nothing written" test ! -e strict.txt
run --strict gbk big5 <nomatch.txt >strict-piped.txt 2>/dev/null
check "--strict, piped: nothing on standard output" test ! -s strict-piped.txt
run --strict gbk big5 in.txt -o strict-ok.txt; check "--strict with everything mapped: exit 0" status_is $? 0
# A Hangul syllable is outside GBK: a UTF-8 source turns it into "?".
printf '头\xed\x95\x9c?' >hangul.txt
run utf8-simp gbk hangul.txt -o hangul-gbk.txt 2>err.txt
check "outside the source's code page: counted" grep -qx 'kivoconv: 1 character has no counterpart in GBK and became ?' <(tr -d '\r' <err.txt)

# --- In place: each file through a temporary file of its own folder.
cp in.txt ip1.txt; cp in.txt ip2.txt
run --in-place gbk big5 ip1.txt ip2.txt; check "--in-place: exit 0" status_is $? 0
check "--in-place: both converted" bash -c 'cmp -s ip1.txt big5.txt && cmp -s ip2.txt big5.txt'
check "--in-place: no temporary file left" test -z "$(ls | grep -i '\.tmp$')"
cp in.txt ip3.txt
run --in-place gbk big5 ip3.txt ./ip3.txt 2>err.txt; check "--in-place, one file named twice: exit 1" status_is $? 1
check "--in-place, one file named twice: untouched" cmp -s ip3.txt in.txt
cp in8.txt ip4.txt; cp bad8.txt ip5.txt
run --in-place utf8-simp utf8-trad ip4.txt ip5.txt 2>/dev/null; check "--in-place, a bad second file: exit 1" status_is $? 1
check "--in-place, a bad second file: the first untouched too" cmp -s ip4.txt in8.txt
cp nomatch.txt ip6.txt
run --in-place --strict gbk big5 ip6.txt 2>/dev/null; check "--in-place --strict: exit 3" status_is $? 3
check "--in-place --strict: untouched" cmp -s ip6.txt nomatch.txt
# A failure half-way through writing: the file-size limit stops the
# temporary file at 64 KB of its some 300 KB, as a full disk would.
cp big.txt ip7.txt
(ulimit -f 64; trap '' XFSZ; run --in-place gbk big5 ip7.txt) 2>err.txt; s=$?
check "--in-place, failing half-way: exit 1" status_is $s 1
check "--in-place, failing half-way: says the file is as it was" grep -q 'cannot write ip7.txt.*it is as it was' err.txt
check "--in-place, failing half-way: the original intact" cmp -s ip7.txt big.txt
check "--in-place, failing half-way: no temporary file left" test -z "$(ls | grep -i '\.tmp$')"

# --- On a console (a terminal, which Wine's console writes to) a Unicode
# output arrives as characters: UTF-16LE bytes written as bytes would not.
LANG=C.UTF-8 script -qec "'$winerun' '$conv' gbk utf16-trad in.txt" /dev/null >console.txt 2>&1
check "console: UTF-16 output shown as characters" grep -q '繁簡轉換示例' console.txt

# --- Registered for the user alone (regsvr32 /n /i:user): kivoconv finds it.
"$KIVO_WINE" regsvr32 /s /u "$(kivo_windows_path "$ocx")"
"$KIVO_WINE" regsvr32 /s /n /i:user "$(kivo_windows_path "$ocx")"
run gbk big5 in.txt -o peruser.txt 2>err.txt; check "registered for the user: exit 0" status_is $? 0
check "registered for the user: converted" cmp -s peruser.txt big5.txt
"$KIVO_WINE" regsvr32 /s /u /n /i:user "$(kivo_windows_path "$ocx")"
run gbk big5 in.txt -o peruser2.txt 2>err.txt; check "unregistered for the user: exit 1" status_is $? 1
check "unregistered for the user: says so" grep -q 'not registered' err.txt

echo "kivoconv: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
