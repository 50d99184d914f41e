#!/usr/bin/env python3
"""End-to-end runs of the Windows stand-in launcher and module under Wine,
checked against the Linux build doing the same steps.

With the test prefix's standard look (the colours and name height Linux
uses), the Windows module must write byte-identical wallpapers and the same
settings file (folder paths aside, which each system spells its own way).
With Wine's own font and with other colours, the wallpapers must follow them.
Also: Shift-JIS paths whose trail bytes look like a backslash, and failed
writes that keep the old file. Prints "N passed, M failed".

With --session, it compares instead what the scripted editor session (the
Win32 UI suite's UserSession) and its Linux twin (the Qt walk-through) wrote.
"""
import argparse
import os
import shutil
import struct
import subprocess
import sys
import tempfile

PADS = [
    (1, 80, 60, 1, 0, "$8000000F"),
    (2, 120, 40, 2, 1, "$00204080"),
    (3, 48, 48, 0, 0, "$0000C0FF"),
]
SAMPLES = ["basic.ptn", "gradients.ptn", "showcase.ptn"]


class Checks:
    def __init__(self):
        self.passed = 0
        self.failed = 0

    def check(self, ok, what, detail=""):
        if ok:
            self.passed += 1
        else:
            self.failed += 1
            print(f"FAILED: {what}" + (f"\n{detail}" if detail else ""))
        return ok


def windows_path(path):
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def write_pads(path):
    with open(path, "wb") as out:
        for pad, width, height, caption, small, color in PADS:
            out.write(
                f"[{pad}]\r\nBtnWidth={width}\r\nBtnHeight={height}\r\nBtnCaption={caption}\r\n"
                f"BtnSmallIcon={small}\r\nBtnColor={color}\r\nWallPaper=\r\n\r\n".encode()
            )


def read(path):
    with open(path, "rb") as f:
        return f.read()


def pixel(bmp, x, y):
    """(r, g, b) of a bottom-up 24-bit BMP."""
    offset, width, height = struct.unpack_from("<I", bmp, 10)[0], *struct.unpack_from("<ii", bmp, 18)
    stride = (width * 3 + 3) & ~3
    row = height - 1 - y
    b, g, r = bmp[offset + row * stride + x * 3 : offset + row * stride + x * 3 + 3]
    return (r, g, b)


class Side:
    """One launcher (Linux or Windows) with its own folder of files."""

    def __init__(self, name, folder, run, path_text, host, module):
        self.name = name
        self.folder = folder
        self.run_process = run
        self.path_text = path_text
        self.host = host
        self.module = module
        os.makedirs(folder, exist_ok=True)

    def file(self, name):
        return os.path.join(self.folder, name)

    def host_run(self, *args, settings="Pelmora.ini", pads="pads.ini"):
        command = [
            self.host,
            "--pads", self.path_text(self.file(pads)),
            "--settings", self.path_text(self.file(settings)),
            "--module", self.path_text(self.module),
            *args,
        ]
        return self.run_process(command)


def linux_runner(command):
    done = subprocess.run(command, capture_output=True, env=dict(os.environ, QT_QPA_PLATFORM="offscreen"))
    return done.returncode, done.stdout.decode("utf-8", "replace"), done.stderr.decode("utf-8", "replace")


def make_wine_runner(loader):
    # Output goes through files, not pipes: Wine's own background services
    # may inherit a pipe and keep it open long after the program has ended.
    def run(command):
        with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
            code = subprocess.run([loader, *command], stdout=out, stderr=err, stdin=subprocess.DEVNULL).returncode
            out.seek(0)
            err.seek(0)
            text = lambda f: f.read().decode("utf-8", "replace").replace("\r\n", "\n")
            return code, text(out), text(err)

    return run


def normalised(text, side, samples):
    """Output with the side's own spelling of its folders replaced."""
    for folder, token in ((side.folder, "<dir>"), (samples, "<samples>")):
        text = text.replace(side.path_text(folder), token)
    return text.replace("\\", "/")


