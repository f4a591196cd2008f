#!/usr/bin/python3
"""Reads the main window the way a screen reader does, through AT-SPI.

Usage: read_main_window.py PROGRAM, with DISPLAY set and a session bus
(tests/support/own-display.sh provides both).

Starts the accessibility bus, runs PROGRAM with Qt's accessibility on, checks
the names, roles, states, texts and actions it exposes, and locks a file
through it alone.
"""

import os
import shutil
import subprocess
import sys
import tempfile
import time

import pyatspi

BUS_LAUNCHER = "/usr/libexec/at-spi-bus-launcher"


def wait_for(what, probe, seconds=10.0):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        found = probe()
        if found:
            return found
        time.sleep(0.05)
    raise AssertionError(f"timed out waiting for {what}")


def tree(accessible, depth=0):
    """Every accessible below `accessible`, with its depth, in reading order."""
    yield depth, accessible
    for index in range(accessible.childCount):
        child = accessible.getChildAtIndex(index)
        if child is not None:
            yield from tree(child, depth + 1)


def describe(accessible):
    text = ""
    try:
        content = accessible.queryText()
        text = content.getText(0, content.characterCount)
    except NotImplementedError:
        pass
    return accessible.getRoleName(), accessible.name, text


def read(program):
    launcher = subprocess.Popen([BUS_LAUNCHER, "--launch-immediately"],
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    window = None
    try:
        desktop = wait_for("the accessibility bus", lambda: pyatspi.Registry.getDesktop(0))
        env = dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_QPA_PLATFORM="xcb")
        window = subprocess.Popen([program], env=env, stderr=subprocess.DEVNULL)

        def main_window():
            for app in desktop:
                if app is not None and app.name == os.path.basename(program):
                    for frame in app:
                        if frame is not None and frame.name == "Orvessa":
                            return frame
            return None

        frame = wait_for("the main window on the accessibility bus", main_window)
        wait_for("its buttons", lambda: len(controls(frame)[0]) == 9)
        for depth, accessible in tree(frame):
            print("  " * depth + "%s %r %r" % describe(accessible))
        return lock_a_file(frame) or check(frame)
    finally:
        if window is not None:
            window.terminate()
            window.wait()
        launcher.terminate()
        launcher.wait()


def controls(frame):
    buttons, others = {}, []
    for _, accessible in tree(frame):
        if accessible.getRole() == pyatspi.ROLE_PUSH_BUTTON:
            buttons[accessible.name] = accessible
        else:
            others.append(accessible)
    return buttons, others


def lock_a_file(frame):
    """Locks a file as a screen reader's user does: the boxes filled in and 确认加密
    pressed through the accessibility interface alone. Returns 1 on failure."""
    buttons, others = controls(frame)
    boxes = {accessible.name: accessible for accessible in others
             if accessible.getRole() in (pyatspi.ROLE_TEXT, pyatspi.ROLE_PASSWORD_TEXT)}
    folder = tempfile.mkdtemp(prefix="veskard-e2e.")
    try:
        plan = os.path.join(folder, "plan.txt")
        content = os.urandom(1000)
        with open(plan, "wb") as file:
            file.write(content)
        boxes["选择加密文件："].queryEditableText().setTextContents(plan)
        for name in ("输入密码：", "确认密码："):
            boxes[name].queryEditableText().setTextContents("读屏pw")
        buttons["确认加密"].queryAction().doAction(0)
        log = boxes["操作记录"].queryText()
        wait_for("加密成功！ in the log", lambda: "加密成功！" in log.getText(0, -1))
        with open(plan, "rb") as file:
            locked = file.read()
        if locked == content or not os.path.isdir(os.path.join(folder, "plan")):
            print("FAIL: the file was not locked, or its scripts are missing")
            return 1
        return 0
    finally:
        shutil.rmtree(folder, ignore_errors=True)


def check(frame):
    buttons, others = controls(frame)
    failures = []

    def expect(condition, message):
        if not condition:
            failures.append(message)

    expect(frame.getRole() == pyatspi.ROLE_FRAME, f"the window reads as {frame.getRoleName()}")

    flat = ["选择加密文件", "确认加密", "关闭(C)", "关于程序",
            "保存报告", "选择解密文件", "解密", "随机密码"]
    expect(sorted(buttons) == sorted(flat + ["Cexit"]), f"push buttons: {sorted(buttons)}")
    for name in flat:
        if name in buttons:
            action = buttons[name].queryAction()
            names = [action.getName(i) for i in range(action.nActions)]
            expect(names == ["Press"], f"{name}: actions {names}")
    if "关于程序" in buttons:
        expect(buttons["关于程序"].queryAction().doAction(0), "pressing 关于程序 failed")

    # A label and the box it names share the name: look the boxes up apart.
    by_name = {accessible.name: accessible for accessible in others
               if accessible.getRole() != pyatspi.ROLE_LABEL}
    inputs = {
        "选择加密文件：": pyatspi.ROLE_TEXT, "输入密码：": pyatspi.ROLE_PASSWORD_TEXT,
        "确认密码：": pyatspi.ROLE_PASSWORD_TEXT, "文件解密到：": pyatspi.ROLE_TEXT,
        "操作记录": pyatspi.ROLE_TEXT, "保存原文件副本": pyatspi.ROLE_CHECK_BOX,
        "生成自加密批处理文件": pyatspi.ROLE_CHECK_BOX, "生成自解密批处理文件": pyatspi.ROLE_CHECK_BOX,
    }
    for name, role in inputs.items():
        found = by_name.get(name)
        expect(found is not None and found.getRole() == role, f"{name}: {found and found.getRoleName()}")
    for name, ticked in (("保存原文件副本", False), ("生成自加密批处理文件", True),
                         ("生成自解密批处理文件", True)):
        if name in by_name:
            checked = by_name[name].getState().contains(pyatspi.STATE_CHECKED)
            expect(checked == ticked, f"{name}: checked {checked}")
    if "操作记录" in by_name:
        editable = by_name["操作记录"].getState().contains(pyatspi.STATE_EDITABLE)
        expect(not editable, "the log can be typed into")
    labels = {accessible.name for accessible in others if accessible.getRole() == pyatspi.ROLE_LABEL}
    for caption in ("选择加密文件：", "输入密码：", "确认密码：", "选择解密文件：", "文件解密到："):
        expect(caption in labels, f"no label {caption}")

    for failure in failures:
        print("FAIL:", failure)
    return 1 if failures else 0


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    sys.exit(read(sys.argv[1]))
