#!/usr/bin/env bash
# tools/package.sh as a release is made: the same sources built in two folders give the same bytes;
# given a sign command, the program, the uninstaller and the installer are signed, and a failing
# one stops the packaging; SHA256SUMS and the winget manifest name the installer by its hash.
set -euo pipefail
source_dir=$(cd "$1" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export SOURCE_DATE_EPOCH=1765000000
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

copy() {
  mkdir -p "$2"
  (cd "$source_dir" && git ls-files -z --cached --others --exclude-standard | xargs -0 tar -cf -) | tar -xf - -C "$2"
}
copy "$source_dir" "$work/one/src"
copy "$source_dir" "$work/two/a/much/deeper/src"
first=$(cd "$work/one/src" && tools/package.sh 2>"$work/one.log" | tail -n1)
second=$(cd "$work/two/a/much/deeper/src" && tools/package.sh 2>"$work/two.log" | tail -n1)
cmp "$first" "$second" || fail "two builds of the same sources differ: the installer"
cmp "$(dirname "$first")/package/PalvenorServer.exe" "$(dirname "$second")/package/PalvenorServer.exe" ||
  fail "two builds of the same sources differ: the program"
cmp "$(dirname "$first")"/*-tests.zip "$(dirname "$second")"/*-tests.zip || fail "two builds of the same sources differ: the test kit"
(cd "$(dirname "$first")" && sha256sum --quiet -c SHA256SUMS) || fail "SHA256SUMS does not name the installer and the kit"

# A throwaway certificate, made for this run only.
openssl req -x509 -newkey rsa:2048 -nodes -subj "/CN=Palvenor test signer" -days 2 \
  -keyout "$work/key.pem" -out "$work/cert.pem" 2>/dev/null
openssl pkcs12 -export -inkey "$work/key.pem" -in "$work/cert.pem" -passout pass:test -out "$work/signer.p12"
cd "$work/two/a/much/deeper/src"
if SIGN_COMMAND=false tools/package.sh >"$work/false.log" 2>&1; then fail "a failing sign command did not stop the packaging"; fi
signed=$(SIGN_COMMAND="$PWD/tools/sign-with-osslsigncode.sh" SIGN_PKCS12="$work/signer.p12" SIGN_PASSWORD=test \
  RELEASE_BASE_URL=https://downloads.example/palvenor/ tools/package.sh 2>"$work/signed.log" | tail -n1)
folder=$(dirname "$signed")
7z x -y -o"$work/unpacked" "$signed" >/dev/null
uninstaller=$(find "$work/unpacked" -iname 'Uninstall*.exe' | head -n1)
for file in "$signed" "$folder/package/PalvenorServer.exe" "$uninstaller"; do
  [ -n "$file" ] && osslsigncode verify -CAfile "$work/cert.pem" -in "$file" >/dev/null 2>&1 || fail "not signed: ${file:-the uninstaller}"
done

hash=$(sha256sum "$signed" | cut -d' ' -f1 | tr a-f A-F)
manifest="$folder/Quorvane.PalvenorServer.installer.yaml"
for line in "InstallerSha256: $hash" "InstallerUrl: https://downloads.example/palvenor/$(basename "$signed")" \
  "PackageIdentifier: Quorvane.PalvenorServer" "PackageVersion: 1.0.0" "InstallerType: nullsoft" \
  "Scope: machine" "ElevationRequirement: elevatesSelf" "ProductCode: Palvenor Server" \
  "- InstallerReturnCode: 2" "- InstallerReturnCode: 3"; do
  grep -qF -- "$line" "$manifest" || fail "the installer manifest lacks \"$line\""
done
grep -q "^ManifestType: defaultLocale" "$folder/Quorvane.PalvenorServer.locale.en-US.yaml" || fail "no locale manifest"

[ "$failures" -eq 0 ] || exit 1
echo "every packaging check passed"
