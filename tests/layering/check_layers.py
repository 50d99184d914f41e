#!/usr/bin/env python3
"""The include rules that the build cannot hold.

Folders are layers, bottom to top: platform -> gradient -> pattern -> library
-> logic -> views (qt, win32) -> plugin, host, cli. The build compiles each
layer against an include root that shows only the folders below it
(cmake/PelmoraLayers.cmake), so "qt/x.h" or <qt/x.h> written in logic/ does
not compile. What it cannot see, this checks:

- includes written relative to the including file ("../qt/x.h", or
  "sub/x.h" next to it), which the compiler finds without any include root;
- toolkit headers, which are system headers, reached directly or through
  project headers: Qt belongs to the Qt views and to platform/qt/ (the
  system's dialogs and clipboard through Qt), the Win32 API to the platform
  (files, text, the system's dialogs) and to the Win32 views (windows);
- plugin/ and host/, whose toolkit headers belong to the files that compose
  windows (the module's composition roots, the stand-in launcher's windows);
- the Win32 windowing API used through <windows.h>, which the platform needs
  for files, text, colours and fonts, but whose windows belong to the views.

Commented-out lines and #if 0 blocks count for nothing.

Usage: check_layers.py ROOT (the tree to check; the project's by default)
"""
import collections
import os
import posixpath
import re
import sys

CORE = ["platform", "gradient", "pattern", "library"]
# The folders each folder's sources may include from.
ALLOWED = {
    "platform": {"platform"},
    "gradient": {"platform", "gradient"},
    "pattern": {"platform", "gradient", "pattern"},
    "library": set(CORE),
    "logic": set(CORE) | {"logic"},
    "qt": set(CORE) | {"logic", "qt"},
    "win32": set(CORE) | {"logic", "win32"},
    "plugin": set(CORE) | {"logic", "plugin"},
    "cli": set(CORE) | {"cli"},
    "host": set(CORE) | {"plugin", "host"},
}

EXTENSIONS = (".c", ".cc", ".cpp", ".cxx", ".h", ".hh", ".hpp", ".hxx", ".inl", ".ipp")

# What a system header brings.
QT = "Qt"
WIN32 = "Win32"  # the system: files, text, modules, processes
DIALOGS = "Win32 common dialogs"  # the system's own file and colour dialogs
WINDOWING = "Win32 windowing"  # making, drawing and driving windows

# The toolkits each folder may reach.
TOOLKITS = {
    # The dialog service calls the system's own dialogs.
    "platform": {WIN32, DIALOGS},
    "gradient": set(),
    "pattern": set(),
    "library": set(),
    "logic": set(),
    "qt": {QT},
    "win32": {WIN32, DIALOGS, WINDOWING},
    # The binding finds the launcher's functions with GetProcAddress.
    "plugin": {WIN32},
    "cli": set(),
    # The launcher finds its own file with GetModuleFileNameW.
    "host": {WIN32},
}
# A folder of a layer that stands for the system through a toolkit: the
# dialogs and the clipboard through Qt, as platform/win32/ holds Windows' own.
TOOLKIT_FOLDERS = {
    "platform/qt/": {QT},
}
# Where plugin/ and host/ meet a toolkit: the module's composition roots, and
# the stand-in launcher's windows and dialogs: each file with the folders it
# may include from beyond its own folder's, and the toolkits it may reach.
TOOLKIT_PARTS = {
    "plugin/QtComposition.cpp": ({"qt"}, {QT}),
    "plugin/Win32Composition.cpp": ({"win32"}, {WIN32, DIALOGS, WINDOWING}),
    "host/main.cpp": (set(), {QT}),
    "host/HostWindow.h": (set(), {QT}),
    "host/HostWindow.cpp": (set(), {QT}),
    "host/DialogAnswerer.h": (set(), {QT}),
    "host/DialogAnswerer.cpp": (set(), {QT}),
    "host/win32/main.cpp": (set(), {WIN32, DIALOGS, WINDOWING}),
    "host/win32/DialogAnswerer.h": (set(), {WIN32, DIALOGS, WINDOWING}),
    "host/win32/DialogAnswerer.cpp": (set(), {WIN32, DIALOGS, WINDOWING}),
}


