#!/usr/bin/python3
# The screen reader's side of test_screen_reader.sh: a real AT-SPI2 client (pyatspi) finds the
# calculator, reads and presses its keys, follows its events and opens the About box through the
# menu. Prints one line per step; exits 1 on the first failure, naming it.
#   screen_reader.py absent             the program must not show up (accessibility off)
#   screen_reader.py use WINDOW_ID      the whole walk (WINDOW_ID for xdotool's keys)
import os
import subprocess
import sys
import time

import pyatspi
from gi.repository import GLib

DEC_KEYS = set("0123456789") | {"＋/－", ".", "＋", "－", "×", "÷", "＝", "RC", "RM", "M+", "M-", "C/CE",
                                "１６進", "２進", "10^x", "x^y", "x^2", "n!", "log", "ln", "√", "EXP", "MOD",
                                "三角関", "←BS"}
HEX_KEYS = set("0123456789ABCDEF") | {"＋/－", "＋", "－", "×", "÷", "＝", "RC", "RM", "M+", "M-", "C/CE",
                                      "１０進", "２進", "AND", "OR", "XOR", "NOT", "←BS"}
ABOUT_TEXTS = ["Quorix Version 3.12", "Copyright (C) 2001-2026 Larkwell", "https://www.example.com/quorix/",
               "support@example.com"]
BUTTONS = (pyatspi.ROLE_PUSH_BUTTON, pyatspi.ROLE_TOGGLE_BUTTON)

events = []


def fail(what):
    print("FAIL:", what)
    sys.exit(1)


def note(what):
    print(what, flush=True)


def on_event(event):
    try:
        source = event.source.name if event.source else None
        role = event.source.getRoleName() if event.source else None
    except Exception:
        source, role = None, None
    any_data = event.any_data if isinstance(event.any_data, str) else None
    events.append((event.type, role, source, event.detail1, any_data))


def pump(seconds, until=None):
    """Runs the client's main loop for at most `seconds`, or until `until()` holds."""
    context = GLib.MainContext.default()
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        while context.iteration(False):
            pass
        if until and until():
            return True
        time.sleep(0.02)
    return bool(until and until())


def find_app(seconds):
    found = []

    def look():
        desktop = pyatspi.Registry.getDesktop(0)
        found[:] = [a for a in desktop if a is not None and a.name == "quorix"]
        return bool(found)

    pump(seconds, look)
    return found[0] if found else None


def walk(node, keep):
    out = []
    for child in node:
        if child is None:
            continue
        if keep(child):
            out.append(child)
        if child.getRole() != pyatspi.ROLE_MENU_BAR:
            out.extend(walk(child, keep))
    return out


def frame_of(app):
    """The main window: the program registers before it has one, so it may take a moment."""
    frames = []

    def look():
        frames[:] = [c for c in app if c is not None and c.getRole() == pyatspi.ROLE_FRAME]
        return len(frames) == 1

    if not pump(10, look):
        fail("the application has %d frames, not one: %s" % (len(frames), [c for c in app]))
    return frames[0]


def keys_of(frame):
    return {b.name: b for b in walk(frame, lambda c: c.getRole() in BUTTONS)}


def display_of(frame):
    texts = walk(frame, lambda c: c.getRole() == pyatspi.ROLE_TEXT)
    if len(texts) != 1:
        fail("%d text objects on the face, not one display" % len(texts))
    return texts[0]


def shown(frame):
    return display_of(frame).queryText().getText(0, -1)


def inserted_since(mark):
    return [e[4] for e in events[mark:] if e[0] == "object:text-changed:insert" and e[1] == "text"]


def press(frame, caption, expect):
    """Clicks the key through Action; `expect`: the display's new text, or None when it stays."""
    keys = keys_of(frame)
    if caption not in keys:
        fail("no key '%s' in the tree" % caption)
    mark = len(events)
    if not keys[caption].queryAction().doAction(0):
        fail("the click on '%s' was refused" % caption)
    if expect is None:
        before = shown(frame)
        pump(0.5)
        if inserted_since(mark):
            fail("'%s' left the display alone but text changed: %s" % (caption, inserted_since(mark)))
        if shown(frame) != before:
            fail("'%s' changed the display to %r" % (caption, shown(frame)))
        note("%s: display stays %r, no text-changed event" % (caption, before))
        return
    if not pump(5, lambda: expect in inserted_since(mark)):
        fail("no text-changed event with %r after '%s' (saw %s)" % (expect, caption, events[mark:]))
    if shown(frame) != expect:
        fail("after '%s' the display reads %r, not %r" % (caption, shown(frame), expect))
    note("%s: text-changed insert %r; events %s" % (caption, expect, events[mark:]))


