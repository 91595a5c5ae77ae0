#!/usr/bin/env python3
"""Writes THIRD-PARTY-NOTICES.txt for the static Windows executables.

What is inside is read from the linker's map files (ld -Map): every archive
member the link pulled in and every object file it loaded directly. A notice
is written for what was pulled in, and only for that: Qt's modules and the
third-party code Qt bundles (its qt_attribution.json files name the code and
its licence file; the sources behind Qt's objects are followed through every
include), hidapi, the MinGW-w64 runtime with winpthreads, and GCC's runtime
libraries. Everything else the link took must be on the lists below of the
program's own code and Windows' import libraries: anything that is not fails
the build with its name, so that nothing goes in without its notice.

  third-party-notices.py --output FILE --map MAP [--map MAP...]
      --qt-prefix DIR --qt-source DIR --qt-package "qt6-base VERSION" --qt-options FILE
      --hidapi-prefix DIR --hidapi-source DIR --title TEXT
"""
import argparse
import hashlib
import json
import os
import re
import subprocess
import sys

# "path/libX.a(member.obj)" anywhere in a line: a member the link took.
MEMBER = re.compile(r"([^\s(]+\.a)\(([^)\s]+)\)")
# "LOAD path": an input of the link; an object file among them goes in whole.
LOADED_OBJECT = re.compile(r"^LOAD (\S+\.o(?:bj)?)$")
INCLUDE = re.compile(r'^\s*#\s*include\s*[<"]([^>"]+)[>"]', re.M)

# GCC's runtime, under the GCC Runtime Library Exception (its start and end
# files included).
GCC_RUNTIME = {"libstdc++.a", "libsupc++.a", "libgcc.a", "libgcc_eh.a", "crtbegin.o", "crtend.o"}
# The MinGW-w64 runtime with winpthreads: its C runtime (libmsvcrt.a holds
# code of its own beside msvcrt.dll's imports), start files and the GUIDs of
# Windows' interfaces (libuuid.a, libdxguid.a).
MINGW_RUNTIME = {"libmingw32.a", "libmingwex.a", "libmoldname.a", "libmsvcrt.a", "libwinpthread.a",
                 "libpthread.a", "crt2.o", "crt2u.o", "libuuid.a", "libdxguid.a"}
# Windows' import libraries, which make the executables call DLLs that
# Windows brings: no code of theirs goes in.
WINDOWS_IMPORTS = {"lib%s.a" % name for name in (
    "advapi32", "authz", "comdlg32", "d3d11", "d3d9", "dwmapi", "dwrite", "dxgi", "gdi32", "hid", "imm32",
    "kernel32", "netapi32", "ole32", "oleaut32", "runtimeobject", "shcore", "shell32", "shlwapi",
    "synchronization", "user32", "userenv", "uxtheme", "version", "winmm", "ws2_32", "wtsapi32")}
# The program's own code: the archives and object files this build makes,
# which the link names relative to the build directory.
OWN_ARCHIVES = {"libvorla_core.a", "libvorla_protocol.a"}
OWN_OBJECTS = re.compile(r"^(?:[^/]+/)*CMakeFiles/[^/]+\.dir/")


def link_inputs(maps):
    """What the links took: {archive path: members}, and the object files loaded whole."""
    taken, objects = {}, set()
    for path in maps:
        with open(path, encoding="utf-8", errors="replace") as f:
            for line in f:
                loaded = LOADED_OBJECT.match(line.rstrip("\n"))
                if loaded:
                    objects.add(os.path.normpath(loaded.group(1)))
                for m in MEMBER.finditer(line):
                    taken.setdefault(os.path.normpath(m.group(1)), set()).add(m.group(2))
    return taken, objects


def unaccounted(taken, objects, qt_prefix, hidapi_prefix):
    """What the link took that is neither given a notice below nor on the lists above."""
    def known(path, own):
        name = os.path.basename(path)
        return (path.startswith((qt_prefix, hidapi_prefix)) or name in GCC_RUNTIME | MINGW_RUNTIME
                or (os.path.isabs(path) and name in WINDOWS_IMPORTS) or own(path))
    return sorted([a for a in taken if not known(a, lambda p: not os.path.isabs(p) and p in OWN_ARCHIVES)]
                  + [o for o in objects if not known(o, lambda p: not os.path.isabs(p) and OWN_OBJECTS.match(p))])


def package_version(name):
    try:
        return subprocess.run(["dpkg-query", "-W", "-f=${Version}", name], check=True,
                              capture_output=True, text=True).stdout.strip()
    except (OSError, subprocess.CalledProcessError):
        return "unknown"


