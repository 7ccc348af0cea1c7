#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (AddressSanitizer and UndefinedBehaviorSanitizer) into
# build-fuzz/ and runs each for SECONDS from its corpus in tests/fuzz/corpus/<target>/ (copied to
# a temporary folder, so the tree is never changed). Prints one line per target:
#   target: N runs, F findings
# and exits non-zero when any target finds anything (the input is kept and named).
#   scripts/fuzz.sh SECONDS [TARGET...]
#   scripts/fuzz.sh --known   runs the inputs of tests/fuzz/known/ once each (faults still open)
#   scripts/fuzz.sh --corpus  runs every input of tests/fuzz/corpus/ once each (the regression cases)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

known=0
inputsOf=known
if [ "${1:-}" = "--known" ]; then known=1; shift; set -- 0 "$@"; fi
if [ "${1:-}" = "--corpus" ]; then known=1; inputsOf=corpus; shift; set -- 0 "$@"; fi
seconds=${1:?usage: scripts/fuzz.sh SECONDS [TARGET...]}
shift
case $seconds in ''|*[!0-9]*) echo "fuzz.sh: SECONDS must be a whole number" >&2; exit 2 ;; esac

launcher=()
if command -v ccache >/dev/null; then launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache); fi
cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang \
  -DCMAKE_CXX_COMPILER=clang++ -DPQ_FUZZ=ON -DPQ_BUILD_TESTS=OFF -DPQ_BUILD_BENCH=OFF \
  "${launcher[@]}" >/dev/null
cmake --build build-fuzz -j"$(nproc)" --target fuzz_targets >/dev/null

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for f in tests/fuzz/fuzz_*.cpp; do targets+=("$(basename "$f" .cpp)"); done
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/pq-fuzz.XXXXXX")
trap 'rm -rf "$work"' EXIT
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
failed=0
rm -rf build-fuzz/findings
for t in "${targets[@]}"; do
  bin=build-fuzz/bin/$t
  [ -x "$bin" ] || { echo "$t: no such fuzz target" >&2; failed=1; continue; }
  mkdir -p "$work/$t/corpus" "$work/$t/artifacts"
  log=$work/$t/log
  if [ $known -eq 1 ]; then
    inputs=(tests/fuzz/"$inputsOf"/"$t"/*)
    [ -e "${inputs[0]}" ] || continue
    "$bin" -runs=1 -artifact_prefix="$work/$t/artifacts/" "${inputs[@]}" >"$log" 2>&1 || true
    runs=${#inputs[@]}
  else
    [ -d "tests/fuzz/corpus/$t" ] && cp -r "tests/fuzz/corpus/$t/." "$work/$t/corpus/"
    # -timeout: one input that takes this long is a finding; -rss_limit_mb: so is this much memory.
    "$bin" "$work/$t/corpus" -max_total_time="$seconds" -timeout=20 -rss_limit_mb=2048 \
      -print_final_stats=1 -artifact_prefix="$work/$t/artifacts/" >"$log" 2>&1 || true
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
    [ -n "$runs" ] || runs=$(grep -o '^#[0-9]*' "$log" | tail -1 | tr -d '#')
  fi
  findings=$(find "$work/$t/artifacts" -type f | wc -l)
  if [ $known -eq 1 ]; then
    findings=$(grep -c -E '^(PROPERTY FAILED|==[0-9]+==ERROR|.*runtime error:)' "$log" || true)
  fi
  echo "$t: ${runs:-0} runs, $findings findings"
  if [ "$findings" -ne 0 ]; then
    failed=1
    mkdir -p "$root/build-fuzz/findings"
    cp "$work/$t/artifacts/"* "$root/build-fuzz/findings/" 2>/dev/null || true
    grep -m1 -A3 -E 'PROPERTY FAILED|ERROR: |runtime error:' "$log" | sed 's/^/    /' || tail -5 "$log" | sed 's/^/    /'
    echo "    inputs kept in build-fuzz/findings/; reproduce with $bin FILE"
  fi
done
exit $failed
