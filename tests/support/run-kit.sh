#!/bin/bash
# Runs the test kit as a PC meets it: unzipped in a user's Downloads folder of a fresh Wine prefix
# with nothing of the tests' own in its system folder, through its run-tests.cmd, with another
# program's window in front, then once more stopped midway. Passes when the full run's last line
# counts no failure, the window in front received no key, click or wheel turn, nothing outside the
# kit's folder changed, and the user's settings and Startup shortcut are byte for byte as they were
# after both runs. Usage: run-kit.sh STATE_DIR KIT_ZIP PROBE_EXE
set -u
here=$(dirname "$0")
state=$1 kit=$2 probe=$3
"$here/wine-fixture.sh" fresh "$state" >/dev/null || exit 1
trap '"$here/wine-fixture.sh" stop "$state"' EXIT
run() { "$here/wine-run.sh" "$state" "$@"; }
downloads=$(ls -d "$state"/prefix/drive_c/users/*/Downloads | grep -v /Public/ | head -n1)
(cd "$downloads" && cmake -E tar xf "$kit") || exit 1
folder="$downloads/$(basename "$kit" .zip)"
settings='HKCU\Software\Quorvane\Palvenor Server'
startup="$(dirname "$downloads")/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Startup"
mkdir -p "$startup"
printf 'the tester'"'"'s own shortcut' | tee "$state/shortcut-before" >"$startup/Quorvane Palvenor Server.lnk"
run reg add "$settings" /v "Trusted phones" /t REG_MULTI_SZ /d "192.168.1.20" /f >/dev/null
run reg query "$settings" /s >"$state/before.txt" 2>&1
touch "$state/started"
sleep 1
run "$probe" witness 2>/dev/null | tr -d '\r' >"$state/witness.txt" &
witness=$!
for _ in $(seq 50); do run "$probe" window "Palvenor witness" && break; sleep 0.2; done
(cd "$folder" && run cmd /c run-tests.cmd) 2>&1 | tr -d '\r' | tee "$state/run.txt"
status=${PIPESTATUS[0]}
# Stopped midway, as a tester may: nothing of the tester's may be left changed either.
(cd "$folder" && run cmd /c run-tests.cmd) >"$state/stopped.txt" 2>&1 &
stopped=$!
sleep 20
pkill -KILL -f 'app_tests[.]exe'
wait "$stopped"
run "$probe" close "Palvenor witness"
wait "$witness"
run reg query "$settings" /s >"$state/after.txt" 2>&1
last=$(grep -v '^$' "$state/run.txt" | tail -n1)
failures=0
if ! [[ "$last" =~ ^[1-9][0-9]*\ passed,\ 0\ failed$ ]] || [ "$status" -ne 0 ]; then
  grep -A8 ': Failure$' "$state/run.txt" | head -n40  # where a long log is cut, this is still seen
  echo "run-kit: the kit's run failed (exit code $status, last line \"$last\")"
  failures=1
fi
if ! grep -qx 'received=0' "$state/witness.txt"; then
  echo "run-kit: the window in front was reached by the tests' input: $(cat "$state/witness.txt")"
  failures=1
fi
changed=$(cd "$state/prefix/drive_c" && find . -newer "$state/started" -type f ! -path "./users/*/Downloads/*")
if [ -n "$changed" ]; then
  echo "run-kit: the kit changed files outside its folder:"
  echo "$changed"
  failures=1
fi
if ! cmp -s "$state/before.txt" "$state/after.txt"; then
  echo "run-kit: the user's settings are not as they were:"
  diff "$state/before.txt" "$state/after.txt"
  failures=1
fi
if ! cmp -s "$state/shortcut-before" "$startup/Quorvane Palvenor Server.lnk"; then
  echo "run-kit: the user's Startup shortcut is not as it was"
  failures=1
fi
exit $failures
