#!/usr/bin/env python3
"""The winget manifest that tools/package.sh writes, read as winget reads it: each file parsed as YAML,
every field checked against the rules of winget's 1.9.0 schema for it (type, allowed values,
pattern, length) and none the schema does not know; then the installer manifest against the
installer, its address and the setup's exit codes. A manifest winget would refuse is never published.
  check_winget_manifest.py FOLDER INSTALLER URL"""
import hashlib
import os
import re
import sys

import yaml

ID = r'^[^\.\s\\/:\*\?"<>\|\x01-\x1f]{1,32}(\.[^\.\s\\/:\*\?"<>\|\x01-\x1f]{1,32}){1,7}$'
LOCALE = r'^([a-zA-Z]{2,3}|[iI]-[a-zA-Z]+|[xX]-[a-zA-Z]{1,8})(-[a-zA-Z]{1,8})*$'
RESPONSES = ('packageInUse', 'packageInUseByApplication', 'installInProgress', 'fileInUse', 'missingDependency',
             'diskFull', 'insufficientMemory', 'invalidParameter', 'noNetwork', 'contactSupport',
             'rebootRequiredToFinish', 'rebootRequiredForInstall', 'rebootInitiated', 'cancelledByUser',
             'alreadyInstalled', 'downgrade', 'blockedByPolicy', 'systemNotSupported', 'custom')


def text(pattern=r'', least=1, most=10000):
    return lambda v: isinstance(v, str) and least <= len(v) <= most and re.match(pattern, v) is not None


def one_of(*values):
    return lambda v: v in values


def code(v):
    return type(v) is int and v != 0 and -2**31 <= v < 2**32


def record(fields):
    return lambda v: isinstance(v, dict) and not problems(v, fields)


def items(fields, most):
    return lambda v: isinstance(v, list) and 1 <= len(v) <= most and all(record(fields)(i) for i in v)


COMMON = {'PackageIdentifier': text(ID, 1, 128), 'PackageVersion': text(r'^[^\\/:\*\?"<>\|\x01-\x1f]+$', 1, 128),
          'ManifestVersion': text(r'^\d{1,5}(\.\d{1,5}){2}$')}
SCHEMAS = {
    'version': dict(COMMON, DefaultLocale=text(LOCALE, 1, 20), ManifestType=one_of('version')),
    'installer': dict(
        COMMON, InstallerType=one_of('msix', 'msi', 'appx', 'exe', 'zip', 'inno', 'nullsoft', 'wix', 'burn', 'pwa',
                                     'portable'),
        Scope=one_of('user', 'machine'), ElevationRequirement=one_of('elevationRequired', 'elevationProhibited',
                                                                     'elevatesSelf'),
        UpgradeBehavior=one_of('install', 'uninstallPrevious', 'deny'), ProductCode=text(r'', 1, 255),
        InstallerSwitches=record({k: text(r'', 1, 512) for k in ('Silent', 'SilentWithProgress', 'InstallLocation')}),
        ExpectedReturnCodes=items({'InstallerReturnCode': code, 'ReturnResponse': one_of(*RESPONSES)}, 128),
        Installers=items({'Architecture': one_of('x86', 'x64', 'arm', 'arm64', 'neutral'),
                          'InstallerUrl': text(r'^([Hh][Tt][Tt][Pp][Ss]?)://.+$', 1, 2048),
                          'InstallerSha256': text(r'^[A-Fa-f0-9]{64}$')}, 1024),
        ManifestType=one_of('installer')),
    'defaultLocale': dict(
        COMMON, PackageLocale=text(LOCALE, 1, 20), Publisher=text(r'', 2, 256), PackageName=text(r'', 2, 256),
        License=text(r'', 3, 512), Copyright=text(r'', 3, 512), ShortDescription=text(r'', 3, 256),
        ManifestType=one_of('defaultLocale')),
}


def problems(document, fields):
    return ([f'{name}: not a field the schema knows' for name in document if name not in fields] +
            [f'{name}: {document[name]!r} breaks its rule' for name, rule in fields.items()
             if name in document and not rule(document[name])])


def main(folder, installer, url):
    found, documents = [], {}
    for kind, name in (('version', ''), ('installer', '.installer'), ('defaultLocale', '.locale.en-US')):
        with open(os.path.join(folder, f'Quorvane.PalvenorServer{name}.yaml'), encoding='utf-8') as f:
            documents[kind] = yaml.safe_load(f)
        found += [f'{kind}: {p}' for p in problems(documents[kind], SCHEMAS[kind])]
        found += [] if documents[kind].get('ManifestType') == kind else [f'{kind}: ManifestType is not {kind}']
    entry = documents['installer']['Installers'][0]
    with open(installer, 'rb') as f:
        if entry.get('InstallerSha256', '').upper() != hashlib.sha256(f.read()).hexdigest().upper():
            found.append('InstallerSha256 is not the installer\'s')
    if entry.get('InstallerUrl') != url:
        found.append(f'InstallerUrl is {entry.get("InstallerUrl")}, not {url}')
    codes = {c.get('InstallerReturnCode'): c.get('ReturnResponse') for c in documents['installer']['ExpectedReturnCodes']}
    if codes != {1: 'cancelledByUser', 2: 'packageInUse', 3: 'invalidParameter'}:
        found.append(f'the setup\'s exit codes read as {codes}')
    for problem in found:
        print('FAIL:', problem)
    return 1 if found else 0


if __name__ == '__main__':
    sys.exit(main(*sys.argv[1:]))
