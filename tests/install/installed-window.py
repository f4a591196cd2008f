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
import sys
import tempfile
import urllib.parse

import pyatspi

sys.dont_write_bytecode = True  # nothing written beside the sources
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))
from screen_reader import Failure, click, find, running, text_of, wait_for  # noqa: E402

SKIPPED = 77


def snapshot(folder):
    """Every path below folder with its size and modification time."""
    state = {}
    for parent, folders, files in os.walk(folder):
        for name in folders + files:
            info = os.lstat(os.path.join(parent, name))
            state[os.path.join(parent, name)] = (info.st_size, info.st_mtime_ns)
    return state


def installed(prefix, work, arguments):
    """The installed program started in work with a home of its own; the
    desktop's opener only notes in work/opened what it is asked to open."""
    tools, runtime = os.path.join(work, "tools"), os.path.join(work, "runtime")
    os.makedirs(os.path.join(work, "home"))
    os.makedirs(tools)
    os.makedirs(runtime, mode=0o700)
    with open(os.path.join(tools, "xdg-open"), "w") as opener:
        opener.write('#!/bin/sh\nprintf "%s\\n" "$1" >>"$VESKARD_TEST_OPENED"\n')
    os.chmod(os.path.join(tools, "xdg-open"), 0o755)
    environment = {key: value for key, value in os.environ.items() if not key.startswith("XDG_")}
    environment.update(HOME=os.path.join(work, "home"), XDG_RUNTIME_DIR=runtime,
                       PATH=tools + os.pathsep + os.environ.get("PATH", ""),
                       VESKARD_TEST_OPENED=os.path.join(work, "opened"))
    return running([os.path.join(prefix, "bin", "Veskard"), *arguments], env=environment, cwd=work)


def window_shows_the_named_file(prefix, work):
    with open(os.path.join(work, "plan.txt"), "wb") as plan:
        plan.write(os.urandom(1000))
    with installed(prefix, work, ["plan.txt"]) as (process, app):
        box = find(app, pyatspi.ROLE_TEXT, "选择加密文件：")
        if box is None or text_of(box) != "plan.txt":
            raise Failure(f"the box 选择加密文件： shows {box and text_of(box)!r}, not 'plan.txt'")
        close = find(app, pyatspi.ROLE_PUSH_BUTTON, "关闭", prefix=True)
        if close is None:
            raise Failure("the main window has no button 关闭")
        click(close)
        wait_for("Veskard to end after 关闭", lambda: process.poll() is not None)
    if process.returncode != 0:
        raise Failure(f"Veskard ended with status {process.returncode}")
    settings = os.path.join(work, "home", ".local", "share", "Veskard", "set.ini")
    if not os.path.isfile(settings):
        raise Failure(f"no {settings}")


def about_window_opens_the_help_file(prefix, work):
    with installed(prefix, work, []) as (_, app):
        about = find(app, pyatspi.ROLE_PUSH_BUTTON, "关于程序")
        if about is None:
            raise Failure("the main window has no button 关于程序")
        click(about)
        # Its caption reads 帮助(&H); the accessible name may keep or drop the "&".
        click(wait_for("the About window's 帮助 button",
                       lambda: find(app, pyatspi.ROLE_PUSH_BUTTON, "帮助", prefix=True)))
        opened = os.path.join(work, "opened")
        wait_for("the help file to be opened", lambda: os.path.exists(opened))
        with open(opened, encoding="utf-8") as record:
            request = record.readline().strip()
    address = urllib.parse.urlparse(request)
    path = urllib.parse.unquote(address.path) if address.scheme == "file" else request
    expected = os.path.join(prefix, "share", "veskard", "readme.txt")
    if not os.path.isfile(expected):
        raise Failure(f"the help file {expected} is not installed")
    if not os.path.exists(path) or not os.path.samefile(path, expected):
        raise Failure(f"帮助 opened {request!r}, not {expected}")


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