def check_key_set(frame, wanted, mode):
    names = set(keys_of(frame))
    if names != wanted:
        fail("%s keys in the tree differ: missing %s, extra %s" % (mode, sorted(wanted - names), sorted(names - wanted)))
    for key in keys_of(frame).values():
        states = key.getState()
        if not (states.contains(pyatspi.STATE_SHOWING) and states.contains(pyatspi.STATE_ENABLED)):
            fail("key '%s' is listed but not showing and enabled" % key.name)
    note("%s: %d keys, exactly the visible ones" % (mode, len(names)))


def keyboard(window, *keys):
    subprocess.run(["xdotool", "windowfocus", "--sync", window], timeout=5, check=False)
    subprocess.run(["xdotool", "key", "--delay", "40"] + list(keys), timeout=10, check=True)


def use(window):
    app = find_app(15)
    if app is None:
        fail("no application named quorix on the accessibility bus")
    note("found application %r" % app.name)
    pyatspi.Registry.registerEventListener(on_event, "object:text-changed", "object:children-changed",
                                           "object:state-changed", "focus:")
    frame = frame_of(app)
    check_key_set(frame, DEC_KEYS, "DEC")
    display = display_of(frame)
    if display.description != "display" or shown(frame) != "0.":
        fail("the display is %r (%r), not '0.' described as display" % (shown(frame), display.description))
    if keys_of(frame)["１６進"].description != "hexadecimal mode":
        fail("１６進 is described as %r" % keys_of(frame)["１６進"].description)
    labels = [l.name for l in walk(frame, lambda c: c.getRole() == pyatspi.ROLE_LABEL)]
    if "DEC" not in labels:
        fail("the base label is not in the tree: %s" % labels)

    # Each key's new display comes in a text-changed event: "7" while typing, "7." once an
    # operator has taken it.
    press(frame, "7", "7")
    press(frame, "＋", "7.")
    press(frame, "5", "5")
    press(frame, "＝", "12.")
    press(frame, "×", None)
    press(frame, "1", "1")
    press(frame, "0", "10")
    press(frame, "0", "100")
    press(frame, "＝", "1,200.")  # read as the panel shows it, grouped
    note("display reads %r through Text" % shown(frame))

    # Keyboard: Tab moves the focus from "0" to "1" and tells it; Space presses it.
    mark = len(events)
    keyboard(window, "Tab")
    if not pump(5, lambda: any(e[0] == "object:state-changed:focused" and e[2] == "1" and e[3] == 1
                               for e in events[mark:])):
        fail("Tab told no focus on '1' (saw %s)" % events[mark:])
    if not keys_of(frame)["1"].getState().contains(pyatspi.STATE_FOCUSED):
        fail("'1' is not focused after Tab")
    note("Tab: %s" % [e for e in events[mark:] if "focus" in e[0]])
    mark = len(events)
    keyboard(window, "space")
    if not pump(5, lambda: "1" in inserted_since(mark)):
        fail("Space on the focused '1' did not enter 1 (saw %s)" % events[mark:])
    note("Space: %s" % events[mark:])

    # HEX through its key: the HEX keys come, the DEC-only ones go.
    mark = len(events)
    keys_of(frame)["１６進"].queryAction().doAction(0)
    if not pump(5, lambda: any(e[0] == "object:children-changed:add" for e in events[mark:])):
        fail("switching to HEX told no children added")
    pump(0.3)
    check_key_set(frame, HEX_KEYS, "HEX")
    if shown(frame) != "1":
        fail("the display reads %r in HEX, not 1" % shown(frame))
    if not keys_of(frame)["１０進"].getRole() == pyatspi.ROLE_TOGGLE_BUTTON:
        fail("the base keys are not toggle buttons")
    added = [e for e in events[mark:] if e[0] == "object:children-changed:add"]
    removed = [e for e in events[mark:] if e[0] == "object:children-changed:remove"]
    note("HEX: children-changed: %d added, %d removed" % (len(added), len(removed)))
    # A new entry after the switch; HEX groups by four with a space, as the panel shows it.
    for shown_now in ["F", "FF", "FFF", "FFFF", "F FFFF"]:
        press(frame, "F", shown_now)

    # The About box through the menu bar.
    bars = [c for c in frame if c.getRole() == pyatspi.ROLE_MENU_BAR]
    if len(bars) != 1:
        fail("no menu bar in the frame")
    menus = [c for c in bars[0] if c.getRole() == pyatspi.ROLE_MENU]
    items = {i.name: i for m in menus for i in m}
    if "バージョン情報" not in items:
        fail("no About item in the menus: %s" % list(items))
    items["バージョン情報"].queryAction().doAction(0)
    dialogs = []

    def about_open():
        dialogs[:] = [c for c in app if c.getRole() == pyatspi.ROLE_DIALOG]
        return bool(dialogs)

    if not pump(5, about_open):
        fail("the About box did not appear")
    about = dialogs[0]
    texts = [l.name for l in walk(about, lambda c: c.getRole() == pyatspi.ROLE_LABEL)]
    if about.name != "Quorix のバージョン情報" or texts != ABOUT_TEXTS:
        fail("the About box %r reads %s" % (about.name, texts))
    if not about.getState().contains(pyatspi.STATE_MODAL):
        fail("the About box is not modal")
    note("About box %r: %s" % (about.name, texts))
    label_path = walk(about, lambda c: c.getRole() == pyatspi.ROLE_LABEL)[0].path
    oks = walk(about, lambda c: c.getRole() == pyatspi.ROLE_PUSH_BUTTON and c.name == "ok")
    if len(oks) != 1:
        fail("the About box has no ok button")
    oks[0].queryAction().doAction(0)
    if not pump(5, lambda: not about_open()):
        fail("ok did not close the About box")
    note("ok closed the About box")

    hostile(label_path)
    press(frame, "C/CE", "0.")  # the cleared display, as the headless driver shows it too


