#!/usr/bin/env bash
# Configures and builds into build/ (Release-like, with debug info).
set -euo pipefail
cd "$(dirname "$0")/.."
launcher=()
# ccache, where installed, makes rebuilds of other checkouts of the tree cheap.
if command -v ccache >/dev/null; then launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" >/dev/null
cmake --build build -j"$(nproc)"
