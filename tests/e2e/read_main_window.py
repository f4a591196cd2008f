#!/usr/bin/python3
"""Reads the main window the way a screen reader does, through AT-SPI.

Usage: read_main_window.py PROGRAM, with DISPLAY set and a session bus
(tests/support/own-display.sh provides both). Checks the roles, names,
states and actions the window exposes, and locks a file through them alone.
"""
import os
import shutil
import subprocess
import sys
import tempfile

import pyatspi

sys.dont_write_bytecode = True  # nothing written beside the sources
from screen_reader import Failure, find, running, text_of, wait_for, walk

FLAT_BUTTONS = ["选择加密文件", "确认加密", "关闭(C)", "关于程序", "保存报告", "选择解密文件", "解密",
                "随机密码"]
INPUTS = {"选择加密文件：": pyatspi.ROLE_TEXT, "输入密码：": pyatspi.ROLE_PASSWORD_TEXT,
          "确认密码：": pyatspi.ROLE_PASSWORD_TEXT, "文件解密到：": pyatspi.ROLE_TEXT,
          "操作记录": pyatspi.ROLE_TEXT, "保存原文件副本": pyatspi.ROLE_CHECK_BOX,
          "生成自加密批处理文件": pyatspi.ROLE_CHECK_BOX, "生成自解密批处理文件": pyatspi.ROLE_CHECK_BOX}
TICKED = {"保存原文件副本": False, "生成自加密批处理文件": True, "生成自解密批处理文件": True}


def controls(frame):
    """Every accessible below frame; its buttons and (a label and the box it
    names share the name) its other inputs, each by name."""
    nodes = [node for _, node in walk(frame)]
    buttons = {n.name: n for n in nodes if n.getRole() == pyatspi.ROLE_PUSH_BUTTON}
    boxes = {n.name: n for n in nodes if n.getRole() not in (pyatspi.ROLE_LABEL, pyatspi.ROLE_PUSH_BUTTON)}
    return nodes, buttons, boxes


def check(nodes, buttons, boxes):
    failures = []

    def expect(condition, message):
        if not condition:
            failures.append(message)

    expect(sorted(buttons) == sorted(FLAT_BUTTONS + ["Cexit"]), f"push buttons: {sorted(buttons)}")
    for name in FLAT_BUTTONS:
        action = buttons[name].queryAction() if name in buttons else None
        actions = action and [action.getName(i) for i in range(action.nActions)]
        expect(actions == ["Press"], f"{name}: actions {actions}")
    for name, role in INPUTS.items():
        found = boxes.get(name)
        expect(found is not None and found.getRole() == role, f"{name}: {found and found.getRoleName()}")
    for name, ticked in TICKED.items():
        expect(name in boxes and boxes[name].getState().contains(pyatspi.STATE_CHECKED) == ticked,
               f"{name}: not {'ticked' if ticked else 'unticked'}")
    expect(not boxes["操作记录"].getState().contains(pyatspi.STATE_EDITABLE), "the log can be typed into")
    labels = {n.name for n in nodes if n.getRole() == pyatspi.ROLE_LABEL}
    for caption in ("选择加密文件：", "输入密码：", "确认密码：", "选择解密文件：", "文件解密到："):
        expect(caption in labels, f"no label {caption}")
    expect(buttons["关于程序"].queryAction().doAction(0), "pressing 关于程序 failed")
    return failures


def lock_a_file(buttons, boxes):
    """The boxes filled in and 确认加密 pressed through the accessibility interface alone."""
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
        wait_for("加密成功！ in the log", lambda: "加密成功！" in text_of(boxes["操作记录"]))
        with open(plan, "rb") as file:
            if file.read() == content or not os.path.isdir(os.path.join(folder, "plan")):
                raise Failure("the file was not locked, or its scripts are missing")
    finally:
        shutil.rmtree(folder, ignore_errors=True)


def main(program):
    with running([program], stderr=subprocess.DEVNULL) as (_, app):
        frame = wait_for("the main window", lambda: find(app, pyatspi.ROLE_FRAME, "Orvessa"))
        wait_for("its buttons", lambda: len([n for _, n in walk(frame)
                                              if n.getRole() == pyatspi.ROLE_PUSH_BUTTON]) == 9)
        nodes, buttons, boxes = controls(frame)
        try:
            lock_a_file(buttons, boxes)
            failures = check(nodes, buttons, boxes)
        except (Failure, KeyError) as failure:
            failures = [repr(failure)]
    for failure in failures:
        print("FAIL:", failure)
    return 1 if failures else 0


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    sys.exit(main(sys.argv[1]))
