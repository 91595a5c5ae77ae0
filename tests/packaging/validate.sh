#!/bin/sh
# Runs a validator on a file of the desktop integration; without the
# validator it skips naming the Debian package that brings it, or fails under
# CI=true (tests/support/missing.sh).
#
#   validate.sh <tool> <Debian package> <arguments>...
tool=$1 package=$2
shift 2
. "$(dirname "$0")/../support/missing.sh"
require "$tool" "$package"
exec "$tool" "$@"
