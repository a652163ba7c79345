#!/usr/bin/env bash
# Prints every performance figure in docs/PERFORMANCE.md: input latency and throughput natively
# and under Wine, and the idle cost of the running server under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
# As many build jobs as the machine has processors, unless told otherwise.
export CMAKE_BUILD_PARALLEL_LEVEL="${CMAKE_BUILD_PARALLEL_LEVEL:-$(nproc)}"
tools/setup.sh
cmake --preset bench >/dev/null
cmake --build --preset bench --target bench_input
cmake --preset windows >/dev/null
cmake --build --preset windows --target bench_input PalvenorServer probe dnssd_standin
state=build/windows/wine
tests/support/wine-fixture.sh start "$state" >/dev/null
trap 'tests/support/wine-fixture.sh stop "$state"' EXIT
echo "== native =="
build/bench/tools/bench/bench_input 100000
echo
echo "== Wine =="
tests/support/wine-run.sh "$PWD/$state" build/windows/bin/bench_input.exe 100000
echo
echo "== idle cost under Wine =="
python3 tools/bench/idle_cost.py "$state" build/windows/bin 60