def read(path):
    with open(path, encoding="utf-8", errors="replace") as f:
        return f.read()


class Texts:
    """Licence texts, each written once and referred to by number."""

    def __init__(self):
        self.order = []
        self.by_hash = {}

    def add(self, title, text):
        key = hashlib.sha256(text.encode()).hexdigest()
        if key not in self.by_hash:
            self.order.append((title, text))
            self.by_hash[key] = len(self.order)
        return "licence text [%d] below" % self.by_hash[key]




def source_index(qt_source):
    index = {}
    for root, _dirs, files in os.walk(os.path.join(qt_source, "src")):
        for name in files:
            index.setdefault(name, []).append(os.path.join(root, name))
    return index


def used_names(objects, index):
    """The source files behind the objects, and everything they include, by name."""
    names, pending = set(), []
    for obj in objects:
        source = os.path.basename(obj[:-4] if obj.endswith(".obj") else obj)
        if source not in names:
            names.add(source)
            pending.append(source)
    while pending:
        for path in index.get(pending.pop(), []):
            for included in INCLUDE.findall(read(path)):
                name = os.path.basename(included)
                if name not in names:
                    names.add(name)
                    pending.append(name)
    return names


def attribution_files(directory, entry):
    """The files an attribution speaks of: those it names, else its folder."""
    named = (entry.get("Files", "") + " " + entry.get("Path", "")).replace(",", " ").split()
    found = []
    for name in named:
        path = os.path.join(directory, name)
        if os.path.isfile(path):
            found.append(path)
        elif os.path.isdir(path):
            found += [os.path.join(r, f) for r, _d, fs in os.walk(path) for f in fs]
    if not found:
        found = [os.path.join(r, f) for r, _d, fs in os.walk(directory) for f in fs]
    return {os.path.basename(p) for p in found}


def qt_attributions(qt_source, used):
    for root, _dirs, files in sorted(os.walk(qt_source)):
        if "qt_attribution.json" not in files:
            continue
        # Some of them hold raw tabs inside strings.
        data = json.loads(read(os.path.join(root, "qt_attribution.json")), strict=False)
        for entry in data if isinstance(data, list) else [data]:
            if attribution_files(root, entry) & used:
                yield root, entry


