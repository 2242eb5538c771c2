#!/usr/bin/env bash
# kivocrypt from a shell, as a data generator runs it: both directions,
# names and keys, refusals, exit codes, and no output left after a failure.
#   kivocrypt_test.sh PATH-TO-kivocrypt SAMPLE-FILE          (native)
#   kivocrypt_test.sh WINERUN PATH-TO-kivocrypt.exe SAMPLE-FILE
# WINERUN is the Windows build tree's Wine runner.
set -u
winerun=
[ $# -eq 3 ] && { winerun=$1; shift; }
crypt=$(realpath "$1")
sample=$(realpath "$2")
if [ -n "$winerun" ]; then
    run() { "$winerun" "$crypt" "$@"; }
else
    run() { "$crypt" "$@"; }
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1
cp "$sample" plain.txt

passed=0 failed=0
check() {  # check NAME CONDITION...
    local name=$1
    shift
    if "$@"; then passed=$((passed + 1)); else failed=$((failed + 1)); echo "FAILED: $name"; fi
}
status_is() { [ "$1" -eq "$2" ]; }
only_files() { [ "$(ls -A | sort | tr '\n' ' ')" = "$1" ]; }

# Usage errors.
run >/dev/null 2>err.txt; s=$?
check "no arguments: exit 2" status_is $s 2
check "no arguments: usage line" grep -q '^usage: kivocrypt' err.txt
run scramble plain.txt lib.txt >/dev/null 2>&1; check "unknown command: exit 2" status_is $? 2
run encipher plain.txt >/dev/null 2>&1; check "one path: exit 2" status_is $? 2
run encipher a b c >/dev/null 2>&1; check "three paths: exit 2" status_is $? 2
run encipher plain.txt lib.txt --name >/dev/null 2>&1; check "--name without a value: exit 2" status_is $? 2
run encipher plain.txt lib.txt --name a --name b >/dev/null 2>&1; check "--name twice: exit 2" status_is $? 2
run encipher plain.txt lib.txt --key x >/dev/null 2>&1; check "unknown option: exit 2" status_is $? 2
check "usage errors: no output" test ! -e lib.txt

# Round trips; the key follows the library's name, in any case.
run encipher plain.txt BASEBIG.TXT; check "encipher: exit 0" status_is $? 0
check "encipher: two signatures more" test "$(wc -c <BASEBIG.TXT)" -eq $(($(wc -c <plain.txt) + 64))
check "encipher: not the plain text" test -n "$(cmp -s BASEBIG.TXT plain.txt || echo differs)"
run decipher BASEBIG.TXT back.txt; check "decipher: exit 0" status_is $? 0
check "decipher: the plain text" cmp -s back.txt plain.txt
run decipher BASEBIG.TXT back2.txt --name=basebig.txt; check "decipher, name in lower case: exit 0" status_is $? 0
check "decipher, name in lower case: the plain text" cmp -s back2.txt plain.txt
mkdir sub
run encipher plain.txt sub/other.dat --name basebig.txt
check "--name: same key as the default name" cmp -s sub/other.dat BASEBIG.TXT
: >empty.txt
run encipher empty.txt empty.lib && run decipher empty.lib empty.back
check "empty file round trip" test -e empty.back -a ! -s empty.back
check "round trips: no temporary files" only_files "BASEBIG.TXT back.txt back2.txt empty.back empty.lib empty.txt err.txt plain.txt sub "

# Wrong key: refused, nothing written, an existing output kept.
echo keep >out.txt
run decipher BASEBIG.TXT out.txt --name basegb.txt 2>err.txt; s=$?
check "wrong name: exit 1" status_is $s 1
check "wrong name: says so" grep -q 'cannot be Correctly Decrypted' err.txt
check "wrong name: one line" test "$(wc -l <err.txt)" -eq 1
check "wrong name: output kept" test "$(cat out.txt)" = keep
run decipher plain.txt out2.txt 2>/dev/null; check "plain file deciphered: exit 1" status_is $? 1
check "plain file deciphered: no output" test ! -e out2.txt

# Missing input and one file for both sides.
run decipher missing.lib out3.txt 2>err.txt; s=$?
check "missing input: exit 1" status_is $s 1
check "missing input: says so" grep -q 'cannot read missing.lib' err.txt
check "missing input: no output" test ! -e out3.txt
cp plain.txt same.txt
run encipher same.txt ./sub/../same.txt 2>err.txt; s=$?
check "same file: exit 1" status_is $s 1
check "same file: says so" grep -q 'same file' err.txt
check "same file: kept" cmp -s same.txt plain.txt
case "$crypt" in
    *.exe)  # Windows names are one file in any case.
        run encipher same.txt SAME.TXT 2>/dev/null; check "same file, other case: exit 1" status_is $? 1
        check "same file, other case: kept" cmp -s same.txt plain.txt ;;
esac
run encipher plain.txt nofolder/lib.txt 2>/dev/null; check "unwritable output: exit 1" status_is $? 1
check "failures: no temporary files" only_files "BASEBIG.TXT back.txt back2.txt empty.back empty.lib empty.txt err.txt out.txt plain.txt same.txt sub "

echo "kivocrypt: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
