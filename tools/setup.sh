#!/usr/bin/env bash
# Installs everything the build and the tests need on a Debian 12 machine.
# Idempotent: when every package is already there it only checks and returns.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(
  cmake make g++ googletest libgtest-dev clang
  mingw-w64 g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  wine wine64 fonts-wine
  xvfb xdotool
  python3 python3-yaml strace iproute2
  nsis osslsigncode openssl p7zip-full
  locales fonts-wqy-microhei
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  echo "setup: installing ${missing[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# The server speaks the language of the locale under Wine: the language tests and the screenshots.
# The languages are the build's list; each one's locale is named in its file.
for code in $(sed -n 's/^set(PALVENOR_LANGUAGES \(.*\))$/\1/p' cmake/languages.cmake); do
  wanted=$(sed -n 's/^Locale: *//p' "src/resources/lang/$code.rc")
  if ! locale -a 2>/dev/null | grep -qi "^${wanted%%.*}\.utf-\?8$"; then
    sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo sed -i "s/^# *\(${wanted} UTF-8\)/\1/" /etc/locale.gen
    $sudo locale-gen >/dev/null
  fi
done
