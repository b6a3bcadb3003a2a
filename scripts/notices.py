#!/usr/bin/env python3
"""Checks that License.txt carries the notice of every runtime library Keyvane.exe
takes code from, as the linker's map names them.

    scripts/notices.py <Keyvane.map> <License.txt>

A library counts when the link took at least one member of it, or loaded it as an
object file. Each one must belong to a known notice, and License.txt must hold that
notice's heading and its own wording (conditions and disclaimers), so a library the
link starts to use, or a notice cut short, fails the package.
"""
import os
import re
import sys

# heading in License.txt -> phrases its text must hold
NOTICES = {
    "MinGW-w64 runtime": [
        "Copyright (c) 2009-2016 the mingw-w64 project",
        "2. Redistributions in binary form must reproduce the accompanying",
        "THIS SOFTWARE IS PROVIDED BY THE COPYRIGHT HOLDERS ``AS IS'' AND ANY",
    ],
    "GCC runtime libraries": [
        "GCC RUNTIME LIBRARY EXCEPTION",
        "Version 3.1, 31 March 2009",
        "GNU GENERAL PUBLIC LICENSE",
        "Version 3, 29 June 2007",
        "END OF TERMS AND CONDITIONS",
    ],
    "winpthreads": ["Lockless Inc."],
}
# members of the MinGW-w64 runtime under notices of their own
MEMBER_NOTICES = [
    (r"-(arithchk|dmisc|dtoa|g__fmt|g_[dfx]fmt|gdtoa|gethex|gmisc|hd_init|hexnan|misc|qnan|smisc|strtodg|strtodnrp|"
     r"strtof|strtopx|sum|ulp)\.o$|pformat", "LUCENT DISCLAIMS ALL WARRANTIES WITH REGARD TO THIS SOFTWARE,"),
    (r"-(qnan|strtodnrp)\.o$", "Copyright (C) 2004, 2005 David M. Gay"),
    (r"mingw_(pformat|v?[sfn]*printf)|-(basename|dirname)\.o$",
     "This is free software.  You may redistribute and/or modify it as you"),
]


def notice_of(path):
    name = os.path.basename(path)
    if re.match(r"lib(win)?pthread", name):
        return "winpthreads"
    if "/lib/gcc/" in path and not re.search(r"/i686-w64-mingw32/lib/|/x86_64-w64-mingw32/lib/", path):
        return "GCC runtime libraries"
    if re.search(r"-w64-mingw32/lib/", path):
        return "MinGW-w64 runtime"
    return None


def used_libraries(map_text):
    """{library path: [members taken]} of the files outside the build."""
    used = {}
    section = map_text.split("Archive member included", 1)[-1].split("\nMemory Configuration", 1)[0]
    for line in section.splitlines():
        m = re.match(r"^(/\S+?\.a)\(([^)]*)\)", line)
        if m:
            used.setdefault(os.path.normpath(m.group(1)), []).append(m.group(2))
    for m in re.finditer(r"^LOAD (/\S+\.o)$", map_text, re.M):
        used.setdefault(os.path.normpath(m.group(1)), []).append(os.path.basename(m.group(1)))
    return used


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    map_text = open(sys.argv[1], encoding="utf-8", errors="replace").read()
    licence = open(sys.argv[2], encoding="utf-8-sig").read().replace("\r\n", "\n")
    used = used_libraries(map_text)
    problems = []
    if not used:
        problems.append(f"{sys.argv[1]} names no runtime library: not a link map of Keyvane.exe")
    wanted = {}  # notice -> ([libraries], [phrases])
    for path, members in sorted(used.items()):
        notice = notice_of(path)
        if notice is None:
            problems.append(f"{path}: no notice is known for this library")
            continue
        libraries, phrases = wanted.setdefault(notice, ([], ["== %s ==" % notice] + NOTICES[notice]))
        libraries.append(os.path.basename(path))
        if notice == "MinGW-w64 runtime":
            phrases += [text for pattern, text in MEMBER_NOTICES
                        if text not in phrases and any(re.search(pattern, m) for m in members)]
    for notice, (libraries, phrases) in sorted(wanted.items()):
        missing = [text for text in phrases if text not in licence]
        if missing:
            problems.append(f"Keyvane.exe holds {', '.join(libraries)}, but License.txt lacks "
                            f"{'its' if len(libraries) == 1 else 'their'} notice: " + " / ".join(missing))
    for problem in problems:
        print("notices: " + problem, file=sys.stderr)
    if problems:
        sys.exit(1)
    print("notices: License.txt carries the notices of " + ", ".join(sorted(wanted)))

main()
