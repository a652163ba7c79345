#!/usr/bin/env bash
# The lower layers link and test without the application: no object file of src/net, src/advertise
# or src/input refers to a symbol that an object file of src/app defines.
# Usage: check-layers.sh NM OBJECT_FOLDER...
set -euo pipefail
nm=$1
shift
objects() { find "$@" -name '*.obj' -o -name '*.o'; }
app=$(objects "$@" | grep '/src/app/' || true)
lower=$(objects "$@" | grep -E '/src/(net|advertise|input)/' || true)
[ -n "$app" ] && [ -n "$lower" ] || { echo "no object files found under $*"; exit 1; }
defined=$(echo "$app" | xargs "$nm" --defined-only --extern-only | awk 'NF == 3 { print $3 }' | sort -u)
wanted=$(echo "$lower" | xargs "$nm" --undefined-only | awk 'NF >= 2 { print $NF }' | sort -u)
upward=$(comm -12 <(echo "$defined") <(echo "$wanted"))
if [ -n "$upward" ]; then
  echo "the lower layers call up into the application:"
  echo "$upward"
  exit 1
fi
echo "no lower layer refers to the application"
