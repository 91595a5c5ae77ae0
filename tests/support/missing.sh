# Sourced by the test scripts: a tool that scripts/run-tests.sh or
# scripts/deps.sh installs is missing. Outside CI the check is skipped (status
# 77, which CTest reports as skipped), saying which tool; under CI=true those
# scripts have run, so its absence is a fault and the check fails.
#   missing TOOL PACKAGE          says so and ends the script
#   require TOOL PACKAGE          missing, unless TOOL is on the PATH
missing() {
    if [ "${CI:-}" = true ]; then
        echo "FAILED: $1 is not installed (Debian package $2), and CI=true: scripts/run-tests.sh installs it"
        exit 1
    fi
    echo "SKIPPED: $1 is not installed (Debian package $2; scripts/run-tests.sh installs it)"
    exit 77
}

require() {
    command -v "$1" >/dev/null 2>&1 || missing "$1" "$2"
}
