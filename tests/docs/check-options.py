#!/usr/bin/env python3
"""Keeps the manual page and the shell completions from drifting away from
the program: every option that `vorla-setting --help` lists is in each of
them, and each of them has no option that --help does not list. The manual
page's OPTIONS section has the short options too; the completions offer the
long ones.

    check-options.py <vorla-setting> <vorla-setting.1.in> <bash> <zsh> <fish>
"""

import re
import subprocess
import sys

OPTION = re.compile(r'(?<![\w-])--?[A-Za-z?][\w-]*')


def from_help(program):
    """The options --help lists: the words before each description."""
    text = subprocess.run([program, '--help'], capture_output=True, text=True, check=True).stdout
    options = set()
    for line in text.splitlines():
        if re.match(r'^\s+-', line):
            options.update(OPTION.findall(re.split(r'\s{2,}', line.strip())[0]))
    return options


def from_manual(path):
    """The options of the tags (the line after .TP) in the OPTIONS section."""
    options, section, tag_next = set(), None, False
    with open(path, encoding='utf-8') as f:
        for line in f:
            if line.startswith('.SH'):
                section = line[3:].strip().strip('"')
            elif section == 'OPTIONS' and line.startswith('.TP'):
                tag_next = True
            elif tag_next:
                options.update(OPTION.findall(line.replace('\\-', '-')))
                tag_next = False
    return options


def from_bash(path):
    """The words offered for an argument starting with "-" (compgen -W)."""
    text = open(path, encoding='utf-8').read()
    words = re.search(r"compgen -W '([^']*)'", text, re.S).group(1)
    return set(words.split())


def from_zsh(path):
    """The options of _arguments' entries, without their exclusion lists and
    descriptions, which name options too."""
    options = set()
    for line in open(path, encoding='utf-8'):
        if line.lstrip().startswith('"') or line.lstrip().startswith("'"):
            names = re.sub(r'\([^)]*\)|\[[^\]]*\]|:.*', '', line)
            options.update(OPTION.findall(names))
    return options


def from_fish(path):
    options = set()
    for line in open(path, encoding='utf-8'):
        if line.startswith('complete '):
            options.update('--' + name for name in re.findall(r'\s-l\s+([\w-]+)', line))
            options.update('-' + name for name in re.findall(r'\s-s\s+(\S)', line))
    return options


def main(program, manual, bash, zsh, fish):
    listed = from_help(program)
    longs = {o for o in listed if o.startswith('--')}
    rows = [  # (what, its options, what it must have)
        ('the manual page', from_manual(manual), listed),
        ('the bash completion', from_bash(bash), longs),
        ('the zsh completion', {o for o in from_zsh(zsh) if o.startswith('--')}, longs),
        ('the fish completion', {o for o in from_fish(fish) if o.startswith('--')}, longs),
    ]
    print('--help lists:', ' '.join(sorted(listed)))
    faults = 0
    for what, has, wanted in rows:
        for option in sorted(wanted - has):
            print(f'{what} lacks {option}, which --help lists')
            faults += 1
        for option in sorted(has - wanted):
            print(f'{what} has {option}, which --help does not list')
            faults += 1
    return 1 if faults else 0


if __name__ == '__main__':
    if len(sys.argv) != 6:
        sys.exit(__doc__)
    sys.exit(main(*sys.argv[1:]))
