#!/usr/bin/python3
"""Reads the main window the way a screen reader does, through AT-SPI, and
works it through that alone: started on a file, it shows the file, locks it,
and ends with status 0 by its 关闭 button, writing SETTINGS.

Usage: read_main_window.py PROGRAM SETTINGS, with DISPLAY set and a session
bus (tests/install/check-installed.sh window provides both).
"""
import contextlib
import os
import shutil
import subprocess
import sys
import tempfile
import time

import pyatspi as R


def wait_for(what, probe, seconds=60):
    """probe() until it gives something; generous, as a slow machine needs."""
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        if found := probe():
            return found
        time.sleep(0.1)
    raise TimeoutError(f"waited {seconds} s for {what}")


def walk(node):
    """Every accessible below node, in reading order; what goes away while it
    is read is passed over."""
    yield node
    with contextlib.suppress(Exception):
        for child in list(node):
            if child is not None:
                yield from walk(child)


def text_of(node):
    return node.queryText().getText(0, -1)


def application(pid):
    for app in R.Registry.getDesktop(0):
        with contextlib.suppress(Exception):  # an application that went away meanwhile
            if app is not None and app.get_process_id() == pid and app.childCount > 0:
                return app
    return None


@contextlib.contextmanager
def running(command, **options):
    """command started on the accessibility bus; yields its process and its
    application's accessible object, and ends both afterwards."""
    launcher = subprocess.Popen(["/usr/libexec/at-spi-bus-launcher", "--launch-immediately"],
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    environment = dict(os.environ, QT_QPA_PLATFORM="xcb",
                       QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
    process = subprocess.Popen(command, env=environment, **options)
    try:
        app = wait_for("the program on the accessibility bus",
                       lambda: process.poll() is not None or application(process.pid))
        if process.poll() is not None:
            raise RuntimeError(f"{command[0]} ended at once with status {process.returncode}")
        yield process, app
    finally:
        for started in (process, launcher):
            started.terminate()
            started.wait()

FLAT_BUTTONS = ["选择加密文件", "确认加密", "关闭(C)", "关于程序", "保存报告", "选择解密文件", "解密",
                "随机密码"]
TICKED_AT_FIRST = {"保存原文件副本": False, "生成自加密批处理文件": True, "生成自解密批处理文件": True,
                   "强加密": False}


def read(frame, failures):
    """The window's buttons and (a label and the box it names share the name)
    its other inputs, each by name, with what a screen reader would miss."""
    nodes = list(walk(frame))
    buttons = {n.name: n for n in nodes if n.getRole() == R.ROLE_PUSH_BUTTON}
    boxes = {n.name: n for n in nodes if n.getRole() not in (R.ROLE_LABEL, R.ROLE_PUSH_BUTTON)}
    if sorted(buttons) != sorted(FLAT_BUTTONS + ["Cexit"]):
        failures.append(f"push buttons: {sorted(buttons)}")
    for name, ticked in TICKED_AT_FIRST.items():
        if boxes[name].getState().contains(R.STATE_CHECKED) != ticked:
            failures.append(f"{name} is {'not ' if ticked else ''}ticked at first")
    for name in ("输入密码：", "确认密码："):  # read out as hidden text
        if boxes[name].getRole() != R.ROLE_PASSWORD_TEXT:
            failures.append(f"{name} is read out as {boxes[name].getRoleName()}")
    if boxes["操作记录"].getState().contains(R.STATE_EDITABLE):
        failures.append("the log can be typed into")
    return buttons, boxes


def main(program, settings):
    failures = []
    folder = tempfile.mkdtemp(prefix="veskard-e2e.")
    plan, content = os.path.join(folder, "plan.txt"), os.urandom(1000)
    with open(plan, "wb") as file:
        file.write(content)
    try:
        with running([program, plan], stderr=subprocess.DEVNULL) as (process, app):
            frame = wait_for("the main window", lambda: next(
                (n for n in walk(app) if n.getRole() == R.ROLE_FRAME and n.name == "Orvessa"), None))
            wait_for("its buttons", lambda: len([n for n in walk(frame)
                                                  if n.getRole() == R.ROLE_PUSH_BUTTON]) == 9)
            buttons, boxes = read(frame, failures)
            if text_of(boxes["选择加密文件："]) != plan:
                raise RuntimeError("the file named on the command line is not in 选择加密文件：")
            for name in ("输入密码：", "确认密码："):
                boxes[name].queryEditableText().setTextContents("读屏pw")
            buttons["确认加密"].queryAction().doAction(0)
            wait_for("加密成功！ in the log", lambda: "加密成功！" in text_of(boxes["操作记录"]))
            with open(plan, "rb") as file:
                if file.read() == content or not os.path.isdir(os.path.join(folder, "plan")):
                    failures.append("the file was not locked, or its scripts are missing")
            buttons["关闭(C)"].queryAction().doAction(0)
            wait_for("the program to end after 关闭", lambda: process.poll() is not None)
        if process.returncode != 0 or not os.path.isfile(settings):
            failures.append(f"closed with status {process.returncode}, {settings} not written")
    except (RuntimeError, TimeoutError, KeyError) as failure:
        failures.append(repr(failure))
    finally:
        shutil.rmtree(folder, ignore_errors=True)
    for failure in failures:
        print("FAIL:", failure)
    return 1 if failures else 0


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    sys.exit(main(*sys.argv[1:]))
