#!/usr/bin/env python3
"""Checks the built program's icons, by their ids in its resource.h: the program icon and both tray
icons hold an image for every size Windows asks for, and the program icon comes first."""
import re
import struct
import sys

RT_GROUP_ICON = 14
SIZES = {16, 20, 24, 32, 40, 48, 64, 256}


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
    icons = {int(ident): name for name, ident in re.findall(r'^#define IDI_(\w+) (\d+)', open(sys.argv[2]).read(), re.M)}
    failures = []
    groups = sorted(ident for kind, ident in found if kind == RT_GROUP_ICON)
    if not groups or icons.get(groups[0]) != 'PROGRAM':
        failures.append(f'the program icon is not the first icon group: {groups}')
    for ident, name in icons.items():
        group = found.get((RT_GROUP_ICON, ident))
        if group is None:
            failures.append(f'no {name} icon')
            continue
        count = struct.unpack_from('<H', group, 4)[0]
        sizes = {(struct.unpack_from('<B', group, 6 + 14 * i)[0] or 256) for i in range(count)}
        if sizes != SIZES:
            failures.append(f'the {name} icon has sizes {sorted(sizes)}, not {sorted(SIZES)}')

    for failure in failures:
        print(failure)
    if not failures:
        print('every icon is complete')
    return 1 if failures else 0


if __name__ == '__main__':
    sys.exit(main())
