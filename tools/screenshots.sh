#!/usr/bin/env bash
# Takes the status window's picture in every language for docs/: the Windows build's server under
# Wine on a virtual display of its own, each language chosen through the locale as Windows users
# choose theirs. Needs the windows preset built (tools/test.sh builds it).
set -euo pipefail
cd "$(dirname "$0")/.."
tools/setup.sh
bin=$PWD/build/windows/bin
state=$PWD/build/windows/screens
fixture=tests/support/wine-fixture.sh
run=tests/support/wine-run.sh
$fixture start "$state" >/dev/null
trap '$fixture stop "$state"' EXIT
for language in en_US de_DE fr_FR es_ES pt_BR ru_RU zh_CN ja_JP; do
  code=${language%%_*}
  case $language in pt_BR | zh_CN) code=${language/_/-} ;; esac
  LANG=$language.UTF-8 LC_ALL=$language.UTF-8 $run "$state" "$bin/PalvenorServer.exe" -showui >/dev/null 2>&1 &
  $run "$state" "$bin/probe.exe" wait-window 30000
  sleep 3  # the window is drawn
  $run "$state" "$bin/probe.exe" screenshot "Z:$state/window.bmp"
  python3 tools/bmp_to_png.py "$state/window.bmp" "docs/status-window-$code.png"
  $run "$state" "$bin/probe.exe" post 0x0403 0 0
  $run "$state" "$bin/probe.exe" wait-gone 10000
  wait
done
echo "docs/status-window-*.png"
