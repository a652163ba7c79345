#!/bin/bash
# Starts or stops what the Wine tests run in: an Xvfb display and a Wine prefix inside the
# build tree, never the user's own. Usage: wine-fixture.sh start|fresh|stop STATE_DIR [SYSTEM_FILE...]
# The files named are put in the prefix's system folder, where dnsapi.dll and netsh.exe are
# loaded before Wine's own. "fresh" makes the prefix anew and leaves it as a PC
# has it, but for a crash that ends the program.
set -u
action=$1
state=$(mkdir -p "$2" && cd "$2" && pwd)

export WINEPREFIX="$state/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d;dnsapi,netsh.exe=n,b"

stop() {
  [ -f "$state/display" ] && DISPLAY=$(cat "$state/display") wineserver -k 2>/dev/null
  if [ -f "$state/xvfb.pid" ]; then
    kill "$(cat "$state/xvfb.pid")" 2>/dev/null
    rm -f "$state/xvfb.pid"
  fi
  rm -f "$state/display"
}

case "$action" in
stop)
  stop
  exit 0
  ;;
start | fresh)
  stop
  [ "$action" = fresh ] && rm -rf "$state/prefix"
  exec 3>"$state/display.raw"
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
  echo $! >"$state/xvfb.pid"
  exec 3>&-
  for _ in $(seq 100); do
    [ -s "$state/display.raw" ] && break
    sleep 0.1
  done
  if [ ! -s "$state/display.raw" ]; then
    echo "wine-fixture: Xvfb did not start" >&2
    exit 1
  fi
  echo ":$(head -n1 "$state/display.raw")" >"$state/display"
  export DISPLAY=$(cat "$state/display")
  if [ ! -f "$state/prefix/system.reg" ]; then
    wineboot -i >/dev/null 2>&1
  fi
  # A crashing program ends instead of waiting in the crash dialog, and injected relative moves of
  # the real program are not accelerated.
  [ "$action" = start ] && wine reg add 'HKCU\Control Panel\Mouse' /v MouseSpeed /d 0 /f >/dev/null 2>&1
  wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashNotification /t REG_DWORD /d 0 /f >/dev/null 2>&1
  wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Auto /d 1 /f >/dev/null 2>&1
  wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Debugger /d 'false' /f >/dev/null 2>&1
  shift 2
  for dll in "$@"; do
    cp "$dll" "$WINEPREFIX/drive_c/windows/system32/"
  done
  wineserver -p
  echo "wine-fixture: display $DISPLAY, prefix $WINEPREFIX"
  ;;
esac
