#!/usr/bin/env python3
"""Refuses an include that reaches up a library's layers.

    check-layers.py --library ROOT LAYER... [--library ROOT LAYER...]

Each LAYER is a folder under ROOT, lowest first ("." is ROOT itself); a source file may
include headers of its own layer and of the layers before it. Headers are included by
name and found through one include folder per layer, so a header name must be unique in
its library. A source file outside every layer, an include of a header name that two
layers hold, and an include of a higher layer's header each fail the check.

    check-layers.py --self-test

checks the checker on a small tree of its own: a clean one passes, one with an upward
include fails.
"""
import os
import re
import sys
import tempfile

INCLUDE = re.compile(r'^\s*#\s*include\s*"([^"]+)"', re.M)
SOURCE = ('.h', '.hpp', '.c', '.cpp')


def files_of(folder):
    return sorted(f for f in os.listdir(folder)
                  if f.endswith(SOURCE) and os.path.isfile(os.path.join(folder, f)))


def check_library(root, layers):
    """Returns the faults found in one library, as lines."""
    faults = []
    rank_of_header = {}
    sources = []
    placed = set()
    for rank, layer in enumerate(layers):
        folder = os.path.normpath(os.path.join(root, layer))
        placed.add(folder)
        for name in files_of(folder):
            path = os.path.join(folder, name)
            sources.append((path, rank))
            if name.endswith(('.h', '.hpp')):
                if name in rank_of_header:
                    faults.append('%s: the header name %s is also in %s' % (path, name, layers[rank_of_header[name]]))
                rank_of_header[name] = rank
    for folder, _, names in os.walk(root):
        if os.path.normpath(folder) not in placed and any(n.endswith(SOURCE) for n in names):
            faults.append('%s: a folder of sources outside every layer' % folder)
    for path, rank in sources:
        with open(path, encoding='utf-8', errors='replace') as f:
            text = f.read()
        for included in INCLUDE.findall(text):
            name = os.path.basename(included)
            if '/' in included or name not in rank_of_header:
                continue  # the library's public headers, a dependency's or the platform's
            if rank_of_header[name] > rank:
                faults.append('%s includes %s of %s, a layer above its own (%s)'
                              % (path, name, layers[rank_of_header[name]], layers[rank]))
    return faults


def parse(args):
    libraries = []
    for arg in args:
        if arg == '--library':
            libraries.append([None, []])
        elif not libraries:
            raise SystemExit(__doc__)
        elif libraries[-1][0] is None:
            libraries[-1][0] = arg
        else:
            libraries[-1][1].append(arg)
    if not libraries or any(root is None or not layers for root, layers in libraries):
        raise SystemExit(__doc__)
    return libraries


def self_test():
    def tree(files):
        top = tempfile.mkdtemp(prefix='layers-')
        for path, text in files.items():
            os.makedirs(os.path.dirname(os.path.join(top, path)), exist_ok=True)
            with open(os.path.join(top, path), 'w') as f:
                f.write(text)
        return top
    clean = {'low/A.h': '', 'high/B.h': '#include "A.h"\n', 'high/B.cpp': '#include "B.h"\n#include <windows.h>\n'}
    cases = [
        ('a clean tree', clean, 0),
        ('an upward include', dict(clean, **{'low/A.cpp': '#include "B.h"\n'}), 1),
        ('a header name in two layers', dict(clean, **{'high/A.h': ''}), 1),
        ('a folder outside the layers', dict(clean, **{'loose/C.cpp': ''}), 1),
    ]
    ok = True
    for what, files, want in cases:
        got = len(check_library(tree(files), ['low', 'high']))
        if (got > 0) != (want > 0):
            print('self-test: %s gave %d faults' % (what, got))
            ok = False
    return ok


def main(args):
    if args == ['--self-test']:
        return 0 if self_test() else 1
    if not self_test():
        return 1
    faults = []
    for root, layers in parse(args):
        faults += check_library(root, layers)
    for fault in faults:
        print(fault)
    return 1 if faults else 0


if __name__ == '__main__':
    sys.exit(main(sys.argv[1:]))
