#!/usr/bin/python3
"""announcements.py PROGRAM IDLE: on a real accessibility bus (at-spi-bus-launcher on the session bus
of dbus-run-session, in an X server of its own), the built program must tell a screen reader of one
change of the name box's state exactly once with its text, however many ticks of its watcher follow.
The name it watches is a copy of the idle program under a name no other process has, started here;
only the processes started here are ever signalled."""
import os
import secrets
import shutil
import subprocess
import sys
import tempfile
import time

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi, Gio, GLib  # noqa: E402

LAUNCHER = "/usr/libexec/at-spi-bus-launcher"
START_S = 30  # the program starts its toolkit on a loaded machine
SETTLE_S = 1.0  # ten ticks of the watcher after the change is first told


def pump(seconds, done=lambda: False):
    context = GLib.MainContext.default()
    end = time.monotonic() + seconds
    while not done() and time.monotonic() < end:
        context.iteration(False) or time.sleep(0.01)
    return done()


def bus_launched():
    session = Gio.bus_get_sync(Gio.BusType.SESSION)
    reply = session.call_sync("org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus",
                              "NameHasOwner", GLib.Variant("(s)", ("org.a11y.Bus",)), None, 0, -1)
    return reply.unpack()[0]


def application_up():
    desktop = Atspi.get_desktop(0)
    return any(desktop.get_child_at_index(i) is not None for i in range(desktop.get_child_count()))


def main(program, idle):
    told = []  # (text or None, source name), each description change seen after the flip
    flipped = [False]

    def on_event(event):
        if flipped[0]:
            text = event.any_data if isinstance(event.any_data, str) else None
            told.append((text, event.source.get_name() if event.source else ""))

    scratch = tempfile.mkdtemp(prefix="qx-announce-")
    started = []
    try:
        started.append(subprocess.Popen([LAUNCHER, "--launch-immediately"]))
        if not pump(10, bus_launched):
            print("FAIL: at-spi-bus-launcher did not come up")
            return 1
        Atspi.init()
        listener = Atspi.EventListener.new(on_event)
        listener.register("object:property-change:accessible-description")

        name = "qx" + secrets.token_hex(6)
        os.makedirs(os.path.join(scratch, "config"))
        with open(os.path.join(scratch, "config", "ZORVIN-QUELLEX.ini"), "w") as ini:
            ini.write(f"[Settings]\nPROCESS_NAME_TEXTBOX={name}\nAUTO_TERMINATE_TICKBOX=0\n"
                      "SHOW_ZORVIN_DEV_TICKBOX=0\n")
        environment = dict(os.environ, XDG_CONFIG_HOME=os.path.join(scratch, "config"),
                           QT_QPA_PLATFORM="xcb", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
        started.append(subprocess.Popen([program], env=environment))
        if not pump(START_S, application_up):
            print("FAIL: the program did not come up on the accessibility bus")
            return 1
        pump(1.0)  # its first checks, red, before the change counted

        target = os.path.join(scratch, name)
        shutil.copy(idle, target)
        flipped[0] = True
        started.append(subprocess.Popen([target]))
        if not pump(10, lambda: any(source == "Process name" for _, source in told)):
            print(f"FAIL: no description change of the name box within 10 s (seen: {told})")
            return 1
        pump(SETTLE_S)
        texts = [text for text, source in told if source == "Process name" and text is not None]
        others = sum(1 for text, source in told if source == "Process name" and text is None)
        print(f"Qt {qt_version(program)}: events per flip carrying the text: {len(texts)} {texts}, "
              f"without it: {others}")
        if texts != ["running"]:
            print('FAIL: one flip to running must be told exactly once, as "running"')
            return 1
        print("PASS: the change was told once, with its text")
        return 0
    finally:
        for process in reversed(started):
            process.terminate()
            process.wait(10)
        shutil.rmtree(scratch, ignore_errors=True)


def qt_version(program):
    found = subprocess.run(["ldd", program], capture_output=True, text=True).stdout.split()
    core = next((os.path.realpath(path) for path in found if path.startswith("/") and "libQt6Core.so" in path), "")
    return core.rsplit(".so.", 1)[-1] if core else "?"


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:3]))
