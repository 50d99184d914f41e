#!/usr/bin/env python3
"""The layering check finds what it is meant to find, and nothing else."""
import os
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.dirname(__file__))
import check_layers  # noqa: E402


def tree(files):
    root = tempfile.mkdtemp(prefix="layers-")
    for rel, text in files.items():
        path = os.path.join(root, rel)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "w", encoding="utf-8") as out:
            out.write(text)
    return root


class CheckLayersTest(unittest.TestCase):
    def found(self, files):
        return sorted(check_layers.problems(tree(files)))

    def test_includes_downwards_and_within_pass(self):
        self.assertEqual(self.found({
            "pattern/Pattern.h": '#include "gradient/Gradient.h"\n#include "pattern/PadInfo.h"\n',
            "qt/PatternEditor.cpp": '#include "logic/PatternEditorLogic.h"\n#include <QWidget>\n',
            "plugin/QtComposition.cpp": '#include "qt/PatternEditor.h"\n',
            "platform/win32/fileio.cpp": "#include <windows.h>\n",
            "host/main.cpp": '#include "plugin/EntryPoints.h"\n',
        }), [])

    def test_each_upward_include_is_reported(self):
        self.assertEqual(self.found({
            "pattern/Pattern.h": '#include "library/PadInfo.h"\n',
            "gradient/GradientEditorMain.cpp": '#include "qt/QtPrompts.h"\n',
            "plugin/EntryPoints.cpp": '#include "qt/PatternEditor.h"\n',
            "logic/PatternEditorLogic.cpp": '#include "plugin/ModuleOperations.h"\n',
        }), [
            "gradient/GradientEditorMain.cpp:1: gradient/ includes from qt/",
            "logic/PatternEditorLogic.cpp:1: logic/ includes from plugin/",
            "pattern/Pattern.h:1: pattern/ includes from library/",
            "plugin/EntryPoints.cpp:1: plugin/ includes from qt/",
        ])

    def test_toolkit_headers_below_the_views_are_reported(self):
        self.assertEqual(self.found({
            "library/Wallpaper.cpp": "#include <QImage>\n",
            "logic/GradLogic.h": "  #  include <QtCore/QString>\n",
            "logic/ValueLogic.cpp": "#include <Windows.h>\n",
        }), [
            "library/Wallpaper.cpp:1: library/ includes the Qt header <QImage>",
            "logic/GradLogic.h:1: logic/ includes the Qt header <QtCore/QString>",
            "logic/ValueLogic.cpp:1: logic/ includes the Win32 header <Windows.h>",
        ])


if __name__ == "__main__":
    unittest.main()