def main():
    p = argparse.ArgumentParser()
    p.add_argument("--output", required=True)
    p.add_argument("--map", action="append", required=True)
    p.add_argument("--qt-prefix", required=True)
    p.add_argument("--qt-source", required=True)
    p.add_argument("--qt-package", required=True)
    p.add_argument("--qt-options", required=True)
    p.add_argument("--hidapi-prefix", required=True)
    p.add_argument("--hidapi-source", required=True)
    p.add_argument("--title", required=True)
    a = p.parse_args()

    taken, objects = link_inputs(a.map)
    prefix = os.path.normpath(a.qt_prefix) + os.sep
    unknown = unaccounted(taken, objects, prefix, os.path.normpath(a.hidapi_prefix) + os.sep)
    if unknown:
        sys.exit("third-party-notices.py: the link took what no notice covers and no list names as the program's\n"
                 "own or Windows' import libraries; give it a notice or a place on a list:\n  " + "\n  ".join(unknown))
    qt_taken = {path: members for path, members in taken.items() if path.startswith(prefix)}
    qt_objects = {path for path in objects if path.startswith(prefix)}
    # The other archives by name: libhidapi.a, libstdc++.a, ...
    archives = {os.path.basename(path) for path in taken if path not in qt_taken}
    texts = Texts()
    out = []
    w = out.append
    w(a.title)
    w("=" * len(a.title))
    w("")
    w("The executables are Vorla Setting itself, licensed under the GNU General Public")
    w("License, version 3 or later (LICENSE.txt), linked statically with the code below.")
    w("This list was made at build time from the linker's record of what went into them.")
    w("")

    section = 0
    qt_archives = sorted(os.path.basename(path) for path in qt_taken)
    if qt_archives:
        section += 1
        conf = read(os.path.join(a.qt_source, ".cmake.conf"))
        version = re.search(r'QT_REPO_MODULE_VERSION "([^"]+)"', conf).group(1)
        package, package_version_ = a.qt_package.split()
        options = [l for l in read(a.qt_options).splitlines() if l.strip() and not l.startswith("#")]
        lgpl = os.path.join(a.qt_source, "LICENSES", "LGPL-3.0-only.txt")
        w("%d. Qt %s (Qt Base)" % (section, version))
        w("-" * 40)
        w("Libraries and plugins inside: %s" % ", ".join(n[3:-2] for n in qt_archives))
        w("Source: the Debian source package %s %s (apt-get source %s=%s)," % (package, package_version_, package, package_version_))
        w("its upstream tree %s_%s.orig.tar.xz, built without Debian's patches." % (package, package_version_.split("-")[0]))
        w("Configured as a static library for x86_64-w64-mingw32 with:")
        w("    " + "\n    ".join(options))
        w("Licence: LGPL-3.0-only OR GPL-2.0-only OR GPL-3.0-only. Vorla Setting, itself")
        w("GPL-3.0-or-later, uses Qt under the GPL-3.0 (LICENSE.txt); the LGPL-3.0 is %s." % texts.add("GNU Lesser General Public License, version 3", read(lgpl)))
        w("Copyright (C) The Qt Company Ltd. and other contributors.")
        w("")
        used = used_names(set().union(*qt_taken.values(), qt_objects), source_index(a.qt_source))
        for number, (root, entry) in enumerate(qt_attributions(a.qt_source, used), 1):
            licence_file = entry.get("LicenseFile")
            w("%d.%d %s%s" % (section, number, entry.get("Name", entry.get("Id")),
                              " " + entry["Version"] if entry.get("Version") else ""))
            w("    inside Qt (%s): %s" % (os.path.relpath(root, a.qt_source), entry.get("QtUsage", "").strip()))
            w("    Copyright: " + entry.get("Copyright", "").strip().replace("\n", "\n               "))
            where = ""
            if licence_file and os.path.isfile(os.path.join(root, licence_file)):
                where = ", " + texts.add(entry.get("License", licence_file), read(os.path.join(root, licence_file)))
            w("    Licence: %s%s" % (entry.get("LicenseId", entry.get("License", "")), where))
            w("")

    if "libhidapi.a" in archives:
        section += 1
        version = read(os.path.join(a.hidapi_source, "VERSION")).strip()
        w("%d. hidapi %s" % (section, version))
        w("-" * 40)
        w("Source: the Debian source package hidapi %s, its Windows backend (windows/hid.c)." % package_version("libhidapi-dev"))
        w("Licence: GPL-3.0-only OR BSD-3-Clause OR the original HIDAPI licence, at the user's")
        w("choice; used here under the BSD-style licence, %s." % texts.add("hidapi: BSD-style licence", read(os.path.join(a.hidapi_source, "LICENSE-bsd.txt"))))
        w("hidapi's statement of the choice: " + texts.add("hidapi: the choice of licences", read(os.path.join(a.hidapi_source, "LICENSE.txt"))))
        w("")

    if archives & MINGW_RUNTIME:
        section += 1
        w("%d. MinGW-w64 runtime and winpthreads %s" % (section, package_version("mingw-w64-common")))
        w("-" * 40)
        w("Inside: %s" % ", ".join(sorted(archives & MINGW_RUNTIME)))
        w("Licence: ZPL-2.1 and others, as Debian's mingw-w64 package records them, %s."
          % texts.add("MinGW-w64 (Debian's copyright file of mingw-w64)", read("/usr/share/doc/mingw-w64-common/copyright")))
        w("")

    if archives & GCC_RUNTIME:
        section += 1
        gcc_copyright = read("/usr/share/doc/gcc-mingw-w64-base/copyright")
        start = gcc_copyright.index("GCC RUNTIME LIBRARY EXCEPTION")
        end = gcc_copyright.index("requirements of the license of GCC.", start) + len("requirements of the license of GCC.")
        w("%d. GCC runtime libraries %s" % (section, package_version("gcc-mingw-w64-x86-64-posix-runtime")))
        w("-" * 40)
        w("Inside: %s" % ", ".join(sorted(archives & GCC_RUNTIME)))
        w("Copyright (C) Free Software Foundation, Inc.")
        w("Licence: GPL-3.0-or-later WITH GCC-exception-3.1: the GPL-3.0 (LICENSE.txt) with the")
        w("GCC Runtime Library Exception, %s." % texts.add("GCC Runtime Library Exception, version 3.1", gcc_copyright[start:end] + "\n"))
        w("")

    w("Licence texts")
    w("=============")
    for number, (title, text) in enumerate(texts.order, 1):
        w("")
        w("[%d] %s" % (number, title))
        w("-" * 40)
        w(text.rstrip("\n"))
    # CR LF: the file is read on Windows, with Notepad among others.
    with open(a.output, "w", encoding="utf-8", newline="\r\n") as f:
        f.write("\n".join(out) + "\n")
    return 0


if __name__ == "__main__":
    sys.exit(main())
