"""The program's files use each other in one direction only, read from the object files: a symbol
that one object file refers to and another defines is a use. No lower layer (src/net, src/advertise,
src/input, src/autostart, src/base) uses src/app, and no two files of src/ use each other, directly
or through others.
Usage: check-layers.py NM OBJECT_FOLDER..."""
import os
import re
import subprocess
import sys

LOWER = re.compile(r'/src/(net|advertise|input|autostart|base)/')


def symbols(nm, path, *flags):
    out = subprocess.run([nm, *flags, path], capture_output=True, text=True, check=True).stdout
    return {line.split()[-1] for line in out.splitlines() if line.split()}


def source_of(path):
    """src/app/tray.cpp for .../CMakeFiles/palvenor_win.dir/src/app/tray.cpp.obj."""
    match = re.search(r'/(src/.+?)\.(?:obj|o)$', path)
    return match.group(1) if match else None


def cycles(uses):
    """The groups of files that reach each other through their uses."""
    reach = {}
    for start in uses:
        seen, stack = set(), [start]
        while stack:
            for other in uses.get(stack.pop(), ()):
                if other not in seen:
                    seen.add(other)
                    stack.append(other)
        reach[start] = seen
    groups = {tuple(sorted({start} | {o for o in reach[start] if start in reach.get(o, ())}))
              for start in uses if start in reach[start]}
    return sorted(groups)


def main():
    nm, folders = sys.argv[1], sys.argv[2:]
    objects = {}
    for folder in folders:
        for root, _, files in os.walk(folder):
            for name in files:
                path = os.path.join(root, name)
                source = source_of(path)
                if source and name.endswith(('.obj', '.o')) and source not in objects:
                    objects[source] = path
    if not any('src/app/' in source for source in objects):
        print(f'no object files of src/app under {folders}')
        return 1
    defined, wanted = {}, {}
    for source, path in objects.items():
        wanted[source] = symbols(nm, path, '--undefined-only')
        for symbol in symbols(nm, path, '--defined-only', '--extern-only'):
            defined.setdefault(symbol, set()).add(source)
    # A symbol defined in several files is an inline function or a template instance: no use.
    uses = {source: {next(iter(defined[s])) for s in wanted[source] if len(defined.get(s, ())) == 1} - {source}
            for source in objects}
    failed = False
    for source in sorted(uses):
        upward = sorted(u for u in uses[source] if u.startswith('src/app/'))
        if LOWER.search('/' + source) and upward:
            print(f'{source} uses the application: {", ".join(upward)}')
            failed = True
    for group in cycles(uses):
        print('these files use each other: ' + ', '.join(group))
        failed = True
    if failed:
        return 1
    print(f'{len(objects)} files of src/ use each other in one direction only')
    return 0


if __name__ == '__main__':
    sys.exit(main())