QT_HEADER = re.compile(r"(^|/)Qt[A-Za-z0-9]*/|^Q[A-Za-z0-9_]*$")
# <windows.h> is the system's door: with WIN32_LEAN_AND_MEAN it brings files,
# text, modules, system colours, fonts and the message box, and with them
# winuser.h and wingdi.h, whose windowing the API scan below keeps out of the
# platform.
WIN32_HEADERS = {
    "windows.h", "winbase.h", "windef.h", "minwindef.h", "winnt.h", "winerror.h",
    "fileapi.h", "handleapi.h", "ioapiset.h", "errhandlingapi.h", "stringapiset.h",
    "winnls.h", "libloaderapi.h", "processthreadsapi.h", "processenv.h", "synchapi.h",
    "sysinfoapi.h", "memoryapi.h", "heapapi.h", "timezoneapi.h", "winreg.h", "winioctl.h",
    "winver.h", "psapi.h", "aclapi.h", "accctrl.h", "sddl.h", "securitybaseapi.h",
    "shlwapi.h", "pathcch.h", "knownfolders.h", "objbase.h", "combaseapi.h",
}
# The system's own dialogs, called and not built.
DIALOG_HEADERS = {"commdlg.h", "cderr.h"}
# Headers that exist to make, draw, theme and drive windows and controls.
WINDOWING_HEADERS = {
    "winuser.h", "wingdi.h", "windowsx.h", "commctrl.h", "commoncontrols.h", "prsht.h",
    "dlgs.h", "richedit.h", "richole.h", "shellapi.h", "shlobj.h", "shlobj_core.h",
    "shobjidl.h", "shobjidl_core.h", "uxtheme.h", "vssym32.h", "vsstyle.h", "dwmapi.h",
    "imm.h", "winres.h", "winresrc.h", "dde.h", "ddeml.h", "ole2.h", "oleidl.h",
    "olectl.h", "oleacc.h", "uiautomation.h", "htmlhelp.h", "gdiplus.h", "d2d1.h",
    "dwrite.h", "winspool.h", "zmouse.h", "tpcshrd.h",
}
# The parts of the Win32 API, reached through <windows.h>, that make windows:
# dialog templates and procedures, window classes and procedures, subclassing,
# hooks and message loops.
WINDOWING_API = re.compile(
    r"\b(DLGTEMPLATE(?:EX)?|DLGITEMTEMPLATE(?:EX)?|DLGPROC|WNDPROC|WNDCLASS(?:EX)?[AW]?"
    r"|DialogBox\w*|CreateDialog\w*|EndDialog|DefDlgProc[AW]?|WM_INITDIALOG"
    r"|IsDialogMessage[AW]?|CreateWindow\w*|RegisterClass\w*|DefWindowProc[AW]?"
    r"|CallWindowProc[AW]?|SetWindowSubclass|DefSubclassProc|SetWindowsHookEx[AW]?"
    r"|GetMessage[AW]?|DispatchMessage[AW]?|TranslateMessage)\b"
)

INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]*)[>"]')
CONDITIONAL = re.compile(r"^\s*#\s*(if|ifdef|ifndef|elif|else|endif)\b(.*)$")
RAW_PREFIXES = {"R", "u8R", "uR", "UR", "LR"}

Include = collections.namedtuple("Include", "line spelled angle")
Source = collections.namedtuple("Source", "includes code")


def toolkit_of(header):
    """The toolkit a system header belongs to, or None."""
    header = header.replace("\\", "/")
    if QT_HEADER.search(header):
        return QT
    name = header.rsplit("/", 1)[-1].lower()
    if name in WINDOWING_HEADERS:
        return WINDOWING
    if name in DIALOG_HEADERS:
        return DIALOGS
    if name in WIN32_HEADERS:
        return WIN32
    return None


def strip(text):
    """The text with comments blanked (kept) and with literals blanked too
    (bare), line for line."""
    kept, bare = [], []
    i, n = 0, len(text)

    def blank(part):
        return re.sub(r"[^\n]", " ", part)

    def take(j, kept_part=None, bare_part=None):
        part = text[i:j]
        kept.append(part if kept_part is None else kept_part)
        bare.append(part if bare_part is None else bare_part)
        return j

    while i < n:
        c = text[i]
        if text.startswith("//", i):
            j = text.find("\n", i)
            j = n if j < 0 else j
            i = take(j, blank(text[i:j]), blank(text[i:j]))
        elif text.startswith("/*", i):
            j = text.find("*/", i + 2)
            j = n if j < 0 else j + 2
            i = take(j, blank(text[i:j]), blank(text[i:j]))
        elif c.isalpha() or c == "_":
            j = i
            while j < n and (text[j].isalnum() or text[j] == "_"):
                j += 1
            word = text[i:j]
            if j < n and text[j] == '"' and word in RAW_PREFIXES:
                close = text.find("(", j)
                delimiter = ")" + text[j + 1:close] + '"' if close >= 0 else '"'
                end = text.find(delimiter, max(close, j))
                end = n if end < 0 or close < 0 else end + len(delimiter)
                # Its lines are no directives, nor is anything in them code.
                i = take(end, word + blank(text[j:end]), word + blank(text[j:end]))
            else:
                # A prefix (u8, L...) leaves its literal to the next step.
                i = take(j)
        elif c.isdigit() or (c == "." and i + 1 < n and text[i + 1].isdigit()):
            # A number, with its digit separators (1'000) and exponents.
            j = i + 1
            while j < n and (text[j].isalnum() or text[j] in "_.'" or
                             (text[j] in "+-" and text[j - 1] in "eEpP")):
                j += 1
            i = take(j)
        elif c in "\"'":
            j = i + 1
            while j < n and text[j] != c and text[j] != "\n":
                j += 2 if text[j] == "\\" else 1
            j = min(j + 1, n) if j < n and text[j] == c else j
            i = take(j, None, c + blank(text[i + 1:j]))
        else:
            i = take(i + 1)
    return "".join(kept).split("\n"), "".join(bare).split("\n")


def dead_lines(lines):
    """The numbers of the lines inside #if 0 blocks (to their #else, #elif or #endif)."""
    dead, depth = set(), 0  # depth: conditionals open inside the dead block, plus one
    for number, line in enumerate(lines, 1):
        directive = CONDITIONAL.match(line)
        word = directive.group(1) if directive else None
        if depth:
            if word in ("if", "ifdef", "ifndef"):
                depth += 1
            elif word == "endif" or (word in ("else", "elif") and depth == 1):
                depth -= 1
            if depth:
                dead.add(number)
        elif word == "if" and directive.group(2).strip() in ("0", "(0)", "false"):
            depth = 1
            dead.add(number)
    return dead


def read_source(path):
    with open(path, encoding="utf-8", errors="surrogateescape") as source:
        kept, bare = strip(source.read())
    dead = dead_lines(kept)
    includes = []
    code = []
    for number, (line, bare_line) in enumerate(zip(kept, bare), 1):
        if number in dead:
            continue
        found = INCLUDE.match(line)
        if found:
            includes.append(Include(number, found.group(2).strip(), found.group(1) == "<"))
        else:
            code.append((number, bare_line))
    return Source(includes, code)


class Tree:
    def __init__(self, root):
        self.root = root
        self.folders = set(ALLOWED) | {
            name for name in os.listdir(root) if os.path.isdir(os.path.join(root, name))}
        self.sources = {}
        for folder in sorted(ALLOWED):
            for dirpath, dirnames, files in os.walk(os.path.join(root, folder)):
                dirnames.sort()
                for name in sorted(files):
                    if name.endswith(EXTENSIONS):
                        path = os.path.join(dirpath, name)
                        rel = os.path.relpath(path, root).replace(os.sep, "/")
                        self.sources[rel] = read_source(path)

    def resolve(self, rel, include):
        """The project path an include names (relative to the root), or None
        for a header from outside the tree. As the compiler does, a quoted
        include is looked for beside the including file first."""
        spelled = include.spelled.replace("\\", "/")
        beside = posixpath.normpath(posixpath.join(posixpath.dirname(rel), spelled))
        from_root = posixpath.normpath(spelled)
        candidates = ([] if include.angle else [beside]) + [from_root]
        for candidate in candidates:
            inside = not candidate.startswith("../")
            if inside and os.path.isfile(os.path.join(self.root, candidate)):
                return candidate
        # A header that is not there (yet) is still the project's when its
        # path says so.
        if not include.angle and spelled.startswith(("./", "../")):
            return None if beside.startswith("../") else beside
        if from_root.split("/")[0] in self.folders:
            return from_root
        return None


def folder_of(rel):
    return rel.split("/", 1)[0]


def allowed_folders(rel):
    part = TOOLKIT_PARTS.get(rel)
    return ALLOWED[folder_of(rel)] | (part[0] if part else set())


def allowed_toolkits(rel):
    part = TOOLKIT_PARTS.get(rel)
    if part:
        return part[1]
    inside = [kits for prefix, kits in TOOLKIT_FOLDERS.items() if rel.startswith(prefix)]
    return inside[0] if inside else TOOLKITS[folder_of(rel)]


def problems(root):
    """Every broken rule in the tree at `root`, one "file:line: what" each."""
    tree = Tree(root)
    # Each include with the project file it names, or None for a system header.
    graph = {rel: [(include, tree.resolve(rel, include)) for include in source.includes]
             for rel, source in tree.sources.items()}
    found = []
    for rel, edges in graph.items():
        folder = folder_of(rel)
        folders = allowed_folders(rel)
        for include, target in edges:
            if target is not None and folder_of(target) not in folders:
                found.append(f"{rel}:{include.line}: {folder}/ includes {quoted(include)} "
                             f"from {folder_of(target)}/")
        found.extend(toolkit_problems(rel, graph, tree.sources))
        found.extend(windowing_problems(rel, tree.sources[rel]))
    return sorted(found, key=sort_key)


def quoted(include):
    return f"<{include.spelled}>" if include.angle else f'"{include.spelled}"'


def toolkit_problems(rel, graph, sources):
    """Toolkit headers a file reaches that it may not, directly or through
    project headers, each named with its include chain. A chain whose first
    step stays in the file's folder is reported at that step instead."""
    folder = folder_of(rel)
    toolkits = allowed_toolkits(rel)
    # Breadth first, so each header comes with its shortest chain of
    # (file, line) steps.
    chains = {rel: []}
    queue = collections.deque([rel])
    reported = set()
    while queue:
        current = queue.popleft()
        for include, target in graph[current]:
            chain = chains[current] + [(current, include.line)]
            if target is not None:
                if target in sources and target not in chains:
                    chains[target] = chain
                    queue.append(target)
                continue
            kind = toolkit_of(include.spelled)
            if kind is None or kind in toolkits or include.spelled in reported:
                continue
            first = chain[1][0] if len(chain) > 1 else None
            if first and folder_of(first) == folder and kind not in allowed_toolkits(first):
                continue
            reported.add(include.spelled)
            where = f"{rel}:{chain[0][1]}: {folder}/"
            if first is None:
                yield f"{where} includes the {kind} header {quoted(include)}"
            else:
                steps = " -> ".join(f"{file}:{line}" for file, line in chain[1:])
                yield f"{where} reaches the {kind} header {quoted(include)} through {steps}"


def windowing_problems(rel, source):
    """Windows made through <windows.h> where only the system's API belongs."""
    toolkits = allowed_toolkits(rel)
    if WIN32 not in toolkits or WINDOWING in toolkits:
        return
    folder = folder_of(rel)
    used = {}
    for number, line in source.code:
        for name in WINDOWING_API.findall(line):
            used.setdefault(name, number)
    for name, number in used.items():
        yield (f"{rel}:{number}: {folder}/ uses the Win32 windowing API ({name}); "
               "windows belong to the views")


def sort_key(problem):
    rel, line, rest = problem.split(":", 2)
    return rel, int(line), rest


def main(argv):
    if len(argv) > 2:
        print("usage: check_layers.py [ROOT]", file=sys.stderr)
        return 2
    root = argv[1] if len(argv) > 1 else os.path.join(os.path.dirname(__file__), "..", "..")
    root = os.path.abspath(root)
    if not any(os.path.isdir(os.path.join(root, folder)) for folder in ALLOWED):
        print(f"check_layers.py: {root} holds none of the layers' folders", file=sys.stderr)
        return 2
    found = problems(root)
    for problem in found:
        print(problem)
    if not found:
        print("layers: every include stays within its layer's reach")
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
