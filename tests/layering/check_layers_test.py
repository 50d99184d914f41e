#!/usr/bin/env python3
"""The layering check finds what it is meant to find, and nothing else: each
case plants one violation in a small tree and expects the check to fail,
naming the file and line."""
import contextlib
import io
import os
import shutil
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.dirname(__file__))
import check_layers  # noqa: E402

# A tree that keeps every rule, with the includes a careless check would
# misread: a subfolder next to the file named like a layer, a quoted include
# found beside the file, Win32 for the platform's files, text and the system's
# dialogs.
CLEAN = {
    "platform/bitmap.h": "#pragma once\n",
    "platform/win32/wide.h": "#include <string>\n",
    "platform/win32/fileio.cpp": '#include "platform/win32/wide.h"\n#include <windows.h>\n'
                                 "void Save() { CreateFileW(0, 0, 0, 0, 0, 0, 0); }\n",
    "platform/win32/Win32Prompts.cpp": "#include <windows.h>\n#include <commdlg.h>\n"
                                       "int Say() { return MessageBoxW(0, 0, 0, 0); }\n"
                                       "bool Open() { return GetOpenFileNameW(0); }\n",
    "platform/qt/QtPrompts.cpp": '#include "platform/bitmap.h"\n#include <QMessageBox>\n',
    "gradient/Gradient.h": '#include "platform/bitmap.h"\n#include "win32/Simd.h"\n',
    "gradient/win32/Simd.h": "#pragma once\n",
    "pattern/Pattern.h": "#include <gradient/Gradient.h>\n#include <vector>\n",
    "library/PatternLibrary.h": '#include "../pattern/Pattern.h"\n',
    "logic/PatternEditorLogic.h": '#include "library/PatternLibrary.h"\n#include "Detail.hpp"\n',
    "logic/Detail.hpp": '#include "platform/win32/wide.h"\n',
    "qt/PatternEditor.h": '#include "logic/PatternEditorLogic.h"\n'
                          "#include <QWidget>\n#include <QtGui/QPainter>\n",
    "win32/PatternEditor.h": '#include "logic/PatternEditorLogic.h"\n'
                             "#include <windows.h>\n#include <commctrl.h>\n",
    "win32/PatternEditor.cpp": '#include "win32/PatternEditor.h"\n'
                               "void Open() { CreateWindowExW(0, 0, 0); }\n",
    "plugin/EntryPoints.h": "#include <cstdint>\n",
    "plugin/HostBinding.cpp": "#include <windows.h>\n#include <dlfcn.h>\n",
    "plugin/QtComposition.cpp": '#include "qt/PatternEditor.h"\n#include <QPointer>\n',
    "plugin/Win32Composition.cpp": '#include "win32/PatternEditor.h"\n#include <windowsx.h>\n',
    "host/PluginModule.h": '#include "plugin/EntryPoints.h"\n',
    "host/HostWindow.cpp": '#include "host/PluginModule.h"\n#include <QMainWindow>\n',
    "host/HostCommands.cpp": '#include "win32/Paths.h"\n#include <windows.h>\n',
    "host/win32/Paths.h": "#pragma once\n",
    "host/win32/DialogAnswerer.cpp": "#include <windows.h>\n"
                                     "void Hook() { SetWindowsHookExW(0, 0, 0, 0); }\n",
    "cli/main.cpp": '#include "platform/win32/wide.h"\n#include <io.h>\n#include <fcntl.h>\n',
}

# Includes nobody compiles: each would break a rule if it were read.
COMMENTED_OUT = (
    '// #include "qt/PatternEditor.h"\n'
    "  //#include <QString>\n"
    '/* #include "plugin/EntryPoints.h" */\n'
    "/*\n#include <windowsx.h>\n#include <QWidget>\n*/\n"
    "#if 0\n#include <QPainter>\n#  if defined(X)\n#include <commctrl.h>\n#  endif\n"
    '#include "../qt/PatternEditor.h"\n#endif\n'
    'const char* kText = "#include <QString> // CreateWindowExW";\n'
    'const char* kRaw = R"x(\n#include <QLabel>\n)x";\n'
    "int kThousand = 1'000; /* a separator, not a character:\n#include <QString>\n*/\n"
)


def plant(files):
    root = tempfile.mkdtemp(prefix="layers-")
    for rel, text in files.items():
        path = os.path.join(root, rel)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "w", encoding="utf-8") as out:
            out.write(text)
    return root


