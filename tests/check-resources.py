#!/usr/bin/env python3
"""Checks the built program's resources: its manifest asks for themed controls, per-monitor
scaling and the Windows versions it supports, and its program icon and both tray icons hold an
image for every size Windows asks for. Usage: check-resources.py PROGRAM.exe"""
import struct
import sys
import xml.etree.ElementTree as ElementTree

RT_ICON, RT_GROUP_ICON, RT_MANIFEST = 3, 14, 24
SIZES = {16, 20, 24, 32, 40, 48, 64, 256}
ICONS = {100: 'program', 133: 'connected', 134: 'not connected'}
WINDOWS_7_TO_11 = {'{35138b9a-5d96-4fbd-8e2d-a2440225f93a}', '{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}',
                   '{1f676c76-80e1-4239-95bb-83d0f6d0da78}', '{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}'}


def resources(path):
    """{(type, id): bytes} for every resource with a numeric type and id, first language."""
    data = open(path, 'rb').read()
    pe = struct.unpack_from('<I', data, 0x3C)[0]
    sections, optional = struct.unpack_from('<H', data, pe + 6)[0], struct.unpack_from('<H', data, pe + 20)[0]
    table = pe + 24 + optional
    rsrc = next(struct.unpack_from('<IIII', data, table + 40 * i + 8) for i in range(sections)
                if data[table + 40 * i:table + 40 * i + 8].rstrip(b'\0') == b'.rsrc')
    _, rva, _, raw = rsrc

    def entries(offset):
        named, numbered = struct.unpack_from('<HH', data, raw + offset + 12)
        for i in range(named + numbered):
            name, target = struct.unpack_from('<II', data, raw + offset + 16 + 8 * i)
            yield name, target

    found = {}
    for kind, types in entries(0):
        for ident, languages in entries(types & 0x7FFFFFFF):
            _, leaf = next(entries(languages & 0x7FFFFFFF))
            where, size = struct.unpack_from('<II', data, raw + leaf)
            found[(kind, ident)] = data[raw + where - rva:raw + where - rva + size]
    return found


def main():
    found = resources(sys.argv[1])
    failures = []
    groups = sorted(ident for kind, ident in found if kind == RT_GROUP_ICON)
    if not groups or groups[0] != 100:
        failures.append(f'the program icon is not the first icon group: {groups}')
    for ident, name in ICONS.items():
        group = found.get((RT_GROUP_ICON, ident))
        if group is None:
            failures.append(f'no {name} icon')
            continue
        count = struct.unpack_from('<H', group, 4)[0]
        sizes = {(struct.unpack_from('<B', group, 6 + 14 * i)[0] or 256) for i in range(count)}
        if sizes != SIZES:
            failures.append(f'the {name} icon has sizes {sorted(sizes)}, not {sorted(SIZES)}')

    manifest = ElementTree.fromstring(found[(RT_MANIFEST, 1)])
    text = {element.tag.split('}')[1]: (element.text or '').strip() for element in manifest.iter()}
    identities = [element.attrib for element in manifest.iter() if element.tag.endswith('assemblyIdentity')]
    if not any(i.get('name') == 'Microsoft.Windows.Common-Controls' and i.get('version') == '6.0.0.0'
               for i in identities):
        failures.append('no dependency on Common Controls 6.0.0.0')
    if text.get('dpiAwareness') != 'PerMonitorV2, PerMonitor' or text.get('dpiAware') != 'true/pm':
        failures.append(f'scaling is {text.get("dpiAwareness")!r} / {text.get("dpiAware")!r}')
    systems = {element.attrib.get('Id') for element in manifest.iter() if element.tag.endswith('supportedOS')}
    if systems != WINDOWS_7_TO_11:
        failures.append(f'supported systems {sorted(systems)}')
    levels = [element.attrib.get('level') for element in manifest.iter() if element.tag.endswith('requestedExecutionLevel')]
    if levels != ['asInvoker']:
        failures.append(f'execution level {levels}')
    for failure in failures:
        print(failure)
    if not failures:
        print('manifest and icons are complete')
    return 1 if failures else 0


if __name__ == '__main__':
    sys.exit(main())
