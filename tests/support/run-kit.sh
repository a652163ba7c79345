#!/bin/bash
# Runs the test kit as a PC meets it: unzipped in a user's Downloads folder of a fresh Wine prefix
# with nothing of the tests' own in its system folder, through its run-tests.cmd. Passes when its
# last line counts no failure, nothing outside the kit's folder changed, and the program's settings
# of the user are as they were. Usage: run-kit.sh STATE_DIR KIT_ZIP
set -u
here=$(dirname "$0")
state=$1 kit=$2
"$here/wine-fixture.sh" fresh "$state" >/dev/null || exit 1
trap '"$here/wine-fixture.sh" stop "$state"' EXIT
downloads=$(ls -d "$state"/prefix/drive_c/users/*/Downloads | grep -v /Public/ | head -n1)
(cd "$downloads" && cmake -E tar xf "$kit") || exit 1
folder="$downloads/$(basename "$kit" .zip)"
settings='HKCU\Software\Quorvane\Palvenor Server'
"$here/wine-run.sh" "$state" reg add "$settings" /v Kept /d "as it was" /f >/dev/null
"$here/wine-run.sh" "$state" reg query "$settings" /s >"$state/before.txt" 2>&1
touch "$state/started"
sleep 1
(cd "$folder" && "$here/wine-run.sh" "$state" cmd /c run-tests.cmd) 2>&1 | tr -d '\r' | tee "$state/run.txt"
status=${PIPESTATUS[0]}
"$here/wine-run.sh" "$state" reg query "$settings" /s >"$state/after.txt" 2>&1
last=$(grep -v '^$' "$state/run.txt" | tail -n1)
failures=0
if ! [[ "$last" =~ ^[1-9][0-9]*\ passed,\ 0\ failed$ ]] || [ "$status" -ne 0 ]; then
  echo "run-kit: the kit's run failed (exit code $status, last line \"$last\")"
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
exit $failures
