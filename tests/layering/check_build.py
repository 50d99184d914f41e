#!/usr/bin/env python3
"""The build holds the layers: no source of a layer, the module or the
programs compiles with a folder beyond its reach, or a toolkit it may not use,
on its include path; and an upward include written in one of them does not
compile.

It reads the build tree's compile_commands.json. The rules are those of
check_layers.py (ALLOWED, TOOLKITS, TOOLKIT_PARTS), so the build and the
source check cannot drift apart. Sources compiled into tests, benchmarks and
fuzz targets stand above every layer and are left out.

Usage: check_build.py BUILD_DIR [ROOT]
"""
import json
import os
import re
import shlex
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.dirname(__file__))
import check_layers  # noqa: E402

# Bottom to top: the upward include tried is one from the lowest folder out of reach.
ORDER = ["platform", "gradient", "pattern", "library", "logic", "qt", "win32", "plugin", "cli",
         "host"]
# Folders every build compiles.
ALWAYS_BUILT = ["platform", "gradient", "pattern", "library", "logic", "plugin", "cli"]
UNLAYERED_OUTPUTS = ("tests/", "bench/", "fuzz/")
INCLUDE_FLAGS = ("-I", "-isystem", "-iquote", "-idirafter")
# Where the compiler finds Qt's headers.
QT_INCLUDE = re.compile(r"(^|/)(qt[56]|Qt[A-Za-z0-9]+)(/|$)")


def include_dirs(arguments, directory):
    dirs = []
    for i, argument in enumerate(arguments):
        for flag in INCLUDE_FLAGS:
            if argument == flag and i + 1 < len(arguments):
                dirs.append(arguments[i + 1])
            elif argument.startswith(flag) and argument != flag:
                dirs.append(argument[len(flag):])
    return [os.path.normpath(os.path.join(directory, d)) for d in dirs]


def shown_folders(directory, root):
    """The source tree's top folders that an include directory shows."""
    real_root = os.path.realpath(root)
    if os.path.realpath(directory) == real_root:
        return {name for name in os.listdir(root) if os.path.isdir(os.path.join(root, name))}
    if not os.path.isdir(directory):
        return set()
    shown = set()
    for name in os.listdir(directory):
        target = os.path.realpath(os.path.join(directory, name))
        if os.path.dirname(target) == real_root and os.path.isdir(target):
            shown.add(os.path.basename(target))
    return shown


def layered_entries(build, root):
    """(source relative to root, arguments, directory) for each compile of a
    source the layering rules cover, outside tests, benchmarks and fuzz targets."""
    with open(os.path.join(build, "compile_commands.json"), encoding="utf-8") as db:
        entries = json.load(db)
    real_root = os.path.realpath(root)
    for entry in entries:
        directory = entry["directory"]
        path = os.path.realpath(os.path.join(directory, entry["file"]))
        rel = os.path.relpath(path, real_root).replace(os.sep, "/")
        if rel.split("/", 1)[0] not in check_layers.ALLOWED:
            continue
        arguments = entry.get("arguments") or shlex.split(entry["command"])
        output = arguments[arguments.index("-o") + 1] if "-o" in arguments else ""
        output = os.path.relpath(os.path.join(directory, output), build).replace(os.sep, "/")
        if not output.startswith(UNLAYERED_OUTPUTS):
            yield rel, arguments, directory


def path_problems(rel, arguments, directory, root):
    folders = check_layers.allowed_folders(rel)
    toolkits = check_layers.allowed_toolkits(rel)
    for d in include_dirs(arguments, directory):
        beyond = sorted(f"{folder}/" for folder in shown_folders(d, root) - folders)
        if beyond:
            yield f"{rel}: compiles with {d} on its include path, which shows {', '.join(beyond)}"
        if check_layers.QT not in toolkits and QT_INCLUDE.search(d):
            yield f"{rel}: compiles with Qt's headers ({d}) on its include path"


def a_header_in(root, folder):
    for dirpath, dirnames, files in os.walk(os.path.join(root, folder)):
        dirnames.sort()
        for name in sorted(files):
            if name.endswith((".h", ".hpp")):
                return os.path.relpath(os.path.join(dirpath, name), root).replace(os.sep, "/")
    return None


def probe_command(arguments, directory, rel, root, probe):
    """The source's compile command turned on `probe`, checking syntax only."""
    source = os.path.realpath(os.path.join(root, rel))
    command = []
    skip = False
    for argument in arguments:
        if skip:
            skip = False
        elif argument in ("-o", "-MF", "-MT", "-MQ"):
            skip = True
        elif argument in ("-c", "-MD", "-MMD"):
            continue
        elif os.path.realpath(os.path.join(directory, argument)) != source:
            command.append(argument)
    return command + ["-fsyntax-only", probe]


def compile_problems(rel, arguments, directory, root):
    """Compiles `#include "F/x.h"` and `#include <F/x.h>` with the source's own
    command, F the lowest folder beyond its reach: each must fail for want of
    the header."""
    folders = check_layers.allowed_folders(rel)
    headers = (a_header_in(root, f) for f in ORDER if f not in folders)
    header = next((h for h in headers if h), None)
    if header is None:
        return
    # GCC's words, then clang's.
    not_found = re.compile(re.escape(header) + r"""['"]?(: No such file or directory|"""
                           r" file not found)")
    with tempfile.TemporaryDirectory(prefix="upward-") as scratch:
        probe = os.path.join(scratch, "probe.cpp")
        for spelled in (f'"{header}"', f"<{header}>"):
            with open(probe, "w", encoding="utf-8") as out:
                out.write(f"#include {spelled}\n")
            command = probe_command(arguments, directory, rel, root, probe)
            result = subprocess.run(command, cwd=directory, capture_output=True, text=True)
            if result.returncode == 0:
                yield f"{rel}: #include {spelled} compiles with its command"
            elif not not_found.search(result.stderr):
                yield f"{rel}: #include {spelled} fails, but not for want of it:\n{result.stderr}"


def problems(build, root):
    found = []
    tried = set()
    built = set()
    for rel, arguments, directory in layered_entries(build, root):
        folder = rel.split("/", 1)[0]
        built.add(folder)
        found.extend(path_problems(rel, arguments, directory, root))
        # One upward include is tried for each folder and reach.
        reach = (folder, frozenset(check_layers.allowed_folders(rel)))
        if reach not in tried:
            tried.add(reach)
            found.extend(compile_problems(rel, arguments, directory, root))
    for folder in ALWAYS_BUILT:
        if folder not in built:
            found.append(f"{folder}/: no compile command in {build}/compile_commands.json")
    return found


def main(argv):
    if len(argv) not in (2, 3):
        print("usage: check_build.py BUILD_DIR [ROOT]", file=sys.stderr)
        return 2
    build = os.path.abspath(argv[1])
    here = os.path.dirname(os.path.abspath(__file__))
    root = os.path.abspath(argv[2]) if len(argv) > 2 else os.path.dirname(os.path.dirname(here))
    if not os.path.isfile(os.path.join(build, "compile_commands.json")):
        print(f"check_build.py: no compile_commands.json in {build}", file=sys.stderr)
        return 2
    found = problems(build, root)
    for problem in found:
        print(problem)
    if not found:
        print("layers: each layer compiles with only the folders below it in reach")
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
