#!/usr/bin/env bash
# Sets up, builds and runs every test (unit and end-to-end; the end-to-end tests start
# their own Xvfb and site server on 127.0.0.1).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh
cd build
ctest --output-on-failure --timeout 600 -j2 "$@"
