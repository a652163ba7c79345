#!/usr/bin/env python3
"""Every language's texts, from its one file src/resources/lang/<code>.rc: what the build makes of
them, and the check that none is missing.

  languages.py SOURCES OUTPUT CODE...   checks that every English text exists, not empty, in every
      language, then writes into OUTPUT the resource script that includes the languages'
      files, the header that lists their Windows language ids, the installer's languages and
      texts, and a list of the codes with their locales
  languages.py SOURCES --translations FILE CODE...   writes docs/translations.md
  languages.py SOURCES --stale FILE CODE...   fails when FILE is not what --translations writes

A language file holds its dialog texts (#define T_... "..."), its STRINGTABLE (IDS_... "...") and,
in a block the resource compiler skips, the installer's name for it, its Linux locale and the
installer's texts (NAME "...")."""
import os
import re
import sys

TEXT = re.compile(r'^\s*(?:#define\s+)?(T_[A-Z_]+|IDS_[A-Z_]+)\s+"(.*)"\s*$')
INSTALLER_TEXT = re.compile(r'^([A-Z][A-Z_]+)\s+"(.*)"\s*$')
FACT = re.compile(r'^(Name|Installer|Locale):\s*(.+?)\s*$')
LANGUAGE = re.compile(r'^LANGUAGE\s+(LANG_[A-Z_]+)\s*,\s*(SUBLANG_[A-Z_]+)')


def read(path):
    """The language's facts, its program texts and its installer texts, each in the file's order."""
    facts, texts, installer = {}, {}, {}
    skipped = False
    for line in open(path, encoding='utf-8'):
        line = line.rstrip('\n')
        if line.startswith('#if 0'):
            skipped = True
        elif line.startswith('#endif') and skipped:
            skipped = False
        elif skipped:
            fact, text = FACT.match(line), INSTALLER_TEXT.match(line)
            if fact:
                facts[fact.group(1)] = fact.group(2)
            elif text:
                installer[text.group(1)] = text.group(2)
        elif LANGUAGE.match(line):
            facts['id'] = 'MAKELANGID(%s, %s)' % LANGUAGE.match(line).groups()
        elif TEXT.match(line):
            name, text = TEXT.match(line).groups()
            texts[name] = text
    return facts, texts, installer


def load(sources, codes):
    return [(code,) + read(os.path.join(sources, 'src', 'resources', 'lang', code + '.rc')) for code in codes]


def missing(languages):
    """What a language lacks that English has, or holds empty, or what it is not told."""
    _, _, english, english_installer = languages[0]
    problems = []
    for code, facts, texts, installer in languages:
        for fact in ('Name', 'Installer', 'Locale', 'id'):
            if fact not in facts:
                problems.append(f'{code}.rc: no {fact}')
        for kind, theirs, ours in (('text', texts, english), ('installer text', installer, english_installer)):
            for name in ours:
                if not theirs.get(name, '').strip():
                    problems.append(f'{code}.rc: the {kind} {name} is missing or empty')
            for name in theirs:
                if name not in ours:
                    problems.append(f'{code}.rc: the {kind} {name} is not one of English')
    return problems


def nsis(text):
    return text.replace('"', '$\\"')


def write_build(languages, output):
    os.makedirs(output, exist_ok=True)
    files = {
        'languages.rc': ''.join(f'#include "resources/lang/{code}.rc"\n' for code, *_ in languages),
        'languages.h': '#define PALVENOR_LANGUAGE_IDS ' + ', '.join(f['id'] for _, f, _, _ in languages) + '\n',
        'languages.nsh': ''.join(f'!insertmacro MUI_LANGUAGE {f["Installer"]}\n' for _, f, _, _ in languages) +
        ''.join(f'LangString {name} ${{LANG_{f["Installer"].upper()}}} "{nsis(text)}"\n'
                for _, f, _, installer in languages for name, text in installer.items()),
        'languages.txt': ''.join(f'{code} {f["Locale"]}\n' for code, f, _, _ in languages),
    }
    for name, content in files.items():
        path = os.path.join(output, name)
        # Written only when changed, so that nothing is rebuilt for a configure that changed nothing.
        if not os.path.exists(path) or open(path, encoding='utf-8').read() != content:
            with open(path, 'w', encoding='utf-8') as file:
                file.write(content)


def translations(languages):
    def cell(text):
        return text.replace('|', '\\|')
    lines = [
        '# Translations', '',
        'Every text the program and its installer show, in each language, for a translator to review in one',
        'place. Written by `tools/languages.py` from the language files `src/resources/lang/*.rc` (one',
        'file a language); a test fails when it is stale. NSIS brings its own translations of its pages.',
        'Not translated: the window title "Quorvane Palvenor Server for Windows", the product and company',
        'names, the support address and the Startup shortcut\'s name. `%s` stands for an address or a title,',
        '`%1` for a name and `%2` for an address, `&` marks the menu key, `\\n` a new line, `${NAME}` the',
        'product\'s name and `$LogPath` the log\'s path.', '',
        '| Text | ' + ' | '.join(f['Name'] for _, f, _, _ in languages) + ' |',
        '|---|' + '---|' * len(languages),
    ]
    for part in (2, 3):
        for name in languages[0][part]:
            lines.append(f'| `{name}` | ' + ' | '.join(cell(language[part][name]) for language in languages) + ' |')
    return '\n'.join(lines) + '\n'


def main():
    sources, what, codes = sys.argv[1], sys.argv[2], sys.argv[3:]
    if what in ('--translations', '--stale'):
        target, codes = codes[0], codes[1:]
    languages = load(sources, codes)
    problems = missing(languages)
    if problems:
        sys.exit('languages: ' + '\n  '.join(problems))
    if what == '--translations':
        open(target, 'w', encoding='utf-8').write(translations(languages))
    elif what == '--stale':
        if open(target, encoding='utf-8').read() != translations(languages):
            sys.exit(f'{target} is stale: run tools/languages.py {sources} --translations {target} ' + ' '.join(codes))
    else:
        write_build(languages, what)


if __name__ == '__main__':
    main()
