#!/bin/bash
# Runs a Windows program under Wine at another scale (192 DPI is 200%), in a prefix and on a
# display of its own, stopped afterwards whatever happens.
# Usage: run-at-dpi.sh STATE_DIR DPI PROGRAM [ARGUMENT...]
set -u
here=$(dirname "$0")
state=$1 dpi=$2
shift 2
"$here/wine-fixture.sh" start "$state" >/dev/null || exit 1
trap '"$here/wine-fixture.sh" stop "$state"' EXIT
"$here/wine-run.sh" "$state" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null
WINEPREFIX="$state/prefix" wineserver -k  # the scale is read when Wine starts
"$here/wine-run.sh" "$state" "$@"
