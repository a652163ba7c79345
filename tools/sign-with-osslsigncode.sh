#!/usr/bin/env bash
# A SIGN_COMMAND for tools/package.sh: signs the Windows program named last, in place, with the
# PKCS#12 file in SIGN_PKCS12 (its password in SIGN_PASSWORD), SHA-256.
set -euo pipefail
file=${!#}
signed="$file.signed"
osslsigncode sign -pkcs12 "$SIGN_PKCS12" -pass "${SIGN_PASSWORD:-}" -h sha256 -n "Palvenor Server" \
  -in "$file" -out "$signed" >/dev/null
mv "$signed" "$file"