class CheckLayersTest(unittest.TestCase):
    def found(self, changes):
        """The check's problems with the clean tree changed by `changes`."""
        root = plant({**CLEAN, **changes})
        self.addCleanup(shutil.rmtree, root)
        return check_layers.problems(root)

    def assertNames(self, changes, where, says):
        """The check fails with a problem at `where` (file:line) that says `says`."""
        found = self.found(changes)
        self.assertTrue(any(p.startswith(where + ":") and says in p for p in found),
                        f"expected {where}: ...{says}... in {found}")
        return found

    def test_a_tree_that_keeps_the_rules_passes(self):
        self.assertEqual(self.found({}), [])

    def test_commented_out_includes_and_literals_count_for_nothing(self):
        for folder in ("platform/win32", "gradient", "logic", "cli", "plugin"):
            with self.subTest(folder=folder):
                self.assertEqual(self.found({f"{folder}/Old.cpp": COMMENTED_OUT}), [])

    def test_the_live_branch_after_if_0_is_checked(self):
        for branch in ("#else", "#elif defined(_WIN32)"):
            with self.subTest(branch=branch):
                text = f"#if 0\n#include <QLabel>\n{branch}\n#include <QString>\n#endif\n"
                self.assertNames({"logic/Old.cpp": text}, "logic/Old.cpp:4", "Qt header <QString>")

    def test_upward_includes_however_written(self):
        cases = [
            ("quoted from the root", "pattern/Pattern.cpp", '"library/Wallpaper.h"', "library/"),
            ("angle brackets", "pattern/Pattern.cpp", "<library/PatternLibrary.h>", "library/"),
            ("relative to the file", "logic/PatternEditor.cpp", '"../qt/PatternEditor.h"', "qt/"),
            ("relative, deeper", "platform/win32/x.cpp", '"../../logic/Form.h"', "logic/"),
            ("relative, not there yet", "gradient/x.cpp", '"../plugin/Menu.h"', "plugin/"),
            ("a view from the module", "plugin/ModuleOperations.cpp", '"qt/PatternEditor.h"', "qt/"),
            ("the other view", "plugin/QtComposition.cpp", '"win32/PatternEditor.h"', "win32/"),
            ("the logic from the launcher", "host/HostApi.cpp", '"logic/Form.h"', "logic/"),
            ("a test helper", "library/x.cpp", '"tests/support/Fake.h"', "tests/"),
        ]
        for name, rel, header, folder in cases:
            with self.subTest(name):
                changes = {rel: f"#include {header}\n", "tests/support/Fake.h": "#pragma once\n"}
                self.assertNames(changes, f"{rel}:1", f"from {folder}")

    def test_every_source_extension_is_scanned(self):
        for extension in check_layers.EXTENSIONS:
            with self.subTest(extension=extension):
                rel = f"library/Store{extension}"
                self.assertNames({rel: "\n#include <QFile>\n"}, f"{rel}:2", "<QFile>")

    def test_toolkit_headers_where_they_do_not_belong(self):
        dialogs, windowing = "Win32 common dialogs", "Win32 windowing"
        cases = [
            ("Qt in the platform", "platform/text.cpp", "<QString>", "Qt"),
            ("Qt by module path", "gradient/x.cpp", "<QtGui/QImage>", "Qt"),
            ("Win32 in the platform's Qt part", "platform/qt/x.cpp", "<windows.h>", "Win32"),
            ("Win32 above the platform", "logic/x.cpp", "<windows.h>", "Win32"),
            ("Win32 in the renderer", "cli/main.cpp", "<Windows.h>", "Win32"),
            ("common dialogs above the platform", "library/x.cpp", "<commdlg.h>", dialogs),
            ("common dialogs in the module", "plugin/ModuleOperations.cpp", "<commdlg.h>", dialogs),
            ("Win32 in the Qt views", "qt/x.cpp", "<windows.h>", "Win32"),
            ("Qt in the Win32 views", "win32/x.cpp", "<QWidget>", "Qt"),
            ("Qt in the module", "plugin/ModuleOperations.cpp", "<QMessageBox>", "Qt"),
            ("controls in the module", "plugin/HostBinding.cpp", "<commctrl.h>", windowing),
            ("Win32 in the Qt root", "plugin/QtComposition.cpp", "<windowsx.h>", windowing),
            ("Qt in the launcher's commands", "host/HostCommands.cpp", "<QString>", "Qt"),
            ("controls in the launcher's pads", "host/PadStore.h", "<commctrl.h>", windowing),
        ]
        for name, rel, header, kind in cases:
            with self.subTest(name):
                self.assertNames({rel: f"#include {header}\n"}, f"{rel}:1",
                                 f"{kind} header {header}")

    def test_every_win32_windowing_header_is_kept_out_of_the_platform(self):
        rel = "platform/win32/syscolors.cpp"
        for header in sorted(check_layers.WINDOWING_HEADERS):
            with self.subTest(header=header):
                self.assertNames({rel: f"#include <windows.h>\n#include <{header}>\n"}, f"{rel}:2",
                                 f"Win32 windowing header <{header}>")

    def test_toolkit_headers_reached_through_project_headers(self):
        # A logic header through a platform header that includes Qt: both named.
        found = self.assertNames({
            "logic/Form.h": '#include "logic/Detail.hpp"\n#include "platform/text.h"\n',
            "platform/text.h": "#pragma once\n#include <QString>\n",
        }, "logic/Form.h:2", "reaches the Qt header <QString> through platform/text.h:2")
        self.assertTrue(any(p.startswith("platform/text.h:2:") for p in found), found)
        # <windows.h> is the platform's own but not the logic's: named for the
        # logic only, with every step.
        found = self.assertNames({
            "platform/win32/wide.h": '#include "platform/win32/detail.h"\n',
            "platform/win32/detail.h": "#include <windows.h>\n",
        }, "logic/Detail.hpp:1",
            "<windows.h> through platform/win32/wide.h:1 -> platform/win32/detail.h:1")
        self.assertFalse(any(p.startswith("platform/") for p in found), found)
        # Through a quoted header found beside the file.
        self.assertNames({
            "library/Store.cpp": '#include "detail/Io.h"\n',
            "library/detail/Io.h": '#include "../../platform/win32/detail.h"\n',
            "platform/win32/detail.h": "#include <windows.h>\n",
        }, "library/detail/Io.h:1", "<windows.h>")
        # The platform's Qt part is Qt's own, not the layers' above it.
        self.assertNames({
            "logic/Ask.cpp": '#include "platform/qt/QtPrompts.h"\n',
            "platform/qt/QtPrompts.h": "#include <QMessageBox>\n",
        }, "logic/Ask.cpp:1", "<QMessageBox> through platform/qt/QtPrompts.h:1")
        # Include cycles end.
        self.assertNames({
            "logic/A.h": '#include "logic/B.h"\n#include "platform/text.h"\n',
            "logic/B.h": '#include "logic/A.h"\n',
            "platform/text.h": "#include <QColor>\n",
        }, "logic/A.h:2", "<QColor>")

    def test_windowing_through_windows_h_is_the_views(self):
        cases = [
            ("a dialog procedure in the platform", "platform/win32/Box.cpp", "EndDialog(box, 1);"),
            ("the input box back in the platform", "platform/win32/Win32Prompts.cpp",
             "DialogBoxIndirectParamW(0, 0, 0, 0, 0);"),
            ("a window class in the platform", "platform/win32/Box.cpp", "WNDCLASSEXW box{};"),
            ("a message loop in the module", "plugin/ModuleOperations.cpp", "GetMessageW(&m, 0, 0, 0);"),
            ("a window in the launcher's commands", "host/HostCommands.cpp", "CreateWindowExW(0);"),
        ]
        for name, rel, code in cases:
            with self.subTest(name):
                text = f"#include <windows.h>\n// {code}\n\nvoid F() {{ {code} }}\n"
                self.assertNames({rel: text}, f"{rel}:4", "Win32 windowing API")

    def test_the_command_line_fails_naming_each_file(self):
        root = plant({**CLEAN, "logic/PatternEditor.cpp": '#include "../qt/PatternEditor.h"\n',
                      "platform/text.h": "#include <QString>\n"})
        self.addCleanup(shutil.rmtree, root)
        out = io.StringIO()
        with contextlib.redirect_stdout(out):
            status = check_layers.main(["check_layers.py", root])
        self.assertEqual(status, 1)
        named = {tuple(line.split(":", 2)[:2]) for line in out.getvalue().splitlines()}
        self.assertEqual(named, {("logic/PatternEditor.cpp", "1"), ("platform/text.h", "1")})

    def test_the_command_line_passes_a_clean_tree_and_refuses_another(self):
        root = plant(CLEAN)
        self.addCleanup(shutil.rmtree, root)
        with contextlib.redirect_stdout(io.StringIO()):
            self.assertEqual(check_layers.main(["check_layers.py", root]), 0)
        with contextlib.redirect_stderr(io.StringIO()):
            self.assertEqual(check_layers.main(["check_layers.py", os.path.join(root, "logic")]), 2)


if __name__ == "__main__":
    unittest.main()
