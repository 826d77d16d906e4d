#!/usr/bin/env bash
# Builds the normal and the sanitizer (AddressSanitizer + UndefinedBehaviorSanitizer)
# configurations and runs every test in both, after installing what is missing.
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/deps.sh
ensure_packages

jobs=$(nproc)
# ccache keeps its own cache (~/.cache/ccache), which survives fresh clones on
# this machine; paths are taken relative to the checkout so clones share it.
export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1

bash tools/check-layers.sh
bash tools/check-names.sh

# The SDL back-end's tests need an X display: give them a virtual one when
# there is none (they skip themselves without any).
with_display=()
if [ -z "${DISPLAY:-}" ] && command -v xvfb-run >/dev/null 2>&1; then
    with_display=(xvfb-run -a -s "-screen 0 1280x1024x24")
fi

build_and_test() {
    local name=$1
    shift
    echo "=== $name"
    cmake -S . -B "build/$name" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
    cmake --build "build/$name" -j "$jobs"
    "${with_display[@]}" ctest --timeout 600 --test-dir "build/$name" --output-on-failure -j "$jobs"
}

build_and_test release
# The benchmarks must keep running; a short pass proves it.
for bench in build/release/bench/bench_*; do
    "$bench" --benchmark_min_time=0.01 >/dev/null
done
# The Release configuration (-O3, warnings as errors) and the benchmarks
# without the tests: one build proves both (about 100 s of 3 cores from an
# empty cache, seconds from a warm one).
echo "=== release -O3 (benchmarks without tests)"
cmake -S . -B build/release-o3 -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF -DBUILD_BENCHMARKS=ON >/dev/null
cmake --build build/release-o3 -j "$jobs"
build_and_test sanitize -DENABLE_ASAN=ON -DENABLE_UBSAN=ON -DBUILD_BENCHMARKS=OFF
# The runtime, class-library, platform and game tests once more with a
# collection before every allocation (and the check for unlisted references
# after each), in the sanitizer build: VORLAX_GC_STRESS=1 switches it on.
echo "=== gc stress (runtime, class-library, platform and game tests)"
VORLAX_GC_STRESS=1 "${with_display[@]}" ctest --timeout 600 --test-dir build/sanitize -L '^(runtime|classlib|platform|game)$' \
    --output-on-failure -j "$jobs"
# The threading tests once more under ThreadSanitizer.
echo "=== tsan (threading tests)"
cmake -S . -B build/tsan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DENABLE_TSAN=ON -DBUILD_BENCHMARKS=OFF >/dev/null
cmake --build build/tsan -j "$jobs" --target runtime_tests host_tests classlib_tests platform_tests game_tests
TSAN_OPTIONS="halt_on_error=1" timeout 600 build/tsan/tests/runtime_tests --gtest_filter='Thread*:Collector*:Monitor*' --gtest_brief=1
TSAN_OPTIONS="halt_on_error=1" timeout 600 build/tsan/tests/host_tests --gtest_filter='Headless*:SystemThreads*:MediaGraph*' --gtest_brief=1
TSAN_OPTIONS="halt_on_error=1" timeout 600 build/tsan/tests/classlib_tests --gtest_filter='Timer*:Collection*:SystemGc*' --gtest_brief=1
TSAN_OPTIONS="halt_on_error=1" timeout 600 build/tsan/tests/platform_tests --gtest_filter='WavePlayer*:DirectShowPlayer*:Shell*:Program*:ConnectionScreen*' --gtest_brief=1
TSAN_OPTIONS="halt_on_error=1" timeout 600 build/tsan/tests/game_tests --gtest_filter='GameTest.TheGameThread*:GameTest.AScriptedStylus*:SoundThread*:PromoVisit*' --gtest_brief=1
