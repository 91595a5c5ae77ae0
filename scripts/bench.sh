#!/usr/bin/env bash
# Builds the benchmark (bench/) for this tree and, beside it, for the commit
# before the performance work, runs both against a bare window and prints the
# table of figures (markdown). Takes a few minutes.
#
#   scripts/bench.sh [--qt 5] [--no-before] [vorla-bench options]
#
#   --qt 5        build with Qt 5 (default: what CMake finds, Qt 6 first)
#   --no-before   measure this tree only
#   vorla-bench options: --runs N (start-ups, 7), --memory-runs N (3),
#                        --stall-runs N (3), --no-massif
#
# The commit measured as "before" is VORLA_BENCH_BEFORE (default 1ab180b); its
# sources are taken with git archive into the build directory, given this
# tree's bench/, and built there once. Without a display the start-ups on xcb
# run on an Xvfb of their own.
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
source "$top/scripts/deps.sh"
vorla_install_missing valgrind git

qt=""
with_before=1
args=()
while [ $# -gt 0 ]; do
    case "$1" in
        --qt) qt="$2"; shift 2 ;;
        --no-before) with_before=0; shift ;;
        *) args+=("$1"); shift ;;
    esac
done
before_commit="${VORLA_BENCH_BEFORE:-1ab180b}"
jobs="$(nproc)"
command -v ccache >/dev/null && export CMAKE_CXX_COMPILER_LAUNCHER="${CMAKE_CXX_COMPILER_LAUNCHER:-ccache}"

configure_and_build() { # <source> <build>
    cmake -S "$1" -B "$2" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVORLA_BUILD_TESTS=OFF \
          ${qt:+-DVORLA_QT_MAJOR=$qt} >/dev/null
    cmake --build "$2" --target vorla-bench vorla-bench-bare -j "$jobs" >/dev/null
}

build="$top/build-bench${qt:+-q$qt}"
echo "Building the benchmark in $build ..." >&2
configure_and_build "$top" "$build"

if [ "$with_before" = 1 ]; then
    commit="$(git -C "$top" rev-parse --short "$before_commit")"
    source_dir="$build/before/src-$commit"
    if [ ! -f "$source_dir/.complete" ]; then
        rm -rf "$build/before"
        mkdir -p "$source_dir"
        git -C "$top" archive "$commit" | tar -x -C "$source_dir"
        touch "$source_dir/.complete"
    fi
    # The same benchmark, on the code from before.
    rm -rf "$source_dir/bench"
    cp -r "$top/bench" "$source_dir/bench"
    grep -q 'add_subdirectory(bench)' "$source_dir/CMakeLists.txt" \
        || printf '\nadd_subdirectory(bench)\n' >>"$source_dir/CMakeLists.txt"
    echo "Building it on $commit (before) ..." >&2
    configure_and_build "$source_dir" "$build/before/build"
    args+=(--before "$build/before/build/bench" --note "before: $commit")
fi

xvfb=""
cleanup() { [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null || true; rm -f "${display_file:-}"; }
trap cleanup EXIT
if [ -z "${DISPLAY:-}" ] && command -v Xvfb >/dev/null; then
    display_file="$(mktemp)"
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$display_file" >/dev/null 2>&1 &
    xvfb=$!
    for _ in $(seq 50); do [ -s "$display_file" ] && break; sleep 0.1; done
    export DISPLAY=":$(head -n1 "$display_file")"
fi

"$build/bench/vorla-bench" "${args[@]}"
