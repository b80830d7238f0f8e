#!/usr/bin/env python3
"""Layers point one way: every #include of src/ and every import of the page's
scripts is one that the table of docs/ARCHITECTURE.md allows, and the page's
own files hold none of the program's (Japanese) texts. Then, in a copy
of the tree, an include that the table forbids is planted once for each folder
(and a cycle, by allowing one back-edge), and the check must fail each time.

usage: layers_test.py SOURCE_DIR ARCHITECTURE_MD
"""
import pathlib
import re
import shutil
import sys
import tempfile

JAPANESE = re.compile(r'[\u3000-\u30ff\u4e00-\u9fff\uff00-\uffef]+')
INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]', re.M)
IMPORT = re.compile(r'^\s*(?:import\b[^;]*?\bfrom\s*|import\s*|export\b[^;]*?\bfrom\s*)'
                    r"['\"]([^'\"]+)['\"]|\brequire\s*\(|\bimport\s*\(", re.M)


def read_table(doc):
    """The rows of the layers table: folder -> (allowed folders, Qt)."""
    text = doc.read_text(encoding='utf-8')
    start = text.index('<!-- layers:')
    table = {}
    for line in text[start:].splitlines()[1:]:
        if not line.startswith('|'):
            if table:
                break
            continue
        cells = [c.strip() for c in line.strip('|').split('|')]
        if cells[0] in ('folder', '') or set(cells[0]) <= set('-'):
            continue
        table[cells[0]] = (set(cells[1].split()), cells[2] == 'Qt')
    return table


def cycle(table):
    """A folder on a cycle of the table, or None."""
    state = {}

    def visit(folder, path):
        if state.get(folder) == 'done':
            return None
        if state.get(folder) == 'open':
            return ' -> '.join(path + [folder])
        state[folder] = 'open'
        for below in sorted(table.get(folder, (set(), False))[0]):
            found = visit(below, path + [folder])
            if found:
                return found
        state[folder] = 'done'
        return None

    for folder in sorted(table):
        found = visit(folder, [])
        if found:
            return found
    return None


def faults(src, table):
    out = []
    folders = sorted(p.name for p in src.iterdir() if p.is_dir())
    for folder in folders:
        if folder not in table:
            out.append(f'{folder}/ has no row in the layers table')
    for folder, (allowed, _) in table.items():
        if folder not in folders:
            out.append(f'the layers table names {folder}/, which src/ does not have')
        for below in allowed - set(table):
            out.append(f'{folder} may include {below}, which the table does not have')
    found = cycle(table)
    if found:
        out.append(f'the layers table has a cycle: {found}')
    for path in sorted(src.rglob('*')):
        if path.suffix not in ('.h', '.cpp') or not path.is_file():
            continue
        folder = path.relative_to(src).parts[0]
        allowed, qt = table.get(folder, (set(), False))
        for kind, name in INCLUDE.findall(path.read_text(encoding='utf-8', errors='replace')):
            where = path.relative_to(src)
            if kind == '<' and re.match(r'Q[A-Za-z]*$', name.split('/')[0]) and not qt:
                out.append(f'{where}: Qt header <{name}> outside the Qt folders')
            top = name.split('/')[0]
            if kind == '"' and '/' in name and top != folder and top not in allowed:
                out.append(f'{where}: {folder}/ may not include "{name}"')
    site = src / 'web' / 'site'
    # The page's own files spell none of the program's texts: they come from
    # the core (the .in files get the captions at build time).
    for path in sorted(site.iterdir()) if site.is_dir() else []:
        text = path.read_text(encoding='utf-8', errors='replace')
        found = JAPANESE.search(text)
        if found:
            out.append(f'{path.relative_to(src)}: Japanese text {found.group(0)!r}, '
                       'which only the core may hold')
    for path in sorted(site.glob('*.js')) if site.is_dir() else []:
        for match in IMPORT.finditer(path.read_text(encoding='utf-8')):
            name = match.group(1)
            if name is None or not name.startswith('./') or '/' in name[2:]:
                out.append(f'{path.relative_to(src)}: imports {match.group(0).strip()!r}, '
                           'not one of the page\'s own scripts')
    return out


def main():
    src, doc = pathlib.Path(sys.argv[1]), pathlib.Path(sys.argv[2])
    table = read_table(doc)
    found = faults(src, table)
    for line in found:
        print(line)
    if found:
        return 1
    print('layers point one way')

    # Each folder planted with an include of each folder it may not reach, and
    # of Qt where it may not; a script importing from outside the page; the
    # table with a back-edge that closes a cycle. Each must be found.
    missed = 0
    with tempfile.TemporaryDirectory() as tmp:
        copy = pathlib.Path(tmp) / 'src'
        shutil.copytree(src, copy)

        def plant(path, text, what):
            nonlocal missed
            path.write_text(text, encoding='utf-8')
            if not faults(copy, table):
                print(f'missed: {what}')
                missed += 1
            path.unlink()

        for folder, (allowed, qt) in table.items():
            planted = copy / folder / 'planted_layer.h'
            for target in sorted(set(table) - allowed - {folder}):
                plant(planted, f'#include "{target}/planted.h"\n', f'{folder}/ including {target}/')
            if not qt:
                plant(planted, '#include <QWidget>\n', f'Qt in {folder}/')
        plant(copy / 'web' / 'site' / 'planted.js', "import { x } from '../../batch/x.js';\n",
              'a script importing from outside the page')
        plant(copy / 'web' / 'site' / 'planted.js', "const yes = 'はい';\n",
              'a text of the program in the page')
        premises_allowed, qt = table['premises']
        looped = dict(table)
        looped['premises'] = (premises_allowed | {'parlour'}, qt)
        if not cycle(looped):
            print('missed: a cycle premises -> parlour -> ... -> premises')
            missed += 1
        if not faults(copy, {k: v for k, v in table.items() if k != 'stats'}):
            print('missed: a folder without a row')
            missed += 1
    if missed:
        return 1
    print('and every forbidden include planted was found')
    return 0


if __name__ == '__main__':
    sys.exit(main())
