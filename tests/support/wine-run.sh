#!/bin/sh
# Runs a Windows program under Wine in the test prefix and on the virtual display that
# wine-fixture.sh started. Usage: wine-run.sh STATE_DIR PROGRAM [ARGUMENT...]
state=$1
shift
export WINEPREFIX="$state/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d;dnsapi,netsh.exe=n,b"
if [ ! -f "$state/display" ]; then
  echo "wine-run: no virtual display; the wine_start fixture did not run" >&2
  exit 1
fi
DISPLAY=$(cat "$state/display")
export DISPLAY
exec wine "$@"
