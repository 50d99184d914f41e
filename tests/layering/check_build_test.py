#!/usr/bin/env python3
"""The build check tells include roots that hold the layers from include
paths that do not, on a small tree with compile commands made up for it and
the real compiler."""
import json
import os
import shutil
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.dirname(__file__))
import check_build  # noqa: E402

FOLDERS = ["platform", "gradient", "pattern", "library", "logic", "qt", "plugin", "cli", "host"]
COMPILER = shutil.which("c++") or shutil.which("g++") or shutil.which("clang++")


class CheckBuildTest(unittest.TestCase):
    def setUp(self):
        self.root = tempfile.mkdtemp(prefix="layers-build-")
        self.addCleanup(shutil.rmtree, self.root)
        self.build = os.path.join(self.root, "build")
        for folder in FOLDERS:
            os.makedirs(os.path.join(self.root, folder))
            with open(os.path.join(self.root, folder, "x.h"), "w", encoding="utf-8") as out:
                out.write("#pragma once\n")
            with open(os.path.join(self.root, folder, "x.cpp"), "w", encoding="utf-8") as out:
                out.write(f'#include "{folder}/x.h"\n')
        # Each folder's include root, as cmake/PelmoraLayers.cmake makes them.
        self.include_roots = {}
        for folder in FOLDERS:
            root = os.path.join(self.build, "include-roots", folder)
            os.makedirs(root)
            for shown in check_build.check_layers.ALLOWED[folder]:
                os.symlink(os.path.join(self.root, shown), os.path.join(root, shown))
            self.include_roots[folder] = root
        self.entries = {folder: [f"-I{self.include_roots[folder]}"] for folder in FOLDERS}

    def commands(self, extra=()):
        entries = []
        for folder, flags in self.entries.items():
            arguments = [COMPILER, *flags, "-std=c++20", "-o", f"{folder}/x.o", "-c",
                         os.path.join(self.root, folder, "x.cpp")]
            entries.append({"directory": self.build, "file": arguments[-1],
                            "command": " ".join(arguments)})
        entries.extend(extra)
        with open(os.path.join(self.build, "compile_commands.json"), "w", encoding="utf-8") as out:
            json.dump(entries, out)
        return check_build.problems(self.build, self.root)

    def test_include_roots_that_hold_the_layers_pass(self):
        self.assertEqual(self.commands(), [])

    def test_the_source_root_on_a_layer_include_path_fails(self):
        self.entries["logic"].append(f"-I{self.root}")
        found = self.commands()
        self.assertTrue(any(p.startswith("logic/x.cpp: compiles with") and "qt/" in p
                            for p in found), found)
        # And the upward include the probe tries then compiles.
        self.assertIn('logic/x.cpp: #include "qt/x.h" compiles with its command', found)

    def test_a_root_showing_a_folder_above_fails(self):
        pattern = self.include_roots["pattern"]
        os.symlink(os.path.join(self.root, "library"), os.path.join(pattern, "library"))
        found = self.commands()
        self.assertIn(f"pattern/x.cpp: compiles with {pattern} on its include path, which shows "
                      "library/", found)

    def test_qt_headers_below_the_views_fail(self):
        self.entries["library"] += ["-isystem", "/usr/include/x86_64-linux-gnu/qt6/QtCore"]
        self.entries["qt"] += ["-isystem", "/usr/include/x86_64-linux-gnu/qt6/QtCore"]
        self.assertEqual(self.commands(), [
            "library/x.cpp: compiles with Qt's headers (/usr/include/x86_64-linux-gnu/qt6/QtCore) "
            "on its include path"])

    def test_tests_may_see_the_whole_tree(self):
        extra = [{"directory": self.build, "file": os.path.join(self.root, "plugin", "x.cpp"),
                  "command": f"{COMPILER} -I{self.root} -o tests/CMakeFiles/t.dir/x.o -c "
                             f"{os.path.join(self.root, 'plugin', 'x.cpp')}"}]
        self.assertEqual(self.commands(extra), [])

    def test_a_layer_the_build_does_not_compile_fails(self):
        del self.entries["cli"]
        self.assertEqual(self.commands(),
                         [f"cli/: no compile command in {self.build}/compile_commands.json"])


if __name__ == "__main__":
    unittest.main()