def normalised_bytes(data, side, samples):
    for folder, token in ((side.folder, b"<dir>"), (samples, b"<samples>")):
        data = data.replace(side.path_text(folder).encode("cp932"), token)
    return data.replace(b"\\", b"/")


ENTRY_POINTS = sorted(["TRXGetName", "TRXGetExplanation", "TRXSetInitFile", "TRXBeginPlugin", "TRXEndPlugin",
                       "TRXGetMenu", "TRXMenuClick"])
# shell32: the files dropped on the editor (DragQueryFileW).
SYSTEM_DLLS = {"kernel32.dll", "user32.dll", "gdi32.dll", "comdlg32.dll", "comctl32.dll", "shell32.dll",
               "msvcrt.dll"}


def module_file(checks, module, arch):
    """The launcher finds exactly the seven entry points by their plain names,
    and the module needs no DLL that a Windows lacks."""
    objdump = ("x86_64" if arch == "x64" else "i686") + "-w64-mingw32-objdump"
    dump = subprocess.run([objdump, "-p", module], capture_output=True, text=True, check=True).stdout
    table = dump.split("[Ordinal/Name Pointer] Table", 1)[-1].split("\n\n", 1)[0]
    exports = sorted(line.split("]", 1)[1].strip() for line in table.splitlines() if "]" in line)
    checks.check(exports == ENTRY_POINTS, f"{arch}: the module exports exactly the seven entry points", str(exports))
    imports = {line.split(":", 1)[1].strip().lower() for line in dump.splitlines() if "DLL Name:" in line}
    checks.check(bool(imports) and imports <= SYSTEM_DLLS, f"{arch}: the module imports only system DLLs",
                 str(sorted(imports)))


def same_versions(checks, linux, windows, arch):
    """The Windows programs tell the version the Linux ones tell."""
    for program, linux_program, windows_program in (
            ("tavrin-host", linux.host, windows.host),
            ("pelmora", linux.cli, os.path.join(os.path.dirname(windows.host), "pelmora.exe"))):
        outputs = [linux.run_process([linux_program, "--version"]),
                   windows.run_process([windows_program, "--version"])]
        checks.check(outputs[0] == outputs[1] and outputs[1][0] == 0 and outputs[1][1].startswith(program + " "),
                     f"{arch}: {program} --version tells what Linux tells", str(outputs))


def same_steps(checks, linux, windows, samples, arch):
    """Import, menu, a click for every pattern, end: the same on both."""
    for side in (linux, windows):
        write_pads(side.file("pads.ini"))
    steps = [("import", os.path.join(samples, name)) for name in SAMPLES] + [("menu",)]
    for step in steps:
        outputs = []
        for side in (linux, windows):
            args = list(step)
            if step[0] == "import":
                args[1] = side.path_text(step[1])
            code, out, err = side.host_run(*args)
            outputs.append((code, normalised(out, side, samples), err))
        checks.check(outputs[0][:2] == outputs[1][:2], f"{arch}: '{step[0]}' prints and answers as on Linux",
                     f"linux: {outputs[0]}\nwindows: {outputs[1]}")
    menu = outputs[0][1]
    patterns = sum(1 for line in menu.splitlines() if ". " in line.split(": ", 1)[-1][:6])
    checks.check(patterns == 17, f"{arch}: the menu lists the 17 sample patterns", menu)
    for item in range(1, patterns + 1):
        pad = PADS[item % len(PADS)][0]
        results = []
        for side in (linux, windows):
            code, out, err = side.host_run("click", str(item), "--pad", str(pad))
            results.append((code, normalised(out, side, samples), read(side.file("Pelmora.bmp"))))
        checks.check(results[0][:2] == results[1][:2] and results[1][0] == 0,
                     f"{arch}: click {item} on pad {pad} answers as on Linux", f"{results[0][:2]}\n{results[1][:2]}")
        checks.check(results[0][2] == results[1][2], f"{arch}: click {item} on pad {pad}: the same wallpaper bytes")
    settings = [normalised_bytes(read(side.file("Pelmora.ini")), side, samples) for side in (linux, windows)]
    checks.check(settings[0] == settings[1], f"{arch}: the same settings file")
    pads = [normalised_bytes(read(side.file("pads.ini")), side, samples) for side in (linux, windows)]
    checks.check(pads[0] == pads[1], f"{arch}: the same pad file")
    return read(linux.file("Pelmora.ini"))


