# Sourced by ./run (and by its test): installs the Debian packages that are
# missing, as a fresh machine needs them, whatever its package mirror does.
#
#   kivo_install_packages ENTRY...   each ENTRY "name[:arch] command-or-path"
#
# A mirror in the middle of a sync now and then serves one index with the
# wrong size. apt-get update then fails as a whole, although every other
# index arrived; so the update is retried and its failure is not fatal by
# itself: the install that follows tells whether what we need is there.
#
# The 32-bit Wine is the one package we can do without: where it cannot be
# installed (its i386 libraries out of step with their amd64 twins, say), the
# run takes the 64-bit road, as on a machine that cannot execute it. It is
# installed in a step of its own, after the required ones, and its failure
# is one line of output. Any other package that does not install stops the
# run with apt's message.
#
# After the call, kivo_optional_unavailable holds apt's reason when the
# 32-bit Wine was wanted and could not be installed (empty otherwise); with
# kivo_skip_optional=1 it is not tried at all. KIVO_APT_UPDATE_TRIES sets how
# often the update is tried (3).

kivo_optional_package='wine32:i386'
kivo_optional_unavailable=
kivo_skip_optional=${kivo_skip_optional:-}

kivo_apt() {
    DEBIAN_FRONTEND=noninteractive apt-get -q -o Acquire::Retries=3 "$@"
}

kivo_apt_update() {
    local try tries=${KIVO_APT_UPDATE_TRIES:-3} out
    for try in $(seq 1 "$tries"); do
        if out=$(kivo_apt update 2>&1); then
            return 0
        fi
        [ "$try" -lt "$tries" ] && sleep "${KIVO_APT_RETRY_PAUSE:-2}"
    done
    # What failed, in apt's words; the install step decides whether it matters.
    printf 'install: apt-get update failed %s times; going on with the indexes that arrived:\n' "$tries" >&2
    printf '%s\n' "$out" | grep -A1 -E '^(Err|E|W):' | grep -v '^--$' | head -n 6 | sed 's/^/    /' >&2
    return 0
}

# apt's reason in one short line: its first error, or the first unmet dependency.
kivo_apt_reason() {
    local line
    line=$(printf '%s\n' "$1" | grep -m1 -E ' : Depends: |^E: ' || true)
    [ -n "$line" ] || line=$(printf '%s\n' "$1" | tail -n 1)
    line=$(printf '%s' "$line" | sed -e 's/^ *//' -e 's/^E: //')
    [ ${#line} -gt 160 ] && line="${line:0:157}..."
    printf '%s\n' "$line"
}

kivo_install_packages() {
    local entry required=() optional=() out
    kivo_optional_unavailable=
    for entry in "$@"; do
        set -- $entry
        [ -e "$2" ] && continue
        if [ "$1" = "$kivo_optional_package" ]; then
            [ -n "$kivo_skip_optional" ] || optional+=("$1")
        else
            required+=("$1")
        fi
    done
    [ ${#required[@]} -eq 0 ] && [ ${#optional[@]} -eq 0 ] && return 0
    echo "Installing: ${required[*]}${required[*]:+ }${optional[*]}"
    if [ "$(id -u)" != 0 ]; then
        echo "run: these Debian packages are missing and installing them needs root: ${required[*]} ${optional[*]}" >&2
        return 1
    fi
    if [ ${#optional[@]} -gt 0 ]; then
        dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386
    fi
    kivo_apt_update
    if [ ${#required[@]} -gt 0 ]; then
        if ! kivo_apt install -y --no-install-recommends "${required[@]}"; then
            echo "run: these Debian packages could not be installed: ${required[*]} (apt's message above)" >&2
            return 1
        fi
    fi
    if [ ${#optional[@]} -gt 0 ]; then
        if ! out=$(kivo_apt install -y --no-install-recommends "${optional[@]}" 2>&1); then
            kivo_optional_unavailable=$(kivo_apt_reason "$out")
            echo "== ${optional[*]} cannot be installed here ($kivo_optional_unavailable); the run takes the 64-bit road"
        fi
    fi
    return 0
}
