#!/usr/bin/python3
"""Ctrl+1, Ctrl+3, Ctrl+R and Ctrl+Q pressed by their keys under a dozen keyboard layouts, as X
sends them; texts read back through AT-SPI, Quit seen in the exit status.
Usage, under tools/with-atspi with Debian's python3 (pyatspi): keyboard_layouts.py PROGRAM"""
import ctypes, os, subprocess, sys, time
import pyatspi

ONE, THREE, US_R, US_Q, CTRL = 10, 12, 27, 24, 37  # X keycodes of the US layout's keys
# Layout, variant, and the group locked on.
LAYOUTS = [("us", "", 0), ("de", "", 0), ("us", "dvorak", 0), ("fr", "", 0), ("be", "", 0),
           ("cz", "", 0), ("lt", "", 0), ("ru", "", 0), ("il", "", 0), ("ara", "", 0),
           ("us,ru", "", 1), ("us,il", "", 1)]
x11, xtst = ctypes.CDLL("libX11.so.6"), ctypes.CDLL("libXtst.so.6")
x11.XOpenDisplay.restype, x11.XStringToKeysym.restype = ctypes.c_void_p, ctypes.c_ulong
x11.XKeysymToKeycode.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
display = ctypes.c_void_p(x11.XOpenDisplay(None))


def press(*codes):
    for code, down in [(c, True) for c in codes] + [(c, False) for c in reversed(codes)]:
        xtst.XTestFakeKeyEvent(display, code, down, 0)
    x11.XFlush(display)


def carrying(letter, us_place):  # the key that carries a letter in the layout, else the US one
    fresh = ctypes.c_void_p(x11.XOpenDisplay(None))  # Xlib keeps the keymap it first read
    code = x11.XKeysymToKeycode(fresh, x11.XStringToKeysym(letter.encode()))
    x11.XCloseDisplay(fresh)
    return code or us_place


def wait_for(program, want, seconds=5):  # the focal length label's text
    deadline, got = time.monotonic() + seconds, None
    while got != want and time.monotonic() < deadline:
        time.sleep(0.05)
        apps = [a for a in pyatspi.Registry.getDesktop(0) if a and a.get_process_id() == program.pid]
        found = apps and pyatspi.findDescendant(apps[0], lambda n: n.name == "Focal length value")
        got = found.queryText().getText(0, -1) if found else None
    return got


failures = []
for layout, variant, group in LAYOUTS:
    name = f"{layout} {variant}".strip() + (f" (group {group + 1})" if group else "")
    subprocess.run(["setxkbmap", "-layout", layout, "-variant", variant], check=True)
    x11.XkbLockGroup(display, 0x100, group)  # 0x100: the core keyboard
    program = subprocess.Popen([sys.argv[1]], env=dict(
        os.environ, QT_QPA_PLATFORM="xcb", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1"))
    seen = [wait_for(program, "2000 mm", 15)]
    # With no window manager the keyboard follows the pointer; give the window the focus.
    window = subprocess.run(["xdotool", "search", "--pid", str(program.pid)],
                            capture_output=True, text=True).stdout.split()
    subprocess.run(["xdotool", "windowfocus", "--sync", *window[:1]])
    r, q = carrying("r", US_R), carrying("q", US_Q)
    for keys, want in [(ONE, "480 mm"), (r, "2000 mm"), (THREE, "1250 mm"), (r, "2000 mm")]:
        press(CTRL, keys)
        seen.append(wait_for(program, want))
    if layout == "fr":  # AZERTY's A sits where US has Q: Ctrl with it is Ctrl+A
        press(CTRL, US_Q)
        time.sleep(0.5)
        seen.append("quit by Ctrl+A" if program.poll() is not None else "2000 mm")
    press(CTRL, q)
    try:
        seen.append(program.wait(5))
    except subprocess.TimeoutExpired:
        seen.append("still running after Ctrl+Q")
        program.kill()
    want = ["2000 mm", "480 mm", "2000 mm", "1250 mm", "2000 mm"] + ["2000 mm"] * (layout == "fr")
    print(f"{name}: {'ok' if seen == want + [0] else seen}", flush=True)
    failures += [name] * (seen != want + [0])
sys.exit("Layouts that fail: " + ", ".join(failures) if failures else None)
