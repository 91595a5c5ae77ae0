#!/usr/bin/env bash
# Builds the fuzz targets (tests/fuzz/) with clang and libFuzzer (under
# AddressSanitizer and UndefinedBehaviorSanitizer; Qt as the distribution
# ships it) and runs each for the given time, printing its executions,
# coverage and findings:
#   scripts/fuzz.sh [SECONDS]      every target that long (default 60)
#   VORLA_FUZZ_TARGETS="profile answers" scripts/fuzz.sh 300
# Each target starts from its corpus in tests/fuzz/corpus/<target>/; what it
# finds on the way stays in build-fuzz/corpus/<target>/. A finding (a crash, a
# sanitizer report, a broken property, a leak, a hang) is minimised and kept
# in tests/fuzz/corpus/<target>/ as finding-<hash>, so that every build's
# replay fails until it is fixed; the script then ends with status 1.
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
source "$top/scripts/deps.sh"
seconds="${1:-60}"
targets="${VORLA_FUZZ_TARGETS:-profile answers commandtail simstate simevents}"

VORLA_QT_MAJOR=6 vorla_install_missing $(vorla_fuzz_packages)
cxx="${VORLA_FUZZ_CXX:-clang++-14}"

build="$top/build-fuzz"
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S "$top" -B "$build" -DVORLA_QT_MAJOR=6 -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVORLA_FUZZ=ON \
    -DVORLA_BUILD_BENCH=OFF -DCMAKE_CXX_COMPILER="$cxx" "${launcher[@]}" >/dev/null
# shellcheck disable=SC2046  # one word per target
cmake --build "$build" -j "$(nproc)" --target $(printf 'fuzz_%s ' $targets)

export ASAN_OPTIONS="abort_on_error=1:detect_leaks=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export LSAN_OPTIONS="suppressions=$top/tests/lsan.supp:print_suppressions=0"

found=0
for name in $targets; do
    program="$build/tests/fuzz/fuzz_$name"
    seeds="$top/tests/fuzz/corpus/$name"
    work="$build/corpus/$name"
    findings="$build/findings/$name"
    log="$build/fuzz-$name.log"
    mkdir -p "$work" "$findings"
    options=(-max_total_time="$seconds" -timeout=10 -print_final_stats=1 -artifact_prefix="$findings/")
    case "$name" in
        profile) options+=(-dict="$top/tests/fuzz/profile.dict" -max_len=16384) ;;
        simstate) options+=(-max_len=4096) ;;
    esac
    echo "== $name: fuzzing for $seconds s (log: $log)"
    status=0
    "$program" "${options[@]}" "$work" "$seeds" >"$log" 2>&1 || status=$?
    runs="$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)"
    last="$(grep -E '^#[0-9]+.*cov: ' "$log" | tail -n 1 || true)"
    coverage="$(sed -n 's/.* cov: \([0-9]*\) ft: \([0-9]*\) corp: \([0-9]*\).*/\1 edges, \2 features, corpus of \3 inputs/p' <<<"$last")"
    echo "   ${runs:-?} executions; coverage: ${coverage:-?}"
    artifacts=("$findings"/*)
    if [ "$status" -eq 0 ] && [ ! -e "${artifacts[0]}" ]; then
        echo "   no finding"
        continue
    fi
    found=1
    echo "   FINDING (exit status $status):"
    grep -E '^(==[0-9]+==ERROR|SUMMARY|.*check failed|.*runtime error)' "$log" | head -n 5 | sed 's/^/     /'
    for artifact in "${artifacts[@]}"; do
        [ -e "$artifact" ] || continue
        kept="$seeds/finding-$(sha1sum "$artifact" | cut -c1-12)"
        # Minimised where the fault still shows in a smaller input; else kept as it is.
        if "$program" -minimize_crash=1 -max_total_time=60 -exact_artifact_path="$kept" "$artifact" \
            >"$log.minimise" 2>&1 && [ -s "$kept" ]; then
            echo "     minimised into $kept"
        else
            cp "$artifact" "$kept"
            echo "     kept as $kept"
        fi
        rm -f "$artifact"
    done
done
exit "$found"