def editor_entry(checks, windows, arch):
    """The editor's entry opens the editor window; the command-line launcher
    ends the plug-in right after the click, which closes the window unasked
    and keeps the library as it was. The window's bounds are written back, at
    least its minimum size (the defaults are below it)."""
    before = patterns(windows.file("Pelmora.ini"))
    code, out, err = windows.host_run("menu")
    editor = [line.split(":", 1)[0] for line in out.splitlines() if "パターンの詳細編集(&E)" in line]
    checks.check(len(editor) == 1, f"{arch}: the menu has the editor entry", out)
    code, out, err = windows.host_run("click", editor[0] if editor else "0", "--pad", "1")
    checks.check(code == 0 and "true" in out and "message:" not in out,
                 f"{arch}: the editor entry opens the editor", f"{code}\n{out}{err}")
    code, after, err = windows.host_run("menu")
    checks.check(patterns(windows.file("Pelmora.ini")) == before and "詳細編集中" not in after,
                 f"{arch}: closing it at the plug-in's end keeps the library", after)
    bounds = main_record(windows.file("Pelmora.ini"))
    checks.check(int(bounds.get("Width", 0)) >= 550 and int(bounds.get("Height", 0)) >= 400,
                 f"{arch}: the editor's bounds are kept at the plug-in's end", str(bounds))


def patterns(path):
    """The pattern sections of a settings file, without the [Main] record."""
    text = read(path).decode("cp932")
    return text[text.index("[0]"):] if "[0]" in text else ""


def main_record(path):
    text = read(path).decode("cp932")
    return dict(line.split("=", 1) for line in text.split("[0]")[0].splitlines() if "=" in line)


def compare_session(linux_dir, windows_dir, arch):
    """What the scripted editor session wrote on each system: the same
    pattern sections (the window's bounds and folders are each system's own)
    and the same wallpaper, byte for byte."""
    checks = Checks()

    for name in ("Pelmora.ini", "Pelmora.bmp"):
        for side in (linux_dir, windows_dir):
            checks.check(os.path.exists(os.path.join(side, name)), f"{arch} session: {side}/{name} written")
    if checks.failed == 0:
        linux_ini = os.path.join(linux_dir, "Pelmora.ini")
        windows_ini = os.path.join(windows_dir, "Pelmora.ini")
        checks.check(patterns(linux_ini) != "" and patterns(linux_ini) == patterns(windows_ini),
                     f"{arch} session: the same pattern in both settings files",
                     f"Linux:\n{patterns(linux_ini)}\nWindows:\n{patterns(windows_ini)}")
        checks.check(read(os.path.join(linux_dir, "Pelmora.bmp")) == read(os.path.join(windows_dir, "Pelmora.bmp")),
                     f"{arch} session: the same wallpaper, byte for byte")
    print(f"{checks.passed} passed, {checks.failed} failed")
    return 1 if checks.failed else 0


