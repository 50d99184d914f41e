#!/usr/bin/env python3
"""The README's commands, run as written.

Reads every ```sh block of README.md and runs its commands from the root of a
fresh copy of the tree: its files and the programs of one build, placed in
build/dev/ where the README names them, nothing left from earlier runs. The
copy is first brought where the README's two set-up commands leave a reader:
scripts/demo's job has made build/demo/ (`scripts/demo --no-build`, since the
programs are built). The lines of one block run in one shell, so a variable a
block sets holds for its later lines. Where the system allows it, the commands
run in a network namespace of their own, without network.

How each command is treated:
- scripts/demo and scripts/test, the set-up commands: not run again.
- the launcher's window (a command line ending in `gui`): started with Qt's
  offscreen platform; once it is up (it catches SIGTERM) it gets SIGTERM,
  which closes it as its user would, and it must end with status 0.
- builds and test runs that scripts/test itself runs on every CI run (cmake
  --preset, cmake --build --preset, ctest --preset, scripts/windows): checked,
  not run: the presets exist, and scripts/windows parses the options (they
  are given again with --help). Running them here would build the tree once
  more, and ctest would run this test inside itself.
- everything else runs and must end with status 0.
A command that fails fails the test, with the command and its output.

usage: readme_commands_test.py SOURCE_DIR BUILD_DIR
"""

import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import threading
import time

SETUP_COMMANDS = {"scripts/demo", "scripts/test"}
# What of a build tree the README's commands use, relative to the tree.
BUILT_OUTPUTS = ["bin", "cli/pelmora", "qt/pelmora-gradient-editor"]
CHECKED = [
    ("configure", re.compile(r"cmake --preset (\S+)")),
    ("build", re.compile(r"cmake --build --preset (\S+)")),
    ("test", re.compile(r"ctest --preset (\S+)")),
    ("windows", re.compile(r"scripts/windows((?: \S+)*)")),
]
WINDOW_PROGRAM = "tavrin-host"
LIMIT_SECONDS = 600  # for one block, and for a window to come up
MARK = "\x1e"


class Failure(Exception):
    pass


def strip_comment(line):
    """The line without a shell comment: a # that starts a word outside quotes."""
    quote = None
    escaped = False
    for i, c in enumerate(line):
        if escaped:
            escaped = False
        elif c == "\\" and quote != "'":
            escaped = True
        elif quote:
            quote = None if c == quote else quote
        elif c in "'\"":
            quote = c
        elif c == "#" and (i == 0 or line[i - 1].isspace()):
            return line[:i].rstrip()
    return line.rstrip()


def shell_blocks(readme):
    """[(line number, [(line number, command)])] for every ```sh block."""
    blocks, block, pending = [], None, None
    with open(readme, encoding="utf-8") as text:
        for number, line in enumerate(text, 1):
            line = line.rstrip("\n")
            if block is None:
                if re.fullmatch(r"```(sh|bash|shell)\s*", line):
                    block = (number, [])
                continue
            if line.startswith("```"):
                blocks.append(block)
                block = None
                continue
            command = strip_comment(line)
            if pending:
                pending = (pending[0], pending[1] + " " + command)
            elif command:
                pending = (number, command)
            if pending and not pending[1].endswith("\\"):
                block[1].append(pending)
                pending = None
            elif pending:
                pending = (pending[0], pending[1][:-1].rstrip())
    return blocks


def kind_of(command):
    if command in SETUP_COMMANDS:
        return "setup"
    if command.split()[-1] == "gui":
        return "window"
    parts = [part.strip() for part in command.split("&&")]
    if all(any(pattern.fullmatch(part) for _, pattern in CHECKED) for part in parts):
        return "checked"
    return "run"


def network_cut():
    """The prefix that runs a command without network, or [] where none can."""
    for prefix in (["unshare", "--net", "--"], ["unshare", "--net", "--map-root-user", "--"]):
        try:
            if subprocess.run(prefix + ["true"], capture_output=True).returncode == 0:
                return prefix
        except OSError:
            pass
    print("note: no network namespace here; the commands run with the network")
    return []


def fresh_copy(source, build, root):
    def outside(folder, names):
        if os.path.samefile(folder, source):
            return [n for n in names if n in (".git", "build") or n.startswith("build-")]
        return []

    shutil.copytree(source, root, ignore=outside, symlinks=True)
    for output in BUILT_OUTPUTS:
        origin, copy = os.path.join(build, output), os.path.join(root, "build", "dev", output)
        os.makedirs(os.path.dirname(copy), exist_ok=True)
        if os.path.isdir(origin):
            shutil.copytree(origin, copy, symlinks=True)
        else:
            shutil.copy2(origin, copy)


def preset_names(root, env, command):
    listed = subprocess.run(command, cwd=root, env=env, capture_output=True, text=True)
    return set(re.findall(r'^\s+"([^"]+)"', listed.stdout, re.MULTILINE))


