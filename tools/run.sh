#!/usr/bin/env bash
# Builds the server and starts it under Wine with its status window shown. It uses the X display
# in DISPLAY when there is one, and otherwise starts a virtual one and says so.
# Arguments, when given, are passed to the server in place of -showui.
set -euo pipefail
cd "$(dirname "$0")/.."
# As many build jobs as the machine has processors, unless told otherwise.
export CMAKE_BUILD_PARALLEL_LEVEL="${CMAKE_BUILD_PARALLEL_LEVEL:-$(nproc)}"
tools/setup.sh
cmake --preset windows >/dev/null
cmake --build --preset windows --target PalvenorServer
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
if [ -z "${DISPLAY:-}" ]; then
  state=$(mktemp -d)
  exec 3>"$state/display"
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb=$!
  exec 3>&-
  trap 'kill $xvfb 2>/dev/null; rm -rf "$state"' EXIT INT TERM
  for _ in $(seq 100); do [ -s "$state/display" ] && break; sleep 0.1; done
  export DISPLAY=":$(head -n1 "$state/display")"
  echo "run: no X display, so the server runs on the virtual display $DISPLAY (Xvfb)."
fi
arguments=("$@")
[ ${#arguments[@]} -eq 0 ] && arguments=(-showui)
echo "run: starting Palvenor Server; phones connect to TCP and UDP port 4026 of this machine."
wine build/windows/bin/PalvenorServer.exe "${arguments[@]}"
