#!/usr/bin/env bash
# Builds every configuration and runs every check, after installing what is
# missing. Each configuration compiles only what it runs:
#   release   Release (the game at -O3, the tests' own code at -O2): every
#             test, and a short pass of each benchmark
#   sanitize  AddressSanitizer + UndefinedBehaviorSanitizer: every test, and
#             in the same run the runtime, class-library, platform and game
#             tests again under collection stress (the gc-stress/ tests:
#             VORLAX_GC_STRESS=1, a collection before every allocation, each
#             followed by the check for unlisted references)
#   tsan      ThreadSanitizer: the threading tests alone (built while the
#             release tests run)
# Each stage prints its name when it starts and its wall and CPU seconds (user
# + system, every process it ran) when it ends; the last lines sum them up. CPU
# seconds over a machine's cores estimate its wall time for the parallel parts. VORLAX_JOBS sets the parallel jobs (default:
# every core).
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/deps.sh
ensure_packages

jobs=${VORLAX_JOBS:-$(nproc)}
# ccache keeps its own cache (~/.cache/ccache), which survives fresh clones on
# this machine; paths are taken relative to the checkout so clones share it.
export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1

stage_times=()
current_stage=""
total_wall=0
total_cpu=0
# The summary, also when a stage fails (set -e ends the script there).
print_stage_times() {
    local status=$?
    echo "=== stage times"
    printf '%s\n' "${stage_times[@]}"
    printf '%-26s %5s s %6s s CPU\n' total "$total_wall" "$total_cpu"
    if [ "$status" -ne 0 ] && [ -n "$current_stage" ]; then
        echo "=== failed: $current_stage"
    fi
}
trap print_stage_times EXIT
# Sets children_cpu to the CPU seconds (user + system) of this shell's
# finished child processes, with their own children: what the machine worked,
# whatever its cores. `times` runs in the shell itself (a command substitution
# would count only the subshell's own children).
children_cpu=0
read_children_cpu() {
    local file
    file=$(mktemp)
    times >"$file"
    children_cpu=$(awk 'NR == 2 {
        n = 0
        for (i = 1; i <= 2; i++) { split($i, t, "m"); sub("s", "", t[2]); n += t[1] * 60 + t[2] }
        printf "%.0f", n
    }' "$file")
    rm -f "$file"
}
# stage NAME COMMAND...: runs COMMAND as one timed stage: wall and CPU seconds.
stage() {
    local name=$1
    shift
    echo "=== $name"
    current_stage=$name
    local start=$EPOCHREALTIME
    read_children_cpu
    local cpu_start=$children_cpu
    "$@"
    local seconds cpu
    seconds=$(awk -v a="$start" -v b="$EPOCHREALTIME" 'BEGIN { printf "%.0f", b - a }')
    read_children_cpu
    cpu=$((children_cpu - cpu_start))
    echo "=== $name: $seconds s, $cpu s CPU"
    stage_times+=("$(printf '%-26s %5s s %6s s CPU' "$name" "$seconds" "$cpu")")
    total_wall=$((total_wall + seconds))
    total_cpu=$((total_cpu + cpu))
    current_stage=""
}

# configure NAME CMAKE-OPTIONS...: the build folder build/NAME (the sanitizer
# builds optimise as RelWithDebInfo does, -O2; options may override it).
configure() {
    local name=$1
    shift
    cmake -S . -B "build/$name" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
}

# The SDL back-end's tests need an X display: give them a virtual one when
# there is none (they skip themselves without any).
with_display=()
if [ -z "${DISPLAY:-}" ] && command -v xvfb-run >/dev/null 2>&1; then
    with_display=(xvfb-run -a -s "-screen 0 1280x1024x24")
fi
run_tests() {
    local name=$1
    shift
    "${with_display[@]}" ctest --timeout 600 --test-dir "build/$name" --output-on-failure -j "$jobs" "$@"
}

# The benchmarks must keep running; a short pass proves it.
run_benchmarks() {
    # They read the demo set as the tests do (tests/support/DemoSet.h): made
    # once, not in every benchmark's set-up.
    local set=$PWD/build/release/tests/demo-set.bin
    [ -f "$set" ] || build/release/tests/support/write_demo_set "$set"
    # Side by side, each in a process of its own; a failing one shows its
    # output and fails the stage.
    local bench status=0 pids=() names=() i
    local logs=build/release/bench/logs
    mkdir -p "$logs"
    for bench in build/release/bench/bench_*; do
        [ -f "$bench" ] && [ -x "$bench" ] || continue
        VORLAX_TEST_DEMO_SET=$set "$bench" --benchmark_min_time=0.01 >"$logs/${bench##*/}.log" 2>&1 &
        pids+=($!)
        names+=("${bench##*/}")
    done
    for i in "${!pids[@]}"; do
        if ! wait "${pids[$i]}"; then
            echo "benchmark ${names[$i]} failed:"
            cat "$logs/${names[$i]}.log"
            status=1
        fi
    done
    return "$status"
}

run_checks() {
    bash tools/check-layers.sh
    bash tools/check-names.sh
    bash tools/check-batches.sh
}
stage checks run_checks

# The release tests leave cores idle while their longest tests finish: the
# ThreadSanitizer build (a small one: the threading tests and what they link)
# compiles beside them, at a lower priority, its output kept in a log that is
# shown when it fails.
release_tests_and_tsan_build() {
    local log=build/tsan/build.log status=0
    nice -n 10 cmake --build build/tsan -j "$jobs" >"$log" 2>&1 &
    local build=$!
    run_tests release || status=1
    if ! wait "$build"; then
        echo "=== the tsan build failed ($log):"
        tail -n 60 "$log"
        status=1
    fi
    return "$status"
}

configure release -DCMAKE_BUILD_TYPE=Release -DBUILD_BENCHMARKS=ON
configure tsan -DENABLE_TSAN=ON -DBUILD_BENCHMARKS=OFF
stage "release build" cmake --build build/release -j "$jobs"
stage "release tests+tsan build" release_tests_and_tsan_build
stage "benchmarks" run_benchmarks
stage "tsan tests" env TSAN_OPTIONS=halt_on_error=1 ctest --timeout 600 --test-dir build/tsan --output-on-failure -j "$jobs"

configure sanitize -DENABLE_ASAN=ON -DENABLE_UBSAN=ON -DBUILD_BENCHMARKS=OFF -DVORLAX_GC_STRESS_TESTS=ON
stage "sanitize build" cmake --build build/sanitize -j "$jobs"
stage "sanitize+gc stress" run_tests sanitize
