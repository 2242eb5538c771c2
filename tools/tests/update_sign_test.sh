#!/bin/sh
# tools/update-sign on the test keys: a signed text verifies with its own
# key only; a changed byte, a cut text or a line after the signature does
# not; signing again gives the same text; a text without a final line end
# is signed whole.
#   update_sign_test.sh UPDATE-SIGN KEYS-FOLDER
set -u
sign=$1 keys=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
check() {  # check WHAT EXPECTED-STATUS COMMAND...
    what=$1 expected=$2
    shift 2
    "$@" >/dev/null 2>&1
    status=$?
    if [ "$status" -eq "$expected" ]; then echo "ok: $what"; else echo "FAILED: $what (status $status)"; failures=$((failures + 1)); fi
}

printf '; KIVO\r\nVersion = 1.6\nBuild = 2006-1-15' > "$work/info.txt"
check "signs" 0 "$sign" sign "$keys/test-only-private.pem" "$work/info.txt" "$work/signed.txt"
head -n 3 "$work/signed.txt" > "$work/body.txt"
check "the lines as they were, the last one ended" 0 \
    sh -c "{ cat '$work/info.txt'; printf '\\r\\n'; } | cmp -s - '$work/body.txt'"
check "verifies with its key" 0 "$sign" verify "$keys/test-only-public.txt" "$work/signed.txt"
check "not with another" 1 "$sign" verify "$keys/test-only-other-public.txt" "$work/signed.txt"
sed 's/1\.6/1.7/' "$work/signed.txt" > "$work/changed.txt"
check "one byte changed" 1 "$sign" verify "$keys/test-only-public.txt" "$work/changed.txt"
grep -v '^Build' "$work/signed.txt" > "$work/cut.txt"
check "a line taken out" 1 "$sign" verify "$keys/test-only-public.txt" "$work/cut.txt"
{ cat "$work/signed.txt"; printf 'URL = http://127.0.0.1:1/x.exe\r\n'; } > "$work/after.txt"
check "a line after the signature" 1 "$sign" verify "$keys/test-only-public.txt" "$work/after.txt"
check "unsigned" 1 "$sign" verify "$keys/test-only-public.txt" "$work/info.txt"
"$sign" sign "$keys/test-only-private.pem" "$work/signed.txt" "$work/again.txt" 2>/dev/null
check "signed again: the same text" 0 cmp -s "$work/signed.txt" "$work/again.txt"
check "no key overwritten" 2 "$sign" keygen "$keys/test-only-private.pem" "$work/pub.txt"

echo "$((10 - failures)) passed, $failures failed"
[ "$failures" -eq 0 ]
