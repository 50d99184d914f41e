#!/usr/bin/env python3
"""Fails when a source includes from a folder above its own layer, or when a
source below the views includes a Qt or Win32 windowing header.

Layers, bottom to top: platform -> gradient -> pattern -> library -> logic ->
views (qt, win32) -> plugin, host, cli. The module's composition roots are
the only plugin sources that may include the views.
"""
import os
import re
import sys

CORE = ["platform", "gradient", "pattern", "library"]
ALLOWED = {
    "platform": {"platform"},
    "gradient": {"platform", "gradient"},
    "pattern": {"platform", "gradient", "pattern"},
    "library": {"platform", "gradient", "pattern", "library"},
    "logic": set(CORE) | {"logic"},
    "qt": set(CORE) | {"logic", "qt"},
    "win32": set(CORE) | {"logic", "win32"},
    "plugin": set(CORE) | {"logic", "plugin"},
    "cli": set(CORE) | {"cli"},
    "host": set(CORE) | {"plugin", "host"},
}
# Where the module meets its views.
COMPOSITION_ROOTS = {"plugin/QtComposition.cpp": {"qt"}, "plugin/Win32Composition.cpp": {"win32"}}
# Folders whose code must not depend on a toolkit.
TOOLKIT_FREE = set(CORE) | {"logic", "cli"}

PROJECT_INCLUDE = re.compile(r'^\s*#\s*include\s+"([A-Za-z0-9_]+)/')
SYSTEM_INCLUDE = re.compile(r"^\s*#\s*include\s+<([^>]+)>")
QT_HEADER = re.compile(r"^(Q[A-Za-z]|Qt[A-Za-z]*/)")
WIN32_UI_HEADER = re.compile(r"^(windows|commctrl|commdlg|winuser|wingdi)\.h$", re.IGNORECASE)


def sources(root):
    for folder in ALLOWED:
        top = os.path.join(root, folder)
        for dirpath, _, files in os.walk(top):
            for name in files:
                if name.endswith((".cpp", ".h")):
                    path = os.path.join(dirpath, name)
                    yield folder, os.path.relpath(path, root).replace(os.sep, "/")


def problems(root):
    for folder, rel in sources(root):
        allowed = ALLOWED[folder] | COMPOSITION_ROOTS.get(rel, set())
        with open(os.path.join(root, rel), encoding="utf-8") as source:
            for number, line in enumerate(source, 1):
                where = f"{rel}:{number}"
                project = PROJECT_INCLUDE.match(line)
                if project and project.group(1) not in allowed:
                    yield f"{where}: {folder}/ includes from {project.group(1)}/"
                system = SYSTEM_INCLUDE.match(line)
                if system and folder in TOOLKIT_FREE:
                    header = system.group(1)
                    if QT_HEADER.match(header):
                        yield f"{where}: {folder}/ includes the Qt header <{header}>"
                    # The platform layer wraps the Win32 API; nothing above it may.
                    if folder != "platform" and WIN32_UI_HEADER.match(header):
                        yield f"{where}: {folder}/ includes the Win32 header <{header}>"


def main():
    root = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", "..")
    found = list(problems(os.path.abspath(root)))
    for problem in found:
        print(problem)
    if not found:
        print("layers: no source includes from a folder above its own")
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main())
