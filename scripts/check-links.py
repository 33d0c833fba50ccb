#!/usr/bin/env python3
"""Checks that each folder's library in src/CMakeLists.txt links exactly what
its files use: the folders they include, the system libraries whose headers
they include, and the generated tables whose declarations they include. A use
that a header other folders include (a public header) makes is PUBLIC, any
other PRIVATE. Prints each difference; exit status 1 when there is any."""
import os
import re
import sys

SRC = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "src")

# The CMake name of what an include line names outside the folders.
SYSTEM = [
    (re.compile(r"^<SDL"), "PkgConfig::SDL2"),
    (re.compile(r"^<libopenmpt/"), "PkgConfig::OPENMPT"),
    (re.compile(r"^<(png|pngconf)\.h>"), "PNG::PNG"),
    (re.compile(r"^<zlib\.h>"), "ZLIB::ZLIB"),
    (re.compile(r"^<dlfcn\.h>"), "${CMAKE_DL_LIBS}"),
    (re.compile(r"^<lib(av|sw)"), "PkgConfig::FFMPEG"),
]
# Declarations of tables that a library of their own defines (generated files).
DATA = {"winapi/vga_font.h": "velmora_vga_font", "winapi/system_font.h": "velmora_vga_font"}

INCLUDE = re.compile(r'^\s*#\s*include\s*([<"][^>"]+[>"])', re.M)


def read(path):
    with open(path, encoding="utf-8") as f:
        return f.read()


def targets(cmake):
    """Each velmora_<folder> static library: its source files, PUBLIC and PRIVATE links."""
    found = {}
    for name, body in re.findall(r"add_library\((velmora_\w+) STATIC([^)]*)\)", cmake):
        found[name] = {"sources": body.split(), "public": set(), "private": set()}
    for name, body in re.findall(r"target_link_libraries\(\s*(velmora_\w+)\s([^)]*)\)", cmake):
        if name not in found:
            continue
        scope = "public"
        for word in body.split():
            if word in ("PUBLIC", "PRIVATE", "INTERFACE"):
                scope = word.lower()
            else:
                found[name][scope].add(word)
    return found


def uses_of(relative, text, folder):
    """What one file's include lines name outside its folder."""
    uses = set()
    for target in INCLUDE.findall(text):
        inner = target[1:-1]
        if inner in DATA:
            uses.add(DATA[inner])
        elif target[0] == '"' and "/" in inner and inner.split("/")[0] != folder:
            uses.add("velmora_" + inner.split("/")[0])
        for pattern, name in SYSTEM:
            if pattern.match(target):
                uses.add(name)
    return uses


def main():
    libraries = targets(read(os.path.join(SRC, "CMakeLists.txt")))
    folders = {name[len("velmora_"):] for name in libraries if os.path.isdir(os.path.join(SRC, name[len("velmora_"):]))}
    texts = {}
    for folder in folders:
        for file in sorted(os.listdir(os.path.join(SRC, folder))):
            if file.endswith((".h", ".cpp")):
                texts[folder + "/" + file] = read(os.path.join(SRC, folder, file))
    # Headers that files of other folders include, and the folder's own headers
    # those include in turn.
    public = set()
    for path, text in list(texts.items()) + [("main.cpp", read(os.path.join(SRC, "main.cpp")))]:
        for target in INCLUDE.findall(text):
            inner = target[1:-1]
            if inner in texts and inner.split("/")[0] != path.split("/")[0]:
                public.add(inner)
    grown = True
    while grown:
        grown = False
        for header in list(public):
            for target in INCLUDE.findall(texts[header]):
                inner = target[1:-1]
                if inner in texts and inner.split("/")[0] == header.split("/")[0] and inner not in public:
                    public.add(inner)
                    grown = True

    status = 0
    for name in sorted(libraries):
        folder = name[len("velmora_"):]
        if folder not in folders:
            continue
        built = set(libraries[name]["sources"])
        files = [p for p in texts if p.startswith(folder + "/") and (p.endswith(".h") or p in built)]
        needed_public, needed = set(), set()
        for path in files:
            uses = uses_of(path, texts[path], folder)
            needed |= uses
            if path in public:
                needed_public |= uses
        needed_private = needed - needed_public
        declared_public, declared_private = libraries[name]["public"], libraries[name]["private"]
        for what, want, have in (("PUBLIC", needed_public, declared_public), ("PRIVATE", needed_private, declared_private)):
            for missing in sorted(want - have):
                print(f"{name}: should link {missing} {what}")
                status = 1
            for extra in sorted(have - want):
                print(f"{name}: links {extra} {what}, which its files do not need so")
                status = 1
    return status


if __name__ == "__main__":
    sys.exit(main())
