#!/usr/bin/env bash
# Runs every test: installs what is missing, builds both worlds, runs the host
# tests (GoogleTest under ASan/UBSan), every fuzz target for a bounded time
# (tools/fuzz.sh), the release test (tools/release.sh run twice) and the
# end-to-end tests (quilt.exe under Wine in a private Xvfb display).
set -uo pipefail
cd "$(dirname "$0")/.."

seconds() { date +%s.%N; }
phase() { awk -v n="$1" -v a="$2" -v b="$3" 'BEGIN { printf "%s: %.1f s\n", n, b - a }'; }

tools/setup.sh || exit 1
tools/check-boundary.sh || exit 1
tools/check-folders.sh || exit 1
code_dirs=$(ls -d src tests bench tools 2>/dev/null)
if ! find $code_dirs -name '*.cpp' -o -name '*.h' | xargs clang-format --dry-run --Werror 2>/dev/null; then
  echo "Code is not clang-formatted; run: find src tests bench tools -name '*.cpp' -o -name '*.h' | xargs clang-format -i" >&2
  exit 1
fi

t0=$(seconds)
tools/build.sh || exit 1
t1=$(seconds)

host_log=$(mktemp)
build/host/host_tests 2>&1 | tee "$host_log" | grep -E '^\[  (FAILED|PASSED) |: Failure$|ERROR: .*Sanitizer|runtime error' ; host_rc=${PIPESTATUS[0]}
tools/tsan.sh >/dev/null 2>&1; tsan_rc=$?
[[ $tsan_rc -eq 0 ]] || echo "ThreadSanitizer: the icon thread's test failed (tools/tsan.sh)"
t2=$(seconds)

fuzz_log=$(mktemp)
tools/fuzz.sh 2>&1 | tee "$fuzz_log"; fuzz_rc=${PIPESTATUS[0]}
t_fuzz=$(seconds)

release_log=$(mktemp)
/usr/bin/python3 -m pytest -q -p no:cacheprovider tests/release 2>&1 | tee "$release_log" | tail -40; release_rc=${PIPESTATUS[0]}
t3=$(seconds)

e2e_log=$(mktemp)
/usr/bin/python3 -m pytest -q -p no:cacheprovider tests/e2e "$@" 2>&1 | tee "$e2e_log" | tail -40; e2e_rc=${PIPESTATUS[0]}
t4=$(seconds)

echo
phase "build" "$t0" "$t1"
phase "host tests" "$t1" "$t2"
phase "fuzz targets" "$t2" "$t_fuzz"
phase "release test" "$t_fuzz" "$t3"
phase "Wine tests" "$t3" "$t4"

# The count of one kind ("passed", "failed", "errors?") in a pytest summary line.
pytest_count() { local n; n=$(grep -oP "[0-9]+(?= $2)" <<<"$(tail -1 "$1")"); echo "${n:-0}"; }
host_passed=$(grep -oP '^\[  PASSED  \] \K[0-9]+' "$host_log" | tail -1)
host_failed=$(grep -oP '^\[  FAILED  \] \K[0-9]+(?= tests?, listed below)' "$host_log" | tail -1)
fuzz_passed=$(grep -oP '^fuzz: \K[0-9]+(?= passed)' "$fuzz_log" | tail -1)
fuzz_failed=$(grep -oP '^fuzz: [0-9]+ passed, \K[0-9]+(?= failed)' "$fuzz_log" | tail -1)
release_passed=$(pytest_count "$release_log" passed)
release_failed=$(( $(pytest_count "$release_log" failed) + $(pytest_count "$release_log" 'errors?') ))
e2e_passed=$(pytest_count "$e2e_log" passed)
e2e_failed=$(( $(pytest_count "$e2e_log" failed) + $(pytest_count "$e2e_log" 'errors?') ))
passed=$(( ${host_passed:-0} + ${fuzz_passed:-0} + release_passed + e2e_passed ))
failed=$(( ${host_failed:-0} + release_failed + e2e_failed ))
if [[ $host_rc -ne 0 && $failed -eq 0 ]]; then failed=1; fi
if [[ $tsan_rc -ne 0 ]]; then failed=$((failed + 1)); fi
if [[ $fuzz_rc -ne 0 ]]; then failed=$((failed + (${fuzz_failed:-0} > 0 ? ${fuzz_failed:-0} : 1))); fi
if [[ $release_rc -ne 0 && $release_failed -eq 0 ]]; then failed=$((failed + 1)); fi
if [[ $e2e_rc -ne 0 && $failed -eq 0 ]]; then failed=1; fi
echo "total: $passed passed, $failed failed"
[[ $host_rc -eq 0 && $tsan_rc -eq 0 && $fuzz_rc -eq 0 && $release_rc -eq 0 && $e2e_rc -eq 0 ]]