def shift_jis_paths(checks, windows, linux, samples, arch):
    """Folders and names whose second byte is 0x5C, the code of a backslash."""
    folder = "表ソ能"
    assert all(0x5C in ch.encode("cp932") for ch in folder)
    os.makedirs(windows.file(folder))
    write_pads(windows.file(os.path.join(folder, "pads.ini")))
    settings = os.path.join(folder, "ソ.ini")
    pads = os.path.join(folder, "pads.ini")
    code, out, err = windows.host_run("import", windows.path_text(os.path.join(samples, "basic.ptn")),
                                      settings=settings, pads=pads)
    checks.check(code == 0, f"{arch}: import into a settings file under {folder}", out + err)
    code, out, err = windows.host_run("click", "2", "--pad", "2", settings=settings, pads=pads)
    wallpaper = windows.file(os.path.join(folder, "ソ.bmp"))
    checks.check(code == 0 and os.path.exists(wallpaper), f"{arch}: the wallpaper beside it is ソ.bmp", out + err)
    pad_text = read(windows.file(pads))
    checks.check(("WallPaper=" + windows.path_text(wallpaper)).encode("cp932") in pad_text,
                 f"{arch}: the pad holds the wallpaper's Shift-JIS path", pad_text.decode("cp932", "replace"))
    saved = read(windows.file(settings))
    checks.check(b"[Main]" in saved and "標準ボタン".encode("cp932") in saved,
                 f"{arch}: the settings file under {folder} is written", saved[:200])
    # Linux: basic.ptn pattern 2 on pad 2 with the same look.
    reference = os.path.join(linux.folder, "reference.bmp")
    pad = PADS[1]
    linux.run_process([linux.cli, "render", os.path.join(samples, "basic.ptn"), "--index", "1", "--pad",
                       ",".join(str(v) for v in pad[1:5]) + "," + pad[5], "--name-height", "12", "-o", reference])
    checks.check(os.path.exists(wallpaper) and read(wallpaper) == read(reference),
                 f"{arch}: that wallpaper is the Linux renderer's")


def failed_writes(checks, windows, arch):
    """A write that cannot happen is reported and leaves the old file as it was."""
    write_pads(windows.file("ro-pads.ini"))
    old = b"[Main]\r\nWidth=640\r\n"
    with open(windows.file("ro.ini"), "wb") as f:
        f.write(old)
    os.chmod(windows.file("ro.ini"), 0o444)  # Wine: the read-only attribute
    code, out, err = windows.host_run("menu", settings="ro.ini", pads="ro-pads.ini")
    checks.check(code == 2 and "ro.ini" in out and read(windows.file("ro.ini")) == old,
                 f"{arch}: a read-only settings file is reported and kept", f"{code}\n{out}{err}")
    os.chmod(windows.file("ro.ini"), 0o644)

    # A read-only wallpaper: the click fails, the old picture stays.
    with open(windows.file("rw.ini"), "wb") as f:
        f.write(read(os.path.join(windows.samples, "basic.ptn")))
    wallpaper = windows.file("rw.bmp")
    with open(wallpaper, "wb") as f:
        f.write(b"old picture")
    os.chmod(wallpaper, 0o444)
    code, out, err = windows.host_run("click", "1", "--pad", "1", settings="rw.ini", pads="ro-pads.ini")
    checks.check(code == 2 and "rw.bmp" in out and read(wallpaper) == b"old picture",
                 f"{arch}: a read-only wallpaper is reported and kept", f"{code}\n{out}{err}")
    os.chmod(wallpaper, 0o644)

    # A settings file in a folder that is not there (a drive not plugged in):
    # said at the start, which still works; an end with nothing changed writes
    # nothing, so nothing is made.
    code, out, err = windows.host_run("menu", settings=os.path.join("gone", "x.ini"), pads="ro-pads.ini")
    checks.check(code == 0 and "gone" in out and "が見つかりません" in out and "パターンの詳細編集" in out
                 and not os.path.exists(windows.file("gone")),
                 f"{arch}: a missing folder is said at the start and nothing is made", f"{code}\n{out}{err}")