def check(where, command, root, env):
    """Raises Failure, saying `where`, when a command checked, not run, would fail."""
    listings = {
        "configure": ["cmake", "--list-presets=configure"],
        "build": ["cmake", "--build", "--list-presets"],
        "test": ["ctest", "--list-presets"],
    }
    for part in (part.strip() for part in command.split("&&")):
        for kind, pattern in CHECKED:
            match = pattern.fullmatch(part)
            if not match:
                continue
            if kind == "windows":
                words = ["scripts/windows"] + match.group(1).split() + ["--help"]
                parsed = subprocess.run(words, cwd=root, env=env, capture_output=True, text=True)
                if parsed.returncode != 0:
                    raise Failure(f"{where}\n{part}: its options do not parse\n{parsed.stderr}")
            elif match.group(1) not in preset_names(root, env, listings[kind]):
                raise Failure(f"{where}\nthere is no {kind} preset {match.group(1)}")
            break


def is_window_up(pid):
    """True once `pid` is the launcher and catches SIGTERM (its window is shown)."""
    try:
        with open(f"/proc/{pid}/comm") as comm:
            if comm.read().strip() != WINDOW_PROGRAM:
                return False
        with open(f"/proc/{pid}/status") as status:
            for line in status:
                if line.startswith("SigCgt:"):
                    return int(line.split()[1], 16) & (1 << (signal.SIGTERM - 1)) != 0
    except OSError:
        pass
    return False


def script_for(commands, pid_file):
    """A bash script that runs `commands`, marking where each one's output begins."""
    lines = ["set -o pipefail"]
    for i, (kind, _, command) in enumerate(commands):
        lines.append(f"printf '{MARK}%d\\n' {i}")
        if kind == "window":
            lines += [f"{command} &", f"echo $! >'{pid_file}'", "wait $!"]
        else:
            lines.append(command)
        lines.append(f"s=$?; [ $s -eq 0 ] || {{ printf '{MARK}failed %d\\n' $s; exit 1; }}")
    return "\n".join(lines) + "\n"


def run_block(commands, root, env, prefix):
    """Runs the block's commands in one shell; raises Failure naming the one that failed."""
    pid_file = os.path.join(env["HOME"], "window.pid")
    shell = subprocess.Popen(prefix + ["bash", "-c", script_for(commands, pid_file)], cwd=root,
                             env=env, stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                             start_new_session=True)
    output = bytearray()
    reader = threading.Thread(target=lambda: output.extend(shell.stdout.read()))
    reader.start()
    deadline = time.monotonic() + LIMIT_SECONDS
    while shell.poll() is None:
        if time.monotonic() > deadline:
            os.killpg(shell.pid, signal.SIGKILL)
            shell.wait()
            reader.join()
            raise Failure(f"the block did not finish within {LIMIT_SECONDS} s\n"
                          + output.decode(errors="replace"))
        if os.path.exists(pid_file):
            with open(pid_file) as file:
                text = file.read().strip()
            if text and is_window_up(int(text)):
                os.kill(int(text), signal.SIGTERM)
                os.remove(pid_file)
        time.sleep(0.01)
    reader.join()
    text = output.decode(errors="replace")
    failed = re.search(f"{MARK}failed (\\d+)\n", text)
    if failed:
        started = [m for m in re.finditer(f"{MARK}(\\d+)\n", text) if m.start() < failed.start()]
        i = int(started[-1].group(1))
        shown = text[started[-1].end():failed.start()]
        kind, number, command = commands[i]
        window = " (a window gets SIGTERM once up, and must end with 0)" if kind == "window" else ""
        raise Failure(f"README.md line {number}: {command}\nended with status {failed.group(1)}"
                      f"{window}; its output:\n{shown}")


def main(source, build):
    readme = os.path.join(source, "README.md")
    blocks = shell_blocks(readme)
    work = tempfile.mkdtemp(prefix="pelmora-readme-")
    try:
        root = os.path.join(work, "pelmora")
        fresh_copy(source, build, root)
        env = dict(os.environ, HOME=os.path.join(work, "home"), QT_QPA_PLATFORM="offscreen")
        env.pop("XDG_DATA_HOME", None)
        os.makedirs(env["HOME"])
        prefix = network_cut()
        setup = subprocess.run(prefix + ["scripts/demo", "--no-build"], cwd=root, env=env,
                               stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
        if setup.returncode != 0:
            raise Failure("scripts/demo --no-build (the state after the set-up) failed:\n"
                          + setup.stdout)
        counts = {"setup": 0, "window": 0, "checked": 0, "run": 0}
        for _, lines in blocks:
            commands = []
            for number, command in lines:
                kind = kind_of(command)
                counts[kind] += 1
                if kind == "checked":
                    check(f"README.md line {number}: {command}", command, root, env)
                elif kind != "setup":
                    commands.append((kind, number, command))
            if commands:
                run_block(commands, root, env, prefix)
    except Failure as failure:
        print(f"FAILED: {failure}")
        return 1
    finally:
        shutil.rmtree(work, ignore_errors=True)
    print(f"README.md: {counts['run']} commands ran, {counts['window']} windows opened and "
          f"closed, {counts['checked']} checked without running, {counts['setup']} set-up "
          f"commands left out")
    return 0


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    sys.exit(main(os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])))
