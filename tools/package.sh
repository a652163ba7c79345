#!/usr/bin/env bash
# Builds the Release program and its Windows installer (NSIS, from tools/installer/palvenor.nsi)
# and prints the installer's path on the last line.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/setup.sh >&2
cmake --preset windows >/dev/null
cmake --build --preset windows --target installer >&2
sed -n 's/^PALVENOR_INSTALLER:INTERNAL=//p' build/windows/CMakeCache.txt
