#!/usr/bin/env bash
# The install step against a package mirror that misbehaves as real ones do:
# a stand-in apt-get and dpkg on the PATH record what they are asked and
# fail the way a mirror in the middle of a sync made the real ones fail.
#   install_packages_test.sh PATH-TO-install-packages.sh
set -u
script=$(realpath "$1")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/bin" "$work/have"

# APT_MODE says how the stand-in fails: "flaky-update" (every update fails on
# one index), "no-wine32" (wine32:i386 cannot be installed), "no-required"
# (a required package cannot be installed). The log has one line a call.
cat >"$work/bin/apt-get" <<'EOF'
#!/usr/bin/env bash
echo "apt-get $*" >>"$APT_LOG"
for a in "$@"; do
    case $a in
        update)
            echo "Err:6 http://mirror/debian-security bookworm-security/main i386 Packages"
            echo "  File has unexpected size (374820 != 376004). Mirror sync in progress?"
            echo "E: Some index files failed to download. They have been ignored, or old ones used instead." >&2
            exit 100 ;;
        install) break ;;
    esac
done
for a in "$@"; do
    case $a in
        wine32:i386)
            echo "The following packages have unmet dependencies:"
            echo " libcurl4:i386 : Depends: libbrotli1:i386 (>= 0.6.0) but it is not going to be installed"
            echo "E: Unable to correct problems, you have held broken packages." >&2
            exit 100 ;;
        nsis)
            if [ "$APT_MODE" = no-required ]; then
                echo "E: Unable to locate package nsis" >&2
                exit 100
            fi ;;
    esac
done
for a in "$@"; do
    case $a in -*|install) ;; *) touch "$APT_HAVE/$a" ;; esac
done
exit 0
EOF
cat >"$work/bin/dpkg" <<'EOF'
#!/usr/bin/env bash
echo "dpkg $*" >>"$APT_LOG"
[ "$1" = --print-foreign-architectures ] && cat "$APT_HAVE/.archs" 2>/dev/null
[ "$1" = --add-architecture ] && echo "$2" >>"$APT_HAVE/.archs"
exit 0
EOF
cat >"$work/bin/id" <<'EOF'
#!/usr/bin/env bash
echo 0
EOF
chmod +x "$work/bin/"*
export PATH="$work/bin:$PATH" APT_LOG="$work/log" APT_HAVE="$work/have" KIVO_APT_RETRY_PAUSE=0

passed=0 failed=0
check() {  # check NAME CONDITION...
    local name=$1
    shift
    if "$@"; then passed=$((passed + 1)); else failed=$((failed + 1)); echo "FAILED: $name"; fi
}
installed() { [ -e "$work/have/$1" ]; }
logged() { grep -qE -- "$1" "$work/log"; }
count_is() { [ "$(grep -cE -- "$1" "$work/log")" -eq "$2" ]; }
out_has() { grep -qF -- "$1" "$work/out"; }

# The package list as ./run gives it: two required ones present, three
# missing, and the 32-bit Wine missing.
touch "$work/have/cmake"
entries=(
    "cmake $work/have/cmake"
    "wine64 $work/have/wine64"
    "nsis $work/have/nsis"
    "xdotool $work/have/xdotool"
    "wine32:i386 $work/have/wine32:i386"
)
attempt() {  # attempt MODE: the install step in a shell of its own, as ./run sources it
    rm -f "$work/log" "$work/have/.archs"
    find "$work/have" -type f ! -name cmake -delete
    APT_MODE=$1 bash -c '. "$1"; shift; kivo_install_packages "$@"; s=$?
        echo "status=$s unavailable=$kivo_optional_unavailable"; exit $s' _ "$script" "${entries[@]}" >"$work/out" 2>&1
}

# A flaky mirror and a 32-bit Wine that cannot be had: the run goes on.
attempt no-wine32; s=$?
check "flaky mirror: the install step succeeds" [ $s -eq 0 ]
check "the update is tried three times" count_is '^apt-get .*update' 3
check "the update retries its downloads too" logged 'Acquire::Retries=3 update'
check "the failed update is reported in apt's words" out_has 'Mirror sync in progress?'
check "the required packages are installed" installed wine64
check "every missing required package" installed xdotool
check "a present package is not asked for again" sh -c "! grep -q 'install.* cmake' '$work/log'"
check "the required packages go in one install without wine32" \
    logged '^apt-get .*install -y --no-install-recommends wine64 nsis xdotool$'
check "the i386 architecture is added for wine32" logged '^dpkg --add-architecture i386'
check "wine32 is tried in a step of its own" logged '^apt-get .*install -y --no-install-recommends wine32:i386$'
check "wine32 is reported unavailable in one line, with apt's reason" \
    sh -c "[ \$(grep -c 'wine32:i386 cannot be installed here (libcurl4:i386 : Depends' '$work/out') -eq 1 ]"
check "the run is told of the 64-bit road" out_has 'the run takes the 64-bit road'
check "the caller learns why" out_has 'unavailable=libcurl4:i386 : Depends'

# A required package that cannot be installed stops the run with apt's message.
attempt no-required; s=$?
check "a required package missing: the step fails" [ $s -ne 0 ]
check "apt's message is shown" out_has 'Unable to locate package nsis'
check "the run says what could not be installed" out_has 'could not be installed: wine64 nsis xdotool'
check "no 32-bit attempt after a required failure" sh -c "! grep -q 'install.*wine32' '$work/log'"

# Told not to try the 32-bit Wine again, the step neither adds i386 nor asks for it.
rm -f "$work/log"
APT_MODE=flaky-update kivo_skip_optional=1 bash -c '. "$1"; shift; kivo_install_packages "$@"' _ "$script" \
    "${entries[@]}" >"$work/out" 2>&1; s=$?
check "skipping the optional package: success" [ $s -eq 0 ]
check "skipping the optional package: not asked for" sh -c "! grep -q 'wine32\|add-architecture' '$work/log'"

# Nothing missing: apt is not called at all.
touch "$work/have/wine64" "$work/have/nsis" "$work/have/xdotool" "$work/have/wine32:i386"
rm -f "$work/log"
bash -c '. "$1"; shift; kivo_install_packages "$@"' _ "$script" "${entries[@]}" >"$work/out" 2>&1; s=$?
check "nothing missing: success without apt" sh -c "[ $s -eq 0 ] && [ ! -e '$work/log' ]"

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