def platform_look(checks, windows, linux, samples, arch, wine):
    """Without the pinned look the name height and colours are Wine's own."""
    def reg(*args):
        subprocess.run([wine, "reg", *args, "/f"], stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, check=True)

    write_pads(windows.file("look-pads.ini"))
    with open(windows.file("look.ini"), "wb") as f:
        f.write(read(os.path.join(samples, "basic.ptn")))
    reg("delete", r"HKCU\Control Panel\Desktop\WindowMetrics", "/v", "IconFont")
    try:
        # Wine's own icon-title font has a 13-pixel line; the icon area moves.
        differs = False
        for index in range(4):
            code, out, err = windows.host_run("click", str(index + 1), "--pad", "1", settings="look.ini",
                                              pads="look-pads.ini")
            renders = {}
            for height in (12, 13):
                reference = os.path.join(linux.folder, f"t{height}.bmp")
                linux.run_process([linux.cli, "render", os.path.join(samples, "basic.ptn"), "--index", str(index),
                                   "--pad", "80,60,1,0,$8000000F", "--name-height", str(height), "-o", reference])
                renders[height] = read(reference)
            differs = differs or renders[12] != renders[13]
            checks.check(read(windows.file("look.bmp")) == renders[13],
                         f"{arch}: with Wine's icon-title font, pattern {index + 1} is painted with a 13-pixel name line")
        checks.check(differs, f"{arch}: the name height changes some of those wallpapers")

        reg("add", r"HKCU\Control Panel\Colors", "/v", "ButtonFace", "/d", "212 208 200")
        reg("add", r"HKCU\Control Panel\Colors", "/v", "ButtonShadow", "/d", "128 128 128")
        reg("add", r"HKCU\Control Panel\Colors", "/v", "ButtonHilight", "/d", "250 250 250")
        code, out, err = windows.host_run("click", "1", "--pad", "1", settings="look.ini", pads="look-pads.ini")
        bmp = read(windows.file("look.bmp"))
        # The button fills the cell with its face; the bevel is its outer edge.
        seen = (pixel(bmp, 40, 30), pixel(bmp, 0, 0), pixel(bmp, 83, 63))
        checks.check(seen == ((212, 208, 200), (250, 250, 250), (128, 128, 128)),
                     f"{arch}: a button in the system colours takes the user's face, highlight and shadow",
                     str(seen))
    finally:
        look = windows_path(os.path.join(os.path.dirname(os.path.abspath(__file__)), "standard-look.reg"))
        subprocess.run([wine, "regedit", "/S", look], stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, check=True)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--arch", required=True)
    parser.add_argument("--session", nargs=2, metavar=("LINUX_DIR", "WINDOWS_DIR"),
                        help="only compare what the scripted editor sessions wrote")
    parser.add_argument("--wine")
    parser.add_argument("--windows")
    parser.add_argument("--linux")
    parser.add_argument("--samples")
    options = parser.parse_args()
    if options.session:
        return compare_session(*options.session, options.arch)
    if not (options.wine and options.windows and options.linux and options.samples):
        parser.error("--wine, --windows, --linux and --samples are needed")
    samples = os.path.abspath(options.samples)

    checks = Checks()
    work = tempfile.mkdtemp(prefix="pelmora-windows-e2e-")
    try:
        linux = Side("linux", os.path.join(work, "linux"), linux_runner, lambda p: os.path.abspath(p),
                     os.path.join(options.linux, "bin", "tavrin-host"), os.path.join(options.linux, "bin", "trPELM.trx"))
        linux.cli = os.path.join(options.linux, "cli", "pelmora")
        windows = Side("windows", os.path.join(work, "windows"), make_wine_runner(options.wine), windows_path,
                       os.path.join(options.windows, "tavrin-host.exe"), os.path.join(options.windows, "trPELM.trx"))
        windows.samples = samples
        module_file(checks, windows.module, options.arch)
        same_versions(checks, linux, windows, options.arch)
        same_steps(checks, linux, windows, samples, options.arch)
        editor_entry(checks, windows, options.arch)
        shift_jis_paths(checks, windows, linux, samples, options.arch)
        failed_writes(checks, windows, options.arch)
        platform_look(checks, windows, linux, samples, options.arch, options.wine)
    finally:
        shutil.rmtree(work, ignore_errors=True)
    print(f"{checks.passed} passed, {checks.failed} failed")
    return 1 if checks.failed else 0


if __name__ == "__main__":
    sys.exit(main())
