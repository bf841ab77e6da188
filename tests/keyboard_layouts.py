#!/usr/bin/python3
"""Ctrl+1, Ctrl+3, Ctrl+R and Ctrl+Q pressed by their keys' places under many keyboard layouts,
as X sends them, with the texts read back through AT-SPI and Quit seen in the exit status.
Usage, under tools/with-atspi with Debian's python3 (pyatspi): keyboard_layouts.py PROGRAM"""
import ctypes
import os
import subprocess
import sys
import time

import pyatspi

# The X keycodes of the keys where the US layout has 1, 3, R and Q.
ONE, THREE, US_R, US_Q, CTRL = 10, 12, 27, 24, 37
LAYOUTS = [("us", "", 0), ("de", "", 0), ("us", "dvorak", 0), ("fr", "", 0), ("be", "", 0),
           ("cz", "", 0), ("lt", "", 0), ("ru", "", 0), ("il", "", 0), ("ara", "", 0),
           ("us,ru", "", 1), ("us,il", "", 1)]  # the last number is the group locked on

x11, xtst = ctypes.CDLL("libX11.so.6"), ctypes.CDLL("libXtst.so.6")
x11.XOpenDisplay.restype = ctypes.c_void_p
x11.XStringToKeysym.restype = ctypes.c_ulong
x11.XKeysymToKeycode.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
display = ctypes.c_void_p(x11.XOpenDisplay(None))


def press(*keycodes):
    for code in keycodes:
        xtst.XTestFakeKeyEvent(display, code, True, 0)
    for code in reversed(keycodes):
        xtst.XTestFakeKeyEvent(display, code, False, 0)
    x11.XFlush(display)


def carrying(letter, us_place):  # the key that carries a letter in the layout, else the US one
    fresh = ctypes.c_void_p(x11.XOpenDisplay(None))  # Xlib keeps the keymap it first read
    code = x11.XKeysymToKeycode(fresh, x11.XStringToKeysym(letter.encode()))
    x11.XCloseDisplay(fresh)
    return code or us_place


def focal_length(program):
    for app in pyatspi.Registry.getDesktop(0):
        if app and app.get_process_id() == program.pid:
            found = pyatspi.findDescendant(app, lambda n: n.name == "Focal length value")
            return found.queryText().getText(0, -1) if found else None
    return None


def wait_for(what, want, seconds=5):
    deadline = time.monotonic() + seconds
    while (got := what()) != want and time.monotonic() < deadline:
        time.sleep(0.05)
    return got


failures = []
for layout, variant, group in LAYOUTS:
    name = f"{layout} {variant}".strip() + (f" (group {group + 1})" if group else "")
    subprocess.run(["setxkbmap", "-layout", layout, "-variant", variant], check=True)
    x11.XkbLockGroup(display, 0x100, group)  # 0x100: the core keyboard
    program = subprocess.Popen([sys.argv[1]], env=dict(os.environ, QT_QPA_PLATFORM="xcb",
                               QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1"))
    if wait_for(lambda: focal_length(program), "2000 mm", 15) != "2000 mm":
        failures.append(f"{name}: the program did not come up")
        program.kill()
        continue
    # With no window manager the keyboard follows the pointer; give the window the focus.
    window = subprocess.run(["xdotool", "search", "--pid", str(program.pid)], check=True,
                            capture_output=True, text=True).stdout.split()[0]
    subprocess.run(["xdotool", "windowfocus", "--sync", window], check=True)
    r, q = carrying("r", US_R), carrying("q", US_Q)
    for keys, want in [(ONE, "480 mm"), (r, "2000 mm"), (THREE, "1250 mm"), (r, "2000 mm")]:
        press(CTRL, keys)
        if (got := wait_for(lambda: focal_length(program), want)) != want:
            failures.append(f"{name}: Ctrl with keycode {keys} shows {got!r}, want {want!r}")
            print(failures[-1], flush=True)
    if layout == "fr":  # AZERTY's A sits where US has Q: Ctrl with it is Ctrl+A
        press(CTRL, US_Q)
        time.sleep(0.5)
        if program.poll() is not None:
            failures.append("fr: Ctrl with the key of A quit the program")
    press(CTRL, q)
    try:
        status = program.wait(5)
    except subprocess.TimeoutExpired:
        status = "still running"
        program.kill()
    if status != 0:
        failures.append(f"{name}: Ctrl+Q left status {status}")
    print(f"{name}: {'ok' if not [f for f in failures if f.startswith(name)] else 'FAILED'}",
          flush=True)

print("\n".join(failures) or "Every layout reaches Ctrl+1, Ctrl+3, Ctrl+R and Ctrl+Q.")
sys.exit(1 if failures else 0)
