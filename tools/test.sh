#!/usr/bin/env bash
# Installs what is missing, builds both presets and runs every test: the platform-free core
# natively under AddressSanitizer and UBSan, then the Windows build under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
# As many build jobs as the machine has processors, unless told otherwise.
export CMAKE_BUILD_PARALLEL_LEVEL="${CMAKE_BUILD_PARALLEL_LEVEL:-$(nproc)}"
tools/setup.sh
cmake --preset native >/dev/null
cmake --build --preset native
ctest --preset native -j2
cmake --preset windows >/dev/null
cmake --build --preset windows
ctest --preset windows -j2
