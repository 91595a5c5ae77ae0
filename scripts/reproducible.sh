# Sourced by the scripts that make release artifacts: the same commit gives
# the same bytes, whoever builds it, wherever and whenever.
#   vorla_reproducible TOP   exports SOURCE_DATE_EPOCH (unless it is set) and
#                            sets the umask and time zone that files are packed with
# The time is the last commit's; in an unpacked source tarball without .git,
# the time git archive gave its files, CHANGELOG.md's among them.

vorla_reproducible() {
    local top="$1"
    if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
        SOURCE_DATE_EPOCH="$(git -C "$top" log -1 --format=%ct 2>/dev/null || stat -c %Y "$top/CHANGELOG.md")"
        export SOURCE_DATE_EPOCH
    fi
    # File modes in the packages do not follow the builder's umask, nor the
    # zip's dates (DOS dates, in local time) the builder's time zone.
    umask 022
    export TZ=UTC
}
