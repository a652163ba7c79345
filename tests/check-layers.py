"""The program's files use each other in one direction only. A use is an #include of another
file's header, or a symbol that one object file refers to and another defines; a file's header and
its source count as one file. Modules come in the order base < input < net < (pc, advertise,
autostart) < app, with resources beside base: a file uses only files of its own module or of a
lower one, and no two files use each other, directly or through others, inside a module too.
Usage: check-layers.py NM SOURCE_FOLDER OBJECT_FOLDER..."""
import os
import re
import subprocess
import sys

RANK = {'base': 0, 'resources': 0, 'input': 1, 'net': 2, 'pc': 3, 'advertise': 3, 'autostart': 3, 'app': 4}
INCLUDE = re.compile(r'^\s*#\s*include\s+"([a-z_]+/[A-Za-z0-9_./]+)\.(?:h|cpp)"', re.M)


def symbols(nm, path, *flags):
    out = subprocess.run([nm, *flags, path], capture_output=True, text=True, check=True).stdout
    return {line.split()[-1] for line in out.splitlines() if line.split()}


def source_of(path):
    """src/app/tray for .../CMakeFiles/palvenor_win.dir/src/app/tray.cpp.obj."""
    match = re.search(r'/(src/.+?)\.cpp\.(?:obj|o)$', path)
    return match.group(1) if match else None


def module(node):
    return node.split('/')[1]


def include_uses(source_folder):
    uses = {}
    for root, _, files in os.walk(source_folder):
        for name in files:
            if not name.endswith(('.h', '.cpp')):
                continue
            path = os.path.join(root, name)
            node = 'src/' + os.path.relpath(os.path.splitext(path)[0], source_folder).replace(os.sep, '/')
            with open(path, encoding='utf-8') as text:
                included = {'src/' + header for header in INCLUDE.findall(text.read())}
            uses.setdefault(node, set()).update(included - {node})
    return uses


def symbol_uses(nm, folders):
    objects = {}
    for folder in folders:
        for root, _, files in os.walk(folder):
            for name in files:
                source = source_of(os.path.join(root, name))
                if source and source not in objects:
                    objects[source] = os.path.join(root, name)
    defined, wanted = {}, {}
    for source, path in objects.items():
        wanted[source] = symbols(nm, path, '--undefined-only')
        for symbol in symbols(nm, path, '--defined-only', '--extern-only'):
            defined.setdefault(symbol, set()).add(source)
    # A symbol defined in several files is an inline function or a template instance: no use.
    return {source: {next(iter(defined[s])) for s in wanted[source] if len(defined.get(s, ())) == 1} - {source}
            for source in objects}


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
    nm, source_folder, object_folders = sys.argv[1], sys.argv[2], sys.argv[3:]
    uses = include_uses(source_folder)
    by_symbol = symbol_uses(nm, object_folders)
    if not any(module(node) == 'app' for node in by_symbol):
        print(f'no object files of src/app under {object_folders}')
        return 1
    for node, used in by_symbol.items():
        uses.setdefault(node, set()).update(used)
    failed = False
    for node in sorted(uses):
        for used in sorted(uses[node]):
            if module(used) != module(node) and RANK.get(module(used), 9) >= RANK.get(module(node), -1):
                print(f'{node} uses {used}, of a module not below its own')
                failed = True
    for group in cycles(uses):
        print('these files use each other: ' + ', '.join(group))
        failed = True
    if failed:
        return 1
    print(f'{len(uses)} files of src/ use each other in one direction only')
    return 0


if __name__ == '__main__':
    sys.exit(main())
