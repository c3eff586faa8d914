#!/usr/bin/python3
"""announcements.py PROGRAM IDLE: on an accessibility bus of its own, one change of the name box's
state must reach a screen reader exactly once with its text, however many watcher ticks follow. The
name watched is a copy of the idle program under a unique name; only processes started here are signalled."""
import os
import secrets
import shutil
import subprocess
import sys
import tempfile
import time

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi, GLib  # noqa: E402


def pump(seconds, done=lambda: False):
    end = time.monotonic() + seconds
    while not done() and time.monotonic() < end:
        GLib.MainContext.default().iteration(False) or time.sleep(0.01)
    return done()


def name_box_description():
    def find(node):
        if node is None or node.get_name() == "Process name":
            return node
        return next(filter(None, (find(node.get_child_at_index(i)) for i in range(node.get_child_count()))), None)
    try:
        box = find(Atspi.get_desktop(0))
        return box.get_description() if box else None
    except GLib.Error:  # the program is still coming up
        return None


def main(program, idle):
    told = []  # each change of the name box's description: its text, or None for one without it

    def on_event(event):
        if event.source and event.source.get_name() == "Process name":
            told.append(event.any_data if isinstance(event.any_data, str) else None)

    scratch = tempfile.mkdtemp(prefix="qx-announce-")
    started = []
    try:
        Atspi.init()  # the session bus starts at-spi-bus-launcher, which starts the accessibility bus
        listener = Atspi.EventListener.new(on_event)
        listener.register("object:property-change:accessible-description")

        name = "qx" + secrets.token_hex(6)
        os.makedirs(os.path.join(scratch, "config"))
        with open(os.path.join(scratch, "config", "ZORVIN-QUELLEX.ini"), "w") as ini:
            ini.write(f"[Settings]\nPROCESS_NAME_TEXTBOX={name}\nSHOW_ZORVIN_DEV_TICKBOX=0\n")
        started.append(subprocess.Popen([program], env=dict(
            os.environ, XDG_CONFIG_HOME=os.path.join(scratch, "config"), QT_QPA_PLATFORM="xcb",
            QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")))
        assert pump(30, lambda: name_box_description() == "not running"), "the name box never said red"

        shutil.copy(idle, os.path.join(scratch, name))
        told.clear()
        started.append(subprocess.Popen([os.path.join(scratch, name)]))
        assert pump(10, lambda: told), "no change of the name box's description within 10 s"
        pump(1.0)  # ten ticks of the watcher
        texts = [text for text in told if text is not None]
        print(f"events per flip carrying the text: {len(texts)} {texts}, without it: {len(told) - len(texts)}")
        assert texts == ["running"], 'one flip to running must be told exactly once, as "running"'
    finally:
        for process in reversed(started):
            process.terminate()
            process.wait(10)
        shutil.rmtree(scratch, ignore_errors=True)


if __name__ == "__main__":
    main(*sys.argv[1:3])
