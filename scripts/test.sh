#!/usr/bin/env bash
# Sets up, builds and runs every test (unit and end-to-end; the end-to-end tests start
# their own Xvfb and site server on 127.0.0.1), then the unit tests again under
# AddressSanitizer and UndefinedBehaviorSanitizer (build-asan/), then each fuzz target for
# 20 seconds (build-fuzz/). Arguments go to the first ctest run.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh
(cd build && ctest --output-on-failure --timeout 600 -j2 "$@")
start=$SECONDS
scripts/test-asan.sh
echo "Unit tests under the sanitizers: $((SECONDS - start)) s"
start=$SECONDS
# Every corpus input, those once found included (tests/fuzz/corpus/), must pass: these fail
# the command.
scripts/fuzz.sh --corpus
# Then 20 s of search per target. Its runs differ from machine to machine, so what it finds is
# reported loudly and kept in build-fuzz/findings/ for a test of its own, but does not fail a
# run whose code did not change.
scripts/fuzz.sh 20 || echo "FUZZING FOUND NEW INPUTS: see above and build-fuzz/findings/"
echo "Fuzz targets: $((SECONDS - start)) s"
