#!/usr/bin/env python3
"""Refuses a tie that reaches up a library's layers, by include and by link.

    check-layers.py [--nm NM --cxx CXX --ar AR]
                    --library ROOT [--archive ARCHIVE] LAYER... [--library ...]

Each LAYER is a folder under ROOT, lowest first ("." is ROOT itself); a source file may
include headers of its own layer and of the layers before it. Headers are included by
name and found through one include folder per layer, so a header name must be unique in
its library. A source file outside every layer, an include of a header name that two
layers hold, and an include of a higher layer's header each fail the check.

With --archive, the library as built is read too (with the toolchain's NM): each object
is the source of the same name, so a source name is also unique in its library, and
every symbol an object uses that the library defines must be defined in the object's
own layer or below. The few ties that reach up by design are the SEAMS below, each with
why; a seam that no object crosses any more fails too, so that the list stays true.

    check-layers.py --self-test [--nm NM --cxx CXX --ar AR]

checks the checker on small trees of its own: a clean one passes, one with an upward
include fails, and with the tools (CXX and AR build the trees' objects) a clean archive
passes, an upward tie in it fails and the same tie listed as a seam passes.
"""
import os
import re
import subprocess
import sys
import tempfile

INCLUDE = re.compile(r'^\s*#\s*include\s*"([^"]+)"', re.M)
SOURCE = ('.h', '.hpp', '.c', '.cpp')
HEADER = ('.h', '.hpp')

# (layer of the user, symbol as the toolchain's nm -C names it): why the tie is the design.
SEAMS = {
    ('core/resources', 'HiveUI::RegisterBuiltinControls(HiveUI::CControlFactory&)'):
        'the factory starts with every built-in class, the controls above the core among them',
    ('core/builder', 'HiveUI::AttachToParent(HiveUI::CControlUI*, HiveUI::CControlUI*, HiveUI::IContainerUI*&)'):
        'a tree node goes where the tree controls, above the core, take it',
    ('core/manager', 'HiveUI::CPaintManagerUI::FocusTakesTab() const'):
        'the Tab key stays with a focused control above the core that asks for it',
}


def files_of(folder):
    return sorted(f for f in os.listdir(folder)
                  if f.endswith(SOURCE) and os.path.isfile(os.path.join(folder, f)))


def check_includes(root, layers, rank_of_source, faults):
    """Fills rank_of_source (file name: layer rank) and adds the include faults."""
    sources = []
    placed = set()
    for rank, layer in enumerate(layers):
        folder = os.path.normpath(os.path.join(root, layer))
        placed.add(folder)
        for name in files_of(folder):
            path = os.path.join(folder, name)
            sources.append((path, rank))
            if name in rank_of_source:
                faults.append('%s: the file name %s is also in %s' % (path, name, layers[rank_of_source[name]]))
            rank_of_source[name] = rank
    for folder, _, names in os.walk(root):
        if os.path.normpath(folder) not in placed and any(n.endswith(SOURCE) for n in names):
            faults.append('%s: a folder of sources outside every layer' % folder)
    for path, rank in sources:
        with open(path, encoding='utf-8', errors='replace') as f:
            text = f.read()
        for included in INCLUDE.findall(text):
            name = os.path.basename(included)
            if '/' in included or not name.endswith(HEADER) or name not in rank_of_source:
                continue  # the library's public headers, a dependency's or the platform's
            if rank_of_source[name] > rank:
                faults.append('%s includes %s of %s, a layer above its own (%s)'
                              % (path, name, layers[rank_of_source[name]], layers[rank]))


def symbols_of(nm, archive):
    """{member: (defined, used)} of a static library, as nm -C names the symbols."""
    listing = subprocess.run([nm, '-C', archive], stdout=subprocess.PIPE, universal_newlines=True,
                             check=True).stdout
    members = {}
    member = None
    for line in listing.splitlines():
        if not line.strip():
            continue
        if not line[0].isspace() and line.endswith(':') and len(line.split(None, 2)) < 3:
            member = members.setdefault(line[:-1], (set(), set()))
        elif line[0].isspace():  # no address: used here, defined elsewhere
            kind, name = line.split(None, 1)
            if kind == 'U' and member is not None:
                member[1].add(name)
        else:
            fields = line.split(None, 2)
            # Upper case: seen by other objects; N and the like are debugging entries.
            if len(fields) == 3 and fields[1].isupper() and fields[1] not in 'UN' and member is not None:
                member[0].add(fields[2])
    return members


def check_links(nm, archive, layers, rank_of_source, seams, crossed, faults):
    """Adds a fault for every use of a symbol that only layers above the user's define."""
    ranks = {}
    members = symbols_of(nm, archive)
    for member in members:
        source = re.sub(r'\.(obj|o)$', '', member)
        if source not in rank_of_source:
            faults.append('%s: the object %s has no source in the layers' % (archive, member))
        ranks[member] = rank_of_source.get(source)
    lowest = {}  # symbol: the lowest layer that defines it
    for member, (defined, _) in members.items():
        if ranks[member] is None:
            continue
        for name in defined:
            lowest[name] = min(lowest.get(name, ranks[member]), ranks[member])
    for member, (_, used) in sorted(members.items()):
        rank = ranks[member]
        if rank is None:
            continue
        for name in sorted(used):
            if name not in lowest or lowest[name] <= rank:
                continue  # the platform's, a dependency's, or of this layer or below
            if (layers[rank], name) in seams:
                crossed.add((layers[rank], name))
                continue
            faults.append('%s (%s) uses %s, defined only above it (in %s)'
                          % (member, layers[rank], name, layers[lowest[name]]))


