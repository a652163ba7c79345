#!/usr/bin/env bash
# tools/package.sh as a release is made: the same sources give the same bytes in a fresh folder and
# in one built in before; given a sign command, every program file the installer carries or unpacks
# is signed, two signed packagings are the same bytes, and a failing command stops the packaging;
# SHA256SUMS names the installer and the kit, and the winget manifest reads as winget reads it.
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
# The second folder built the program and the kit before, at another time, as the tests' build does.
(cd "$work/two/a/much/deeper/src" && export SOURCE_DATE_EPOCH=1700000000 && cmake --preset windows >/dev/null &&
  cmake --build --preset windows --target installer test_kit >"$work/earlier.log" 2>&1)
second=$(cd "$work/two/a/much/deeper/src" && tools/package.sh 2>"$work/two.log" | tail -n1)
cmp "$first" "$second" || fail "a folder built in before gives other bytes: the installer"
cmp "$(dirname "$first")/package/PalvenorServer.exe" "$(dirname "$second")/package/PalvenorServer.exe" ||
  fail "a folder built in before gives other bytes: the program"
cmp "$(dirname "$first")"/*-tests.zip "$(dirname "$second")"/*-tests.zip || fail "a folder built in before gives other bytes: the test kit"
(cd "$(dirname "$first")" && sha256sum --quiet -c SHA256SUMS) || fail "SHA256SUMS does not name the installer and the kit"

# A throwaway certificate, made for this run only, its password in a file; the sign command lies in
# a folder whose path holds a space.
openssl req -x509 -newkey rsa:2048 -nodes -subj "/CN=Palvenor test signer" -days 2 \
  -keyout "$work/key.pem" -out "$work/cert.pem" 2>/dev/null
openssl pkcs12 -export -inkey "$work/key.pem" -in "$work/cert.pem" -passout pass:test -out "$work/signer.p12"
printf test >"$work/password"
mkdir -p "$work/sign tools"
cp "$source_dir/tools/sign-with-osslsigncode.sh" "$work/sign tools/"
cd "$work/two/a/much/deeper/src"
if SIGN_COMMAND=false tools/package.sh >"$work/false.log" 2>&1; then fail "a failing sign command did not stop the packaging"; fi
sign() {
  SIGN_COMMAND="$work/sign tools/sign-with-osslsigncode.sh" SIGN_PKCS12="$work/signer.p12" SIGN_PASSWORD_FILE="$work/password" \
    RELEASE_BASE_URL=https://downloads.example/palvenor/ tools/package.sh 2>"$work/signed.log" | tail -n1
}
signed=$(sign)
cp "$signed" "$work/signed-once.exe"
[ "$(sign)" = "$signed" ] && cmp "$signed" "$work/signed-once.exe" || fail "two signed packagings of one commit differ"
folder=$(dirname "$signed")
# Every program file the installer carries or unpacks: the program, the uninstaller, the plug-ins.
7z x -y -o"$work/unpacked" "$signed" >/dev/null
mapfile -t carried < <(find "$work/unpacked" -type f \( -iname '*.exe' -o -iname '*.dll' \))
[ "${#carried[@]}" -ge 3 ] || fail "the unpacked installer holds only ${#carried[@]} program files"
for file in "$signed" "${carried[@]}"; do
  osslsigncode verify -CAfile "$work/cert.pem" -in "$file" >/dev/null 2>&1 || fail "not signed: ${file#$work/}"
done

# package.sh checked the manifest it wrote; the check refuses a value winget would refuse.
mkdir -p "$work/broken" && cp "$folder"/Quorvane.PalvenorServer*.yaml "$work/broken"
sed -i 's/^Scope: machine/Scope: computer/' "$work/broken/Quorvane.PalvenorServer.installer.yaml"
if "$(command -v /usr/bin/python3 || command -v python3)" tools/check_winget_manifest.py "$work/broken" "$signed" \
  "https://downloads.example/palvenor/$(basename "$signed")" >/dev/null; then fail "a broken manifest passed"; fi

[ "$failures" -eq 0 ] || exit 1
echo "every packaging check passed"
