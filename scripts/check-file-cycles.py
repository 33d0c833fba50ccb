#!/usr/bin/env python3
"""Finds cycles between the files of the given static libraries: file A uses a
symbol defined in file B and B, directly or through others, one of A's. Prints
each cycle's files; exit status 1 when there is any but the ties below."""
import os
import re
import subprocess
import sys

# Files that the design itself makes use each other, each with its reason.
ALLOWED_TIES = {
    frozenset({"gfx/2d.cpp.o", "gfx/display.cpp.o"}):
        "the display makes, frees and restores the primary bitmap; the bitmaps draw through the display's DirectDraw object",
    frozenset({"input/keyboard.cpp.o", "input/mouse.cpp.o"}):
        "the keyboard owns the one DirectInput object the mouse is made from, and starts and ends the mouse with itself",
    frozenset({"shell/demo.cpp.o", "shell/winmain.cpp.o"}):
        "the program entry runs the demo's main, which makes the window through the entry's InitHwnd",
}


def library_of(archive):
    # libvelmora_gfx.a -> gfx
    name = os.path.basename(archive)
    return re.sub(r"^lib(velmora_)?|\.a$", "", name)


def symbols(archives):
    defined, used = {}, {}
    for archive in archives:
        out = subprocess.run(["nm", "-A", "-C", archive], capture_output=True, text=True, check=True).stdout
        for line in out.splitlines():
            # archive:member:address type name (no address for undefined ones)
            parts = line.split(":", 2)
            match = len(parts) == 3 and re.match(r"^\s*[0-9a-f]*\s+(\w)\s+(.*)$", parts[2])
            if not match:
                continue
            member, (kind, name) = library_of(archive) + "/" + parts[1], match.groups()
            used.setdefault(member, set())
            if kind == "U":
                used[member].add(name)
            elif kind in "TDBRVWu":
                defined.setdefault(name, set()).add(member)
    edges = {m: set() for m in used}
    for member, names in used.items():
        for name in names:
            for owner in defined.get(name, ()):
                if owner != member:
                    edges[member].add(owner)
    return edges


def cycles(edges):
    # Tarjan's strongly connected components; any with two or more files is a cycle.
    index, low, on_stack, stack, found, counter = {}, {}, set(), [], [], [0]

    def visit(v):
        index[v] = low[v] = counter[0]
        counter[0] += 1
        stack.append(v)
        on_stack.add(v)
        for w in sorted(edges[v]):
            if w not in index:
                visit(w)
                low[v] = min(low[v], low[w])
            elif w in on_stack:
                low[v] = min(low[v], index[w])
        if low[v] == index[v]:
            group = []
            while True:
                w = stack.pop()
                on_stack.discard(w)
                group.append(w)
                if w == v:
                    break
            if len(group) > 1:
                found.append(sorted(group))

    sys.setrecursionlimit(10000)
    for v in sorted(edges):
        if v not in index:
            visit(v)
    return found


def main():
    found = [group for group in cycles(symbols(sys.argv[1:])) if frozenset(group) not in ALLOWED_TIES]
    for group in found:
        print("files that use each other: " + ", ".join(group))
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main())
