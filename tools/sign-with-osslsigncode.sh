#!/usr/bin/env bash
# A SIGN_COMMAND for tools/package.sh: signs the Windows program named last, in place, with the
# PKCS#12 file in SIGN_PKCS12, SHA-256. Its password comes from the file SIGN_PASSWORD_FILE or from
# the environment's SIGN_PASSWORD, through a pipe, never on a command line another user could read.
# The signature's time is the commit's (SOURCE_DATE_EPOCH), so that one commit signed with one key
# gives the same bytes.
set -euo pipefail
file=${!#}
signed="$file.signed"
if [ -n "${SIGN_PASSWORD_FILE:-}" ]; then
  password() { cat "$SIGN_PASSWORD_FILE"; }
else
  password() { printf '%s' "${SIGN_PASSWORD:-}"; }  # a shell builtin: no process shows it
fi
password | osslsigncode sign -pkcs12 "$SIGN_PKCS12" -readpass - -h sha256 -n "Palvenor Server" \
  -time "${SOURCE_DATE_EPOCH:-$(date +%s)}" -in "$file" -out "$signed" >/dev/null
mv "$signed" "$file"
