#!/usr/bin/env bash
# Builds the libFuzzer targets of tests/fuzz with clang in build/fuzz and runs
# each for a bounded time, starting from its committed seeds:
#   tools/fuzz.sh                  every target, FUZZ_SECONDS (10) seconds each
#   tools/fuzz.sh TARGET SECONDS   one target, as long as asked
# A target that finds a fault (a failed check, a sanitizer report, a crash, a
# hang or runaway memory) fails the run: its message and its input, in hex,
# are printed, and the input is kept in build/fuzz/findings. What each run
# learns stays in build/fuzz/corpus for the next one; the checkout is never
# written. The last line counts the targets: "fuzz: N passed, N failed".
set -uo pipefail
cd "$(dirname "$0")/.."

build=build/fuzz
seeds=tests/fuzz/corpus

usage() {
    echo "usage: tools/fuzz.sh [TARGET SECONDS]" >&2
    echo "targets: $(cd tests/fuzz && ls ./*_fuzz.cpp | sed -E 's|^\./||; s|_fuzz\.cpp$||' | tr '\n' ' ')" >&2
    exit 2
}

if (($# == 0)); then
    seconds=${FUZZ_SECONDS:-10}
    targets=$(cd tests/fuzz && ls ./*_fuzz.cpp | sed -E 's|^\./||; s|_fuzz\.cpp$||')
elif (($# == 2)) && [[ -f tests/fuzz/$1_fuzz.cpp && $2 =~ ^[1-9][0-9]*$ ]]; then
    seconds=$2
    targets=$1
else
    usage
fi

if ! cmake -S . -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE= -DQUILT_FUZZ=ON >/dev/null ||
    ! cmake --build "$build" -j "$(nproc)" >"$build/build.log" 2>&1; then
    tail -40 "$build/build.log" >&2
    echo "fuzz: the targets did not build" >&2
    echo "fuzz: 0 passed, 1 failed"
    exit 1
fi

passed=0
failed=0
mkdir -p "$build/findings" "$build/logs"
for target in $targets; do
    corpus=$build/corpus/$target
    log=$build/logs/$target.log
    mkdir -p "$corpus"
    rm -f "$build/findings/$target"-*
    # New inputs go to the first folder only, so the seeds stay as committed.
    "$build/tests/fuzz/$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=4096 \
        -print_final_stats=1 -artifact_prefix="$build/findings/$target-" "$corpus" "$seeds/$target" >"$log" 2>&1
    rc=$?
    runs=$(grep -oP '^stat::number_of_executed_units: \K[0-9]+' "$log" | tail -1)
    coverage=$(grep -oP '^#[0-9]+\s+DONE\s+\Kcov: [0-9]+ ft: [0-9]+' "$log" | tail -1)
    finding=$(ls "$build/findings/$target"-* 2>/dev/null | head -1)
    if [[ $rc -eq 0 && -z $finding ]]; then
        echo "fuzz $target: ok, ${runs:-?} runs in ${seconds} s, ${coverage:-no coverage line}"
        passed=$((passed + 1))
        continue
    fi
    failed=$((failed + 1))
    echo "fuzz $target: FAILED (exit $rc); log: $log"
    grep -E 'check failed:|ERROR: |runtime error:|SUMMARY: |ALARM: |out-of-memory' "$log" | head -8 | sed 's/^/  /'
    if [[ -n $finding ]]; then
        echo "  input ($(stat -c %s "$finding") bytes, kept in $finding):"
        od -An -tx1 -v "$finding" | head -64 | sed 's/^ */    /'
        echo "  again: $build/tests/fuzz/$target $finding"
    fi
done
echo "fuzz: $passed passed, $failed failed"
((failed == 0))
