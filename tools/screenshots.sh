#!/usr/bin/env bash
# Takes the status window's picture in every language for docs/, and the trusted phones' window
# with invented devices in English: the Windows build's server under Wine on a virtual display of
# its own, each language chosen through the locale as Windows users choose theirs. Needs the
# windows preset built (tools/test.sh builds it).
set -euo pipefail
cd "$(dirname "$0")/.."
tools/setup.sh
bin=$PWD/build/windows/bin
state=$PWD/build/windows/screens
fixture=tests/support/wine-fixture.sh
run=tests/support/wine-run.sh
$fixture start "$state" >/dev/null
trap '$fixture stop "$state"' EXIT
# First, on a screen nothing was drawn on yet, the trusted phones: invented devices, stored as the
# server stores the ones a user allowed (address, hardware address, last connection in seconds
# since 1970, and a name given or looked up).
tab=$'\t'
devices="192.168.1.23 3c-28-6d-0a-51-e7${tab}1796716800${tab}lpixel-seven"
devices+="\\0192.168.1.40 f0-99-b6-12-7c-2a${tab}1796630400${tab}gAnna's iPhone"
devices+="\\0192.168.1.57 a4-83-e7-3b-90-14${tab}1795939200${tab}gKitchen tablet"
devices+="\\0192.168.1.61 d8-bb-2c-45-e1-08${tab}1793520000"
$run "$state" reg add 'HKCU\Software\Quorvane\Palvenor Server' /v 'Trusted phones' /t REG_MULTI_SZ /d "$devices" /f >/dev/null
LANG=en_US.UTF-8 LC_ALL=en_US.UTF-8 TZ=UTC $run "$state" "$bin/PalvenorServer.exe" >/dev/null 2>&1 &
$run "$state" "$bin/probe.exe" wait-window 30000
$run "$state" "$bin/probe.exe" post 0x0111 8 0  # Close: the status window, shown for a failed advertisement, goes
$run "$state" "$bin/probe.exe" post 0x0111 32776 0  # the tray menu's "Trusted phones…"
sleep 3  # the window is drawn
$run "$state" "$bin/probe.exe" screenshot "Z:$state/window.bmp" "Trusted phones"
python3 tools/bmp_to_png.py "$state/window.bmp" docs/trusted-phones-en.png
$run "$state" "$bin/probe.exe" post 0x0403 0 0
$run "$state" "$bin/probe.exe" wait-gone 10000
$run "$state" reg delete 'HKCU\Software\Quorvane\Palvenor Server' /v 'Trusted phones' /f >/dev/null
wait
# Every language of the build's list, under its own locale.
while read -r code locale <&3; do
  LANG=$locale LC_ALL=$locale $run "$state" "$bin/PalvenorServer.exe" -showui >/dev/null 2>&1 &
  $run "$state" "$bin/probe.exe" wait-window 30000
  sleep 3  # the window is drawn
  $run "$state" "$bin/probe.exe" screenshot "Z:$state/window.bmp"
  python3 tools/bmp_to_png.py "$state/window.bmp" "docs/status-window-$code.png"
  $run "$state" "$bin/probe.exe" post 0x0403 0 0
  $run "$state" "$bin/probe.exe" wait-gone 10000
  wait
done 3<build/windows/generated/languages.txt
echo "docs/status-window-*.png docs/trusted-phones-en.png"
