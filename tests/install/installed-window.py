"""The installed Veskard as a person meets it, read through the accessibility
interface (AT-SPI), as a screen reader reads it.

installed-window.py DESTDIR PREFIX CASE, with DISPLAY set and a session bus
(tests/support/own-display.sh provides both). CASE is one of:

  file  Started as "Veskard plan.txt" from the file's folder, the main window
        shows plan.txt in the box named "选择加密文件："; closed with its
        关闭 button, it leaves set.ini in the user's data folder.
  help  The About window's 帮助 button opens the installed help file
        PREFIX/share/veskard/readme.txt (a stand-in xdg-open records what
        the desktop is asked to open).

Either way the program writes nothing under DESTDIR. A control the case
needs that the window lacks fails it, as any regression does; it exits 77
(skipped) only when there is no display or session bus to run on.
"""
import os
import shutil
import subprocess
import sys
import tempfile
import time
import urllib.parse

import pyatspi

SKIPPED = 77
DATA_FOLDER = (".local", "share", "Veskard")


class Failure(Exception):
    pass


def wait_for(what, probe, seconds=60):
    """probe() until it gives something; generous, as a slow machine needs."""
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        found = probe()
        if found:
            return found
        time.sleep(0.1)
    raise Failure(f"waited {seconds} s for {what}")


def snapshot(folder):
    """Every path below folder with its size and modification time."""
    state = {}
    for parent, folders, files in os.walk(folder):
        for name in folders + files:
            path = os.path.join(parent, name)
            info = os.lstat(path)
            state[path] = (info.st_size, info.st_mtime_ns)
    return state


def application(pid):
    for app in pyatspi.Registry.getDesktop(0):
        try:
            if app is not None and app.get_process_id() == pid and app.childCount > 0:
                return app
        except Exception:  # an application that went away meanwhile
            pass
    return None


def find(node, matches):
    """The first accessible object below node for which matches() holds."""
    try:
        if matches(node):
            return node
        children = list(node)
    except Exception:  # gone while being read
        return None
    for child in children:
        found = child and find(child, matches)
        if found:
            return found
    return None


def named(role, text, prefix=False):
    def matches(node):
        name = node.name or ""
        return node.getRole() == role and (name.startswith(text) if prefix else name == text)

    return matches


def click(node):
    """A left click in the middle of node, as the person's mouse gives it."""
    box = node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    x, y = box.x + box.width // 2, box.y + box.height // 2
    pyatspi.Registry.generateMouseEvent(x, y, pyatspi.MOUSE_ABS)
    time.sleep(0.2)  # lets the button see the pointer arrive before the press
    pyatspi.Registry.generateMouseEvent(x, y, pyatspi.MOUSE_B1C)


class Program:
    """The installed program, started with a home of its own."""

    def __init__(self, prefix, work, arguments):
        self.home = os.path.join(work, "home")
        self.opened = os.path.join(work, "opened")
        tools = os.path.join(work, "tools")
        runtime = os.path.join(work, "runtime")
        os.makedirs(self.home)
        os.makedirs(tools)
        os.makedirs(runtime, mode=0o700)
        # Nothing real is opened: the desktop's opener only records its request.
        with open(os.path.join(tools, "xdg-open"), "w") as opener:
            opener.write('#!/bin/sh\nprintf "%s\\n" "$1" >>"$VESKARD_TEST_OPENED"\n')
        os.chmod(os.path.join(tools, "xdg-open"), 0o755)

        environment = {
            key: value
            for key, value in os.environ.items()
            if not key.startswith("XDG_")
        }
        environment.update(
            HOME=self.home,
            XDG_RUNTIME_DIR=runtime,
            PATH=tools + os.pathsep + os.environ.get("PATH", ""),
            QT_QPA_PLATFORM="xcb",
            QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1",
            VESKARD_TEST_OPENED=self.opened,
        )
        self.process = subprocess.Popen(
            [os.path.join(prefix, "bin", "Veskard"), *arguments], cwd=work, env=environment
        )
        self.app = wait_for("the window", lambda: self.ended() or application(self.process.pid))
        if self.ended():
            raise Failure(f"Veskard ended at once with status {self.process.returncode}")

    def ended(self):
        return self.process.poll() is not None

    def stop(self):
        if not self.ended():
            self.process.terminate()
            self.process.wait()

    def data_folder(self):
        return os.path.join(self.home, *DATA_FOLDER)


def window_shows_the_named_file(prefix, work):
    with open(os.path.join(work, "plan.txt"), "wb") as plan:
        plan.write(os.urandom(1000))
    program = Program(prefix, work, ["plan.txt"])
    try:
        box = find(program.app, named(pyatspi.ROLE_TEXT, "选择加密文件："))
        if box is None:
            raise Failure("the main window has no box named 选择加密文件：")
        shown = box.queryText().getText(0, -1)
        if shown != "plan.txt":
            raise Failure(f"the box 选择加密文件： shows {shown!r}, not 'plan.txt'")

        close = find(program.app, named(pyatspi.ROLE_PUSH_BUTTON, "关闭", prefix=True))
        if close is None:
            raise Failure("the main window has no button 关闭")
        click(close)
        wait_for("Veskard to end after 关闭", program.ended)
    finally:
        program.stop()
    if program.process.returncode != 0:
        raise Failure(f"Veskard ended with status {program.process.returncode}")
    settings = os.path.join(program.data_folder(), "set.ini")
    if not os.path.isfile(settings):
        raise Failure(f"no set.ini in the user's data folder {program.data_folder()}")


def about_window_opens_the_help_file(prefix, work):
    program = Program(prefix, work, [])
    try:
        about = find(program.app, named(pyatspi.ROLE_PUSH_BUTTON, "关于程序"))
        if about is None:
            raise Failure("the main window has no button 关于程序")
        click(about)
        # Its caption reads 帮助(&H); the accessible name may keep or drop the "&".
        helper = wait_for(
            "the About window's 帮助 button",
            lambda: find(program.app, named(pyatspi.ROLE_PUSH_BUTTON, "帮助", prefix=True)),
        )
        click(helper)
        wait_for("the help file to be opened", lambda: os.path.exists(program.opened))
        with open(program.opened, encoding="utf-8") as record:
            request = record.readline().strip()
        address = urllib.parse.urlparse(request)
        path = urllib.parse.unquote(address.path) if address.scheme == "file" else request
        expected = os.path.join(prefix, "share", "veskard", "readme.txt")
        if not os.path.isfile(expected):
            raise Failure(f"the help file {expected} is not installed")
        if not os.path.exists(path) or not os.path.samefile(path, expected):
            raise Failure(f"帮助 opened {request!r}, not {expected}")
    finally:
        program.stop()


CASES = {"file": window_shows_the_named_file, "help": about_window_opens_the_help_file}


def main():
    destdir, prefix, case = sys.argv[1:4]
    unset = [name for name in ("DISPLAY", "DBUS_SESSION_BUS_ADDRESS") if not os.environ.get(name)]
    if unset:
        print(f"skipped: {' and '.join(unset)} not set (tests/support/own-display.sh sets both)")
        return SKIPPED
    before = snapshot(destdir)
    work = tempfile.mkdtemp(prefix="veskard-window.")
    try:
        CASES[case](prefix, work)
        changed = sorted(
            set(snapshot(destdir).items()) ^ set(before.items()), key=lambda item: item[0]
        )
        if changed:
            raise Failure(f"the program changed the installation: {[path for path, _ in changed]}")
    except Failure as failure:
        print(f"FAILED: {failure}")
        return 1
    finally:
        shutil.rmtree(work, ignore_errors=True)
    print(f"ok: {case}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
