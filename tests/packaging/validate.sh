#!/bin/sh
# Runs a validator on a file of the desktop integration, or skips (status 77,
# which CTest reports as skipped) naming the Debian package that brings it.
#
#   validate.sh <tool> <Debian package> <arguments>...
tool=$1 package=$2
shift 2
if ! command -v "$tool" >/dev/null 2>&1; then
    echo "SKIPPED: $tool is not installed (Debian package $package; scripts/run-tests.sh installs it)"
    exit 77
fi
exec "$tool" "$@"
