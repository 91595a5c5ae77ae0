#!/usr/bin/env python3
"""Checks the Markdown files of the source tree, without the network:
- every relative link and image points to a file or folder that exists, and
  a link with a #fragment to a heading of its file, by GitHub's anchor rules;
- every path of the tree named in code (`scripts/release.sh`, a command in a
  code block) exists; a path is a word whose first part is a folder of the
  tree, taken up to its first placeholder (<version>, *, $VAR).

    check-links.py <source root>

Prints each fault as FILE:LINE: what, and ends with status 1 if there is one.
"""

import os
import re
import sys
import unicodedata
from fnmatch import fnmatch
from urllib.parse import unquote

FENCE = re.compile(r'^\s*(```|~~~)')
HEADING = re.compile(r'^ {0,3}(#{1,6})\s+(.*?)\s*#*\s*$')
CODE_SPAN = re.compile(r'(`+)(.+?)\1')
# [text](target "title") and ![alt](target); text may hold one level of [].
INLINE_LINK = re.compile(r'!?\[(?:[^\[\]]|\[[^\]]*\])*\]\(\s*<?([^)\s>]*)>?(?:\s+"[^"]*")?\s*\)')
REFERENCE = re.compile(r'^ {0,3}\[[^\]]+\]:\s*<?(\S+?)>?(?:\s+.*)?$')
SCHEME = re.compile(r'^[A-Za-z][A-Za-z0-9+.-]*:')
PLACEHOLDER = re.compile(r'[<*?{$\[]')


def slug(heading):
    """The anchor GitHub gives a heading: its text as shown, lower case,
    without punctuation but hyphens and underscores, spaces made hyphens."""
    text = re.sub(r'!?\[([^\]]*)\]\([^)]*\)', r'\1', heading)  # links: their text
    text = text.replace('`', '')
    text = re.sub(r'(\*\*|__|\*)', '', text)
    text = text.lower()
    kept = ''.join(c for c in text
                   if c in ' -_' or unicodedata.category(c)[0] in 'LMN')
    return kept.replace(' ', '-')


def lines_outside_code(path):
    """(line number, text) of the lines outside fenced code blocks, and the
    (line number, text) of the lines inside them."""
    prose, code, fence = [], [], None
    with open(path, encoding='utf-8') as f:
        for number, line in enumerate(f, 1):
            line = line.rstrip('\n')
            match = FENCE.match(line)
            if match and (fence is None or match.group(1) == fence):
                fence = match.group(1) if fence is None else None
                continue
            (code if fence else prose).append((number, line))
    return prose, code


def anchors(path, cache={}):
    if path not in cache:
        seen, result = {}, set()
        for _, line in lines_outside_code(path)[0]:
            match = HEADING.match(line)
            if not match:
                continue
            base = slug(match.group(2))
            count = seen.get(base, 0)
            seen[base] = count + 1
            result.add(base if count == 0 else f'{base}-{count}')
        cache[path] = result
    return cache[path]


def tree_folders(root):
    """The top-level folders of the tree, without those .gitignore keeps out
    of it (the build folders, release/)."""
    ignored = []
    gitignore = os.path.join(root, '.gitignore')
    if os.path.exists(gitignore):
        with open(gitignore, encoding='utf-8') as f:
            ignored = [line.strip().strip('/') for line in f
                       if line.strip().startswith('/') and line.strip().endswith('/')]
    return {name for name in os.listdir(root)
            if os.path.isdir(os.path.join(root, name)) and name != '.git'
            and not any(fnmatch(name, pattern) for pattern in ignored)}


def check_link(root, source, target):
    """What is wrong with a link from source to target, or None."""
    if not target or SCHEME.match(target) or target.startswith('//'):
        return None
    path, _, fragment = target.partition('#')
    path = unquote(path)
    if path.startswith('/'):
        resolved = os.path.join(root, path.lstrip('/'))
    elif path:
        resolved = os.path.normpath(os.path.join(os.path.dirname(source), path))
    else:
        resolved = source
    if not os.path.exists(resolved):
        return f'link to {target}: no such file'
    if fragment and resolved.endswith('.md') and os.path.isfile(resolved):
        if unquote(fragment).lower() not in anchors(resolved):
            return f'link to {target}: {os.path.relpath(resolved, root)} has no heading with that anchor'
    return None


def tree_paths(text, folders):
    """The words of code text that name a path in the tree, cut before
    their first placeholder."""
    for word in re.split(r'[\s"\'`=(),;|&>]+', text):
        word = word.removeprefix('./').rstrip('.:')
        cut = PLACEHOLDER.search(word)
        if cut:
            word = word[:cut.start()]
            # A placeholder inside a name leaves a stub of it: its folder is checked.
            if not word.endswith('/'):
                word = word.rpartition('/')[0]
        word = word.rstrip('/')
        if '/' in word and word.split('/', 1)[0] in folders:
            yield word


def check_file(root, path, folders):
    faults = []
    prose, code = lines_outside_code(path)
    for number, line in prose:
        spans = [m.group(2) for m in CODE_SPAN.finditer(line)]
        outside = CODE_SPAN.sub('', line)
        targets = [m.group(1) for m in INLINE_LINK.finditer(outside)]
        reference = REFERENCE.match(outside)
        if reference:
            targets.append(reference.group(1))
        for target in targets:
            fault = check_link(root, path, target)
            if fault:
                faults.append((number, fault))
        for span in spans:
            for word in tree_paths(span, folders):
                if not os.path.exists(os.path.join(root, word)):
                    faults.append((number, f'`{span}` names {word}, which is not in the tree'))
    for number, line in code:
        for word in tree_paths(line, folders):
            if not os.path.exists(os.path.join(root, word)):
                faults.append((number, f'the command names {word}, which is not in the tree'))
    return faults


def main(root):
    root = os.path.abspath(root)
    folders = tree_folders(root)
    markdown = []
    for directory, subdirectories, files in os.walk(root):
        subdirectories[:] = sorted(d for d in subdirectories
                                   if directory != root or d in folders)
        markdown += [os.path.join(directory, f) for f in sorted(files) if f.endswith('.md')]
    faults = 0
    for path in markdown:
        for number, fault in check_file(root, path, folders):
            print(f'{os.path.relpath(path, root)}:{number}: {fault}')
            faults += 1
    print(f'{len(markdown)} Markdown files, {faults} faults')
    return 1 if faults else 0


if __name__ == '__main__':
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    sys.exit(main(sys.argv[1]))
