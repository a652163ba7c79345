#!/usr/bin/env bash
# Builds the Release program, its Windows installer (NSIS, from tools/installer/palvenor.nsi) and
# the test kit for a Windows PC beside it (docs/testing.md), writes SHA256SUMS naming both, and
# prints the installer's path on the last line.
#
# The same commit gives the same bytes wherever and whenever it is built, whatever was built in the
# folder before: programs carry no time, and the packages' times come from the commit
# (SOURCE_DATE_EPOCH), signatures' too.
# SIGN_COMMAND: a command that signs the file named as its last argument in place; the program,
#   the uninstaller and the installer are signed with it, and a failure stops the packaging.
# RELEASE_BASE_URL: the address the installer will be published under; a winget manifest (version,
#   installer and default-locale files) is written beside the installer, and checked as winget reads it.
set -euo pipefail
cd "$(dirname "$0")/.."
# As many build jobs as the machine has processors, unless told otherwise.
export CMAKE_BUILD_PARALLEL_LEVEL="${CMAKE_BUILD_PARALLEL_LEVEL:-$(nproc)}"
tools/setup.sh >&2
if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
  SOURCE_DATE_EPOCH=$(git log -1 --format=%ct 2>/dev/null || echo 0)
fi
export SOURCE_DATE_EPOCH
cmake --preset windows >/dev/null
installer=$(cat build/windows/installer-path.txt)
kit=$(cat build/windows/test-kit-path.txt)
# Made anew with this commit's time, never taken from an earlier build in the folder.
rm -rf "$installer" "$kit" build/windows/package
cmake --build --preset windows --target installer test_kit >&2
folder=$(dirname "$installer")
name=$(basename "$installer")
(cd "$folder" && sha256sum "$name" "$(basename "$kit")" >SHA256SUMS)

if [ -n "${RELEASE_BASE_URL:-}" ]; then
  version=$(sed -n 's/^project(PalvenorServer VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
  hash=$(sha256sum "$installer" | cut -d' ' -f1 | tr a-f A-F)
  id=Quorvane.PalvenorServer
  schema=1.9.0
  cat >"$folder/$id.yaml" <<MANIFEST
# yaml-language-server: \$schema=https://aka.ms/winget-manifest.version.$schema.schema.json
PackageIdentifier: $id
PackageVersion: $version
DefaultLocale: en-US
ManifestType: version
ManifestVersion: $schema
MANIFEST
  cat >"$folder/$id.installer.yaml" <<MANIFEST
# yaml-language-server: \$schema=https://aka.ms/winget-manifest.installer.$schema.schema.json
PackageIdentifier: $id
PackageVersion: $version
InstallerType: nullsoft
Scope: machine
ElevationRequirement: elevatesSelf
UpgradeBehavior: install
ProductCode: Palvenor Server
InstallerSwitches:
  Silent: /S
  SilentWithProgress: /S
  InstallLocation: /D=<INSTALLPATH>
ExpectedReturnCodes:
- InstallerReturnCode: 1
  ReturnResponse: cancelledByUser
- InstallerReturnCode: 2
  ReturnResponse: packageInUse
- InstallerReturnCode: 3
  ReturnResponse: invalidParameter
Installers:
- Architecture: x64
  InstallerUrl: ${RELEASE_BASE_URL%/}/$name
  InstallerSha256: $hash
ManifestType: installer
ManifestVersion: $schema
MANIFEST
  cat >"$folder/$id.locale.en-US.yaml" <<MANIFEST
# yaml-language-server: \$schema=https://aka.ms/winget-manifest.defaultLocale.$schema.schema.json
PackageIdentifier: $id
PackageVersion: $version
PackageLocale: en-US
Publisher: Quorvane
PackageName: Palvenor Server
License: Proprietary
Copyright: © 2026 Quorvane. All rights reserved.
ShortDescription: Lets the Palvenor phone app act as a wireless mouse and keyboard for this PC.
ManifestType: defaultLocale
ManifestVersion: $schema
MANIFEST
  "$(command -v /usr/bin/python3 || command -v python3)" tools/check_winget_manifest.py "$folder" "$installer" \
    "${RELEASE_BASE_URL%/}/$name" >&2
fi
echo "$installer"