def hostile(gone_path):
    """Calls for objects that are gone or never were, wrong arguments and a flood get errors or
    answers, and the program goes on answering."""
    import dbus
    session = dbus.SessionBus()
    address = session.call_blocking("org.a11y.Bus", "/org/a11y/bus", "org.a11y.Bus", "GetAddress", "", [])
    bus = dbus.bus.BusConnection(str(address))
    pid = int(os.environ["QUORIX_PID"])
    names = [n for n in bus.list_names() if n.startswith(":")]
    ours = [n for n in names if bus.call_blocking("org.freedesktop.DBus", "/org/freedesktop/DBus",
                                                  "org.freedesktop.DBus", "GetConnectionUnixProcessID", "s",
                                                  [n]) == pid]
    if len(ours) != 1:
        fail("the program's connection is not on the accessibility bus")
    name = ours[0]
    root = "/org/a11y/atspi/accessible/root"

    def call(path, interface, member, signature="", args=()):
        return bus.call_blocking(name, path, interface, member, signature, list(args), timeout=5)

    def refused(expected, path, interface, member, signature="", args=()):
        try:
            call(path, interface, member, signature, args)
        except dbus.exceptions.DBusException as e:
            if e.get_dbus_name() != expected:
                fail("%s on %s: %s, not %s" % (member, path, e.get_dbus_name(), expected))
            return
        fail("%s on %s was answered" % (member, path))

    accessible = "org.a11y.atspi.Accessible"
    unknown_object = "org.freedesktop.DBus.Error.UnknownObject"
    refused(unknown_object, gone_path, accessible, "GetRole")
    refused(unknown_object, "/org/a11y/atspi/accessible/999999", accessible, "GetRole")
    refused(unknown_object, "/org/a11y/atspi/accessible/0001", accessible, "GetRole")
    refused(unknown_object, "/org/a11y/atspi/accessible/4294967297", accessible, "GetRole")
    refused("org.freedesktop.DBus.Error.InvalidArgs", root, accessible, "GetChildAtIndex", "s", ["0"])
    refused("org.freedesktop.DBus.Error.InvalidArgs", root, accessible, "GetChildAtIndex", "i", [2 ** 31 - 1])
    refused("org.freedesktop.DBus.Error.InvalidArgs", root, accessible, "GetChildAtIndex", "i", [-1])
    refused("org.freedesktop.DBus.Error.UnknownMethod", root, accessible, "Explode")
    refused("org.freedesktop.DBus.Error.UnknownMethod", root, "org.a11y.atspi.Text", "GetText", "ii", [0, -1])
    refused("org.freedesktop.DBus.Error.UnknownProperty", root, "org.freedesktop.DBus.Properties", "Get", "ss",
            [accessible, "Nonsense"])
    # A flood of calls nobody waits for, then one that is waited for.
    for _ in range(2000):
        bus.call_async(name, root, accessible, "GetChildren", "", [], None, None)
    if call(root, accessible, "GetRole") != pyatspi.ROLE_APPLICATION:
        fail("the root is no application after the flood")
    note("hostile calls refused with errors; the program still answers")


def absent():
    if find_app(3) is not None:
        fail("the program registered although accessibility is off")
    note("not on the bus while accessibility is off")


if __name__ == "__main__":
    if sys.argv[1] == "absent":
        absent()
    else:
        use(sys.argv[2])
    note("PASS")
