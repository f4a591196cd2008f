"""The program started on the accessibility bus with Qt's accessibility on,
and its accessible objects walked, found and read as a screen reader does."""
import contextlib
import os
import subprocess
import time

import pyatspi

BUS_LAUNCHER = "/usr/libexec/at-spi-bus-launcher"


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


def walk(node, depth=0):
    """Every accessible below node with its depth, in reading order; what goes
    away while it is read is passed over."""
    yield depth, node
    try:
        children = list(node)
    except Exception:
        return
    for child in children:
        if child is not None:
            yield from walk(child, depth + 1)


def find(node, role, name, prefix=False):
    for _, found in walk(node):
        text = found.name or ""
        if found.getRole() == role and (text.startswith(name) if prefix else text == name):
            return found
    return None


def text_of(node):
    return node.queryText().getText(0, -1)


def application(pid):
    for app in pyatspi.Registry.getDesktop(0):
        try:
            if app is not None and app.get_process_id() == pid and app.childCount > 0:
                return app
        except Exception:  # an application that went away meanwhile
            pass
    return None


@contextlib.contextmanager
def running(command, env=None, **options):
    """command started on the accessibility bus; yields its process and its
    application's accessible object, and ends both afterwards."""
    launcher = subprocess.Popen([BUS_LAUNCHER, "--launch-immediately"],
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    environment = dict(env or os.environ, QT_QPA_PLATFORM="xcb",
                       QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
    process = subprocess.Popen(command, env=environment, **options)
    try:
        app = wait_for("the program on the accessibility bus",
                       lambda: process.poll() is not None or application(process.pid))
        if process.poll() is not None:
            raise Failure(f"{command[0]} ended at once with status {process.returncode}")
        yield process, app
    finally:
        if process.poll() is None:
            process.terminate()
            process.wait()
        launcher.terminate()
        launcher.wait()
