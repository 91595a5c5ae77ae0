#!/usr/bin/env bash
# The bash completion of vorla-setting, driven as bash-completion drives it
# when the user presses Tab: each row is a command line and the candidates it
# must get, in a folder holding a profile, firmware images, another file and
# a subfolder. Without bash-completion it skips, or fails under CI=true
# (tests/support/missing.sh).
#
#   bash-completion.sh <completion file>
set -u
export LC_ALL=C  # the order of the candidates
completion=$1
framework=/usr/share/bash-completion/bash_completion
. "$(dirname "$0")/../support/missing.sh"
[ -f "$framework" ] || missing bash-completion bash-completion
# shellcheck source=/dev/null
source "$framework"
# shellcheck source=/dev/null
source "$completion"

folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
cd "$folder" || exit 1
mkdir games
touch racing.json image.bin IMAGE.BIN notes.txt

# The candidates for a command line, the cursor at its end: sorted, one line.
candidates() {
    COMP_LINE=$1
    COMP_POINT=${#COMP_LINE}
    COMP_WORDBREAKS=${COMP_WORDBREAKS-$' \t\n"\'><=;|&(:'}
    read -ra COMP_WORDS <<<"$COMP_LINE"
    [[ $COMP_LINE == *' ' ]] && COMP_WORDS+=('')
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
    COMPREPLY=()
    _vorla_setting vorla-setting "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
    printf '%s\n' "${COMPREPLY[@]}" | sort | paste -sd ' '
}

failed=0
# command line | candidates
while IFS='|' read -r line expected; do
    got=$(candidates "$line")
    if [ "$got" = "$expected" ]; then
        echo "PASS: '$line' -> $got"
    else
        echo "FAIL: '$line' -> '$got', expected '$expected'"
        failed=1
    fi
done <<'EOF'
vorla-setting --ap|--apply
vorla-setting --up|--upgrade
vorla-setting --s|--store
vorla-setting --i|--info
vorla-setting --apply |games racing.json
vorla-setting --upgrade |games image.bin
vorla-setting --export |IMAGE.BIN games image.bin notes.txt racing.json
vorla-setting --apply r|racing.json
EOF
exit $failed
