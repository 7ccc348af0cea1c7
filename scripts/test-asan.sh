#!/usr/bin/env bash
# Builds the unit tests (not the end-to-end ones) with AddressSanitizer and
# UndefinedBehaviorSanitizer into build-asan/ and runs them; any finding fails its test.
set -euo pipefail
cd "$(dirname "$0")/.."
launcher=()
if command -v ccache >/dev/null; then launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache); fi
flags="-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer"
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DPQ_BUILD_E2E=OFF -DPQ_BUILD_BENCH=OFF \
  -DCMAKE_CXX_FLAGS="$flags" -DCMAKE_C_FLAGS="$flags" \
  -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" "${launcher[@]}" >/dev/null
cmake --build build-asan -j"$(nproc)" >/dev/null
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1:strict_string_checks=1}
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$PWD/tests/support/lsan.supp:print_suppressions=0}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
cd build-asan
# The unit tests only: the layer check and the site conformance runs are no C++ of ours.
ctest --output-on-failure --timeout 600 -j"$(nproc)" -E '^(layers|site_conformance_.*)$' "$@"