def check_library(root, layers, archive=None, nm=None, seams=SEAMS, crossed=None):
    """Returns the faults found in one library, as lines; adds the seams it crosses to crossed."""
    faults = []
    rank_of_source = {}
    check_includes(root, layers, rank_of_source, faults)
    if archive is not None:
        check_links(nm, archive, layers, rank_of_source, seams, set() if crossed is None else crossed, faults)
    return faults


def parse(args):
    tools = {}
    libraries = []
    words = list(args)
    while words:
        arg = words.pop(0)
        if arg in ('--nm', '--cxx', '--ar') and words:
            tools[arg[2:]] = words.pop(0)
        elif arg == '--library':
            libraries.append([None, None, []])
        elif not libraries:
            raise SystemExit(__doc__)
        elif arg == '--archive' and words:
            libraries[-1][1] = words.pop(0)
        elif libraries[-1][0] is None:
            libraries[-1][0] = arg
        else:
            libraries[-1][2].append(arg)
    if any(root is None or not layers for root, _, layers in libraries):
        raise SystemExit(__doc__)
    if any(archive is not None for _, archive, _ in libraries) and len(tools) < 3:
        raise SystemExit('check-layers.py: --archive needs --nm, --cxx and --ar (the self-test builds objects)')
    return tools, libraries


def self_test(tools):
    with tempfile.TemporaryDirectory(prefix='layers-') as scratch:
        return self_test_cases(scratch, tools)


def self_test_cases(scratch, tools):
    def tree(files):
        top = tempfile.mkdtemp(dir=scratch)
        for path, text in files.items():
            os.makedirs(os.path.dirname(os.path.join(top, path)), exist_ok=True)
            with open(os.path.join(top, path), 'w') as f:
                f.write(text)
        return top

    def archive_of(top, files):
        objects = []
        for path in files:
            if path.endswith('.cpp'):
                objects.append(os.path.join(top, os.path.basename(path) + '.obj'))
                subprocess.run([tools['cxx'], '-c', os.path.join(top, path), '-o', objects[-1]], check=True)
        archive = os.path.join(top, 'liblayers.a')
        subprocess.run([tools['ar'], 'qc', archive] + objects, check=True)
        return archive

    clean = {'low/A.h': '', 'high/B.h': '#include "A.h"\n', 'high/B.cpp': '#include "B.h"\n#include <windows.h>\n'}
    cases = [
        ('a clean tree', clean, 0),
        ('an upward include', dict(clean, **{'low/A.cpp': '#include "B.h"\n'}), 1),
        ('a header name in two layers', dict(clean, **{'high/A.h': ''}), 1),
        ('a folder outside the layers', dict(clean, **{'loose/C.cpp': ''}), 1),
    ]
    linked = {'low/A.cpp': 'int Low() { return 1; }\n', 'high/B.cpp': 'int Low();\nint High() { return Low(); }\n'}
    upward = dict(linked, **{'low/C.cpp': 'int High();\nint Up() { return High(); }\n'})
    link_cases = [
        ('a clean archive', linked, {}, 0),
        ('an upward tie', upward, {}, 1),
        ('an upward tie listed as a seam', upward, {('low', 'High()'): 'why'}, 0),
    ]
    ok = True
    for what, files, want in cases:
        got = len(check_library(tree(files), ['low', 'high']))
        if (got > 0) != (want > 0):
            print('self-test: %s gave %d faults' % (what, got))
            ok = False
    if all(tool in tools for tool in ('nm', 'cxx', 'ar')):
        for what, files, seams, want in link_cases:
            top = tree(files)
            got = len(check_library(top, ['low', 'high'], archive_of(top, files), tools['nm'], seams))
            if got != want:
                print('self-test: %s gave %d faults' % (what, got))
                ok = False
    return ok


def main(args):
    if args[:1] == ['--self-test']:
        tools, _ = parse(args[1:])
        return 0 if self_test(tools) else 1
    tools, libraries = parse(args)
    if not libraries:
        raise SystemExit(__doc__)
    if not self_test(tools):
        return 1
    faults = []
    crossed = set()
    for root, archive, layers in libraries:
        faults += check_library(root, layers, archive, tools.get('nm'), SEAMS, crossed)
    if any(archive is not None for _, archive, _ in libraries):
        for layer, name in sorted(set(SEAMS) - crossed):
            faults.append('the seam %s of %s is crossed no more: take it off the list' % (name, layer))
    for fault in faults:
        print(fault)
    return 1 if faults else 0


if __name__ == '__main__':
    sys.exit(main(sys.argv[1:]))
