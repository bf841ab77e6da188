#!/usr/bin/python3
"""Reads and works the running program through the AT-SPI bus, as a screen reader does.
Usage, under tools/with-atspi with Debian's python3 (pyatspi): atspi_check.py PROGRAM"""
import os
import subprocess
import sys
import time

import math
from xml.etree import ElementTree

import pyatspi
from gi.repository import Gio, GLib

# Labels: the text at start-up as read, the caption. Sliders: the quantity at start-up, range,
# and the value in words, which a screen reader speaks; a slider goes by its own name.
STATUS = "Optic in the light path"  # the status line's name, offered only while it shows one
LABELS = {"Aperture value": ("200 mm", "Aperture:"), "Focal ratio": ("ƒ = 10.0", "Telescope"),
          "Focal length value": ("2000 mm", "Focal length:"), STATUS: ("", "Telescope")}
SLIDERS = {"Aperture": (200, 50, 400, "200 millimetres"),
           "Focal length": (2000, 400, 3000, "2000 millimetres")}
for n, afov, efl, power, field, pupil in [(1, 50, 25, "x 80", "37.5'", "2.5"),
                                          (2, 52, 32, "x 63", "49.9'", "3.2")]:
    LABELS.update({f"Eyepiece {n} apparent field value": (f"{afov}°", "AFOV:"),
                   f"Eyepiece {n} focal length value": (f"{efl} mm", "Focal length:"),
                   f"Eyepiece {n} magnification": (power, "Magnification:"),
                   f"Eyepiece {n} true field of view": (field, "True field of view:"),
                   f"Eyepiece {n} exit pupil": (pupil, "Exit pupil:")})
    SLIDERS.update({f"Eyepiece {n} apparent field": (afov, 0, 90, f"{afov} degrees"),
                    f"Eyepiece {n} focal length": (efl, 3, 55, f"{efl} millimetres")})
START = {name: text for name, (text, _) in LABELS.items()}
# What a step does, the slider values it leaves, the texts it shows and Barlow's checked state.
STEPS = [
    ("pressing the aperture's up arrow widens it by 1 mm", "press", "Aperture up", None,
     {"Aperture": 201}, {"Aperture value": "201 mm"}, False),
    ("a focal length set by a screen reader runs the update", "set", "Focal length", 1000,
     {"Focal length": 1000}, {"Focal length value": "1000 mm", "Focal ratio": "ƒ = 5.0",
                              "Eyepiece 1 magnification": "x 40"}, False),
    ("a value past the range stops at its end", "set", "Eyepiece 1 focal length", 80.4,
     {"Eyepiece 1 focal length": 55}, {"Eyepiece 1 focal length value": "55 mm"}, False),
    ("Edit, Reset brings back the start-up values", "press", "Reset", None,
     {n: s[0] for n, s in SLIDERS.items()}, START, False),
    ("pressing Barlow doubles the focal length", "press", "Barlow lens", None, {},
     {"Focal length value": "4000 mm", "Focal ratio": "ƒ = 20.0", "Eyepiece 1 magnification":
      "x 160", "Eyepiece 2 magnification": "x 125", "Eyepiece 2 exit pupil": "1.6",
      STATUS: "Barlow"}, True),
    ("the locked focal length slider takes no value", "set", "Focal length", 1000,
     {"Focal length": 2000}, {"Focal length value": "4000 mm"}, True),
    ("the locked R/C button does not act", "press", "Reducer/corrector", None, {},
     {STATUS: "Barlow"}, True),
    ("pressing Barlow again takes it out", "press", "Barlow lens", None, {}, START, False)]

failures, events = [], []
DESKTOP, WINDOW = pyatspi.DESKTOP_COORDS, pyatspi.WINDOW_COORDS
TOLD = ("text-changed", "property-change")  # how a screen reader learns of a new text or value
# How the results after a change are told: from Qt 6.8 on as Qt's announcement, before it as the
# new description of the object in focus.
QT_68 = tuple(map(int, os.environ["MIRAVANE_QT_VERSION"].split(".")[:2])) >= (6, 8)
ANNOUNCED = "object:announcement" if QT_68 else "object:property-change:accessible-description"


def expect(what, got, want):
    if got != want:
        failures.append(f"{what}: got {got!r}, want {want!r}")


def pump(done, seconds=5):  # the main loop delivers the events
    deadline = time.monotonic() + seconds
    while not done() and time.monotonic() < deadline:
        if not GLib.MainContext.default().iteration(False):
            time.sleep(0.01)


def shown(node):  # a slider's value, a label's text
    return (node.queryValue().currentValue if "Value" in node.get_interfaces() else
            node.queryText().getText(0, -1) if "Text" in node.get_interfaces() else "<no text>")


def related(node, kind):
    return [r.getTarget(i) for r in node.getRelationSet() if r.getRelationType() == kind
            for i in range(r.getNTargets())]


def press(node):
    action = node.queryAction()
    action.doAction([action.getName(i) for i in range(action.nActions)].index("Press"))


def check(ui, what, sliders, texts, barlow):
    for name, quantity in sliders.items():
        v = ui[name].queryValue()
        expect(f"{what}: {name} slider", (v.currentValue, v.minimumValue, v.maximumValue,
                                          v.minimumIncrement), (quantity, *SLIDERS[name][1:3], 1))
    for name, text in texts.items():
        expect(f"{what}: {name}", shown(ui[name]), text)
    expect(f"{what}: Barlow checked", ui["Barlow lens"].getState().contains(pyatspi.STATE_CHECKED),
           barlow)
    # An empty line that spoke its name would say an optic is in.
    expect(f"{what}: the status line's name", ui[STATUS].name, STATUS if shown(ui[STATUS]) else "")


def page_round_trip(ui, nodes):
    """Page 2 to the front and back to page 1. A screen reader holds the states it read of
    page 1's objects while the page was hidden, changed by the events told since, and reviews
    only what is showing and visible. The pages go by their names, their stack by none, not
    as "layered pane"."""
    page, other = (ui[f"Eyepiece {n} magnification"].parent for n in (1, 2))
    tabs = [n for n in nodes if n and n.getRole() == pyatspi.ROLE_PAGE_TAB]
    front = lambda: page.getState().contains(pyatspi.STATE_SHOWING)
    press(tabs[1])
    pump(lambda: not front())
    held = {n.path: (n.name, {s.value_nick for s in n.getState().getStates()})
            for n in [page, *pyatspi.findAllDescendants(page, lambda n: True)]}
    del events[:]
    press(tabs[0])

    def unreviewable():
        states = {path: set(held_states) for path, (_, held_states) in held.items()}
        for e in events:
            if e.type.startswith("object:state-changed:") and e.source.path in states:
                change = set.add if e.detail1 else set.discard
                change(states[e.source.path], e.type.split(":")[2])
        return sorted(held[path][0] for path, got in states.items()
                      if not {"showing", "visible"} <= got)
    pump(lambda: front() and not unreviewable()
         and not other.getState().contains(pyatspi.STATE_SHOWING))
    expect("page 1's objects that review leaves out after page 2", unreviewable(), [])
    expect("the pages' stack, a page", [(n.getRole(), n.name) for n in (page.parent, page)],
           [(pyatspi.ROLE_PANEL, ""), (pyatspi.ROLE_PANEL, "Eyepiece 1")])


EDGES = {"i": [-1, 0, 1, 8, 2**31 - 1, -2**31], "u": [0, 1, 2, 7, 2**32 - 1], "b": [True, False],
         "d": [math.nan, math.inf, -math.inf, 1e308, -1e308], "s": ["", "abc"], "n": [-1, 2**15 - 1]}
WRONG = [GLib.Variant("s", "abc"), GLib.Variant("d", math.nan), GLib.Variant("d", -math.inf),
         GLib.Variant("as", [])]  # values a Set of CurrentValue must refuse


def fuzz(ui, root):
    """Every method of every object's interfaces over raw D-Bus, with edge and wrong-typed
    arguments: each must answer, none may change what the window shows."""

    session = Gio.bus_get_sync(Gio.BusType.SESSION)
    address = session.call_sync("org.a11y.Bus", "/org/a11y/bus", "org.a11y.Bus", "GetAddress",
                                None, None, 0, 2000, None).unpack()[0]
    bus = Gio.DBusConnection.new_for_address_sync(address, Gio.DBusConnectionFlags(9), None, None)

    def dbus(name, path, interface, method, signature, arguments):
        body = GLib.Variant(f"({signature})", arguments) if signature else None
        return bus.call_sync(name, path, interface, method, body, None, 0, 2000, None)

    owner = root.app.bus_name  # the program's own connection to the bus
    before = {n: shown(ui[n]) for n in {**LABELS, **SLIDERS}}
    times, hangs = [], []
    for path in {root.path} | {n.path for n in ui.values() if n}:
        try:
            xml = dbus(owner, path, "org.freedesktop.DBus.Introspectable", "Introspect", "", None)
        except GLib.Error as error:
            hangs.append(f"the program stopped answering before {path}: {error.message}")
            break
        for interface in ElementTree.fromstring(xml.unpack()[0]).iter("interface"):
            iname = interface.get("name")
            for method in interface.iter("method"):
                signature = "".join(a.get("type") for a in method.iter("arg")
                                    if a.get("direction") == "in")
                if iname.endswith("Action") and method.get("name") == "DoAction":
                    calls = [("i", (i,)) for i in (-1, 99, 2**31 - 1, -2**31)]
                elif set(signature) <= set(EDGES):
                    # Each argument runs through its edges out of step with the others, so
                    # that ranges such as (0, INT_MAX) come up.
                    calls = [(signature, tuple(EDGES[t][(k + 3 * j) % len(EDGES[t])]
                                               for j, t in enumerate(signature)))
                             for k in range(6)] + [("s", ("abc",)), ("", None)]
                else:
                    calls = [("s", ("abc",)), ("", None)]
                for signature, arguments in calls:
                    start = time.monotonic()
                    try:
                        dbus(owner, path, iname, method.get("name"), signature, arguments)
                    except GLib.Error as error:
                        if "Timeout" in error.message or "NoReply" in error.message:
                            hangs.append(f"{path} {iname}.{method.get('name')}{arguments}")
                    times.append(time.monotonic() - start)
        for value in WRONG:
            try:
                dbus(owner, path, "org.freedesktop.DBus.Properties", "Set", "ssv",
                     ("org.a11y.atspi.Value", "CurrentValue", value))
            except GLib.Error:
                pass
    times.sort()
    print(f"{len(times)} calls on the bus, {len(hangs)} hung, the slowest in "
          f"{times[-1] * 1000:.0f} ms, {sum(t > 0.05 for t in times)} over 50 ms")
    expect("calls that hung", hangs, [])
    expect("the program after the calls", app.poll(), None)
    if app.poll() is None:
        expect("the window after the calls", {n: shown(ui[n]) for n in before}, before)
    # A value of any integer type is a number too: each of these moves the aperture.
    aperture, set_to = ui["Aperture"], []
    for i, kind in enumerate("ynqiuxt"):
        dbus(owner, aperture.path, "org.freedesktop.DBus.Properties", "Set", "ssv",
             ("org.a11y.atspi.Value", "CurrentValue", GLib.Variant(kind, 60 + i)))
        set_to.append(shown(aperture))
    aperture.queryValue().currentValue = before["Aperture"]
    expect("integer values set", set_to, list(range(60, 67)))


def run(root):
    nodes = pyatspi.findAllDescendants(root, lambda node: True)
    ui = {node.name: node for node in nodes}
    ui[STATUS] = [n for n in nodes if n and n.getRole() == pyatspi.ROLE_LABEL
                  and n.name in ("", STATUS)][0]  # the one label that may show nothing
    # A Windows screen reader finds the same names through UI Automation (tests/uia_check).
    with open(os.path.join(os.path.dirname(os.path.abspath(__file__)), "data", "uia-ids.txt"),
              encoding="utf-8") as listed:
        uia = {row.split("\t")[2].replace("{page}", "1") for row in listed if row[0] != "#"}
    expect("names listed for UI Automation that AT-SPI lacks", sorted(uia - set(ui) - {""}), [])
    for name, row in LABELS.items():
        labels = related(ui[name], pyatspi.RELATION_LABELLED_BY)
        expect(f"{name} labelled by", [label.name for label in labels], [row[-1]])
        back = [[c.path for c in related(label, pyatspi.RELATION_LABEL_FOR)] for label in labels]
        expect(f"{row[-1]} labels {name}", all(ui[name].path in paths for paths in back), True)
    check(ui, "start-up", {name: row[0] for name, row in SLIDERS.items()}, START, False)
    for name, row in SLIDERS.items():
        expect(f"{name} labelled by", related(ui[name], pyatspi.RELATION_LABELLED_BY), [])
        expect(f"{name} in words", ui[name].getAttributes(), [f"valuetext:{row[-1]}"])
    page_round_trip(ui, nodes)
    fuzz(ui, root)
    text = ui["Focal ratio"].queryText()  # "ƒ = 10.0" by characters (0), words (1), lines (5)
    expect("pieces of the focal ratio", [ask(at, kind) for ask, at, kind in (
        (text.getTextAtOffset, 5, 1), (text.getTextBeforeOffset, 5, 1), (text.getTextAfterOffset,
        0, 1), (text.getTextAtOffset, -1, 0), (text.getTextBeforeOffset, 5, 0),
        (text.getTextAtOffset, 0, 1), (text.getTextAtOffset, 99, 0), (text.getTextBeforeOffset,
        1, 0), (text.getTextAfterOffset, 2, 5), (text.getTextBeforeOffset, 0, 0))],
        [("10.0", 4, 8), (" ", 3, 4), (" ", 1, 2), ("ƒ", 0, 1), ("1", 4, 5), ("ƒ", 0, 1),
         ("", 8, 8), ("ƒ", 0, 1), ("", 8, 8), ("", 0, 0)])
    expect("a piece by offsets, one run of attributes, an empty selection", (text.getText(2, 3),
           text.getAttributes(3)[1:], tuple(text.getSelection(0))), ("=", [0, 8], (0, 0)))
    ranges = ((0, 0, WINDOW), (0, 1, DESKTOP), (1, 2, WINDOW))
    expect("extents of no character and of the first, the second in the window",
           [tuple(text.getRangeExtents(*at)) for at in ranges], [(0, 0, 0, 0), tuple(
               text.getCharacterExtents(0, DESKTOP)), tuple(text.getCharacterExtents(1, WINDOW))])
    for node in [n for n in ui.values() if n and n.getState().contains(pyatspi.STATE_SHOWING)
                 and "Text" in n.get_interfaces() and n.queryText().characterCount]:
        # Each character under its glyph, left to right from the side the label aligns to
        # (captions to the right), and nothing selected.
        text, (x, y, w, h) = node.queryText(), node.queryComponent().getExtents(DESKTOP)
        glyphs = [text.getCharacterExtents(i, DESKTOP) for i in range(text.characterCount)]
        edges = [g[0] for g in glyphs] + [glyphs[-1][0] + glyphs[-1][2]]
        start = edges[-1] - (x + w) if node.name.endswith(":") else edges[0] - x
        expect(f"{node.name} glyphs", (
            start == 0, all(a < b for a, b in zip(edges, edges[1:])),
            all(y <= gy and gy + gh <= y + h for _, gy, _, gh in glyphs),
            [text.getOffsetAtPoint(gx + gw // 2, gy + gh // 2, DESKTOP) for gx, gy, gw, gh in glyphs],
            text.getOffsetAtPoint(x - 1, y - 1, DESKTOP), text.getNSelections(), text.caretOffset,
            tuple(text.getRangeExtents(0, -1, DESKTOP))),
            (True, True, True, list(range(len(glyphs))), -1, 0, 0,
             (edges[0], glyphs[0][1], edges[-1] - edges[0], glyphs[0][3])))
    key = {ui[name].path: name for name in {**LABELS, **SLIDERS}}
    for what, verb, name, value, sliders, texts, barlow in STEPS:
        before = {n: shown(ui[n]) for n in {**LABELS, **SLIDERS}}
        was_barlow = ui["Barlow lens"].getState().contains(pyatspi.STATE_CHECKED)
        del events[:]
        if verb == "set":
            ui[name].queryValue().currentValue = value
        else:
            press(ui[name])
        check(ui, what, sliders, texts, barlow)
        changed = {n for n in before if shown(ui[n]) != before[n]}
        toggles = [int(barlow)] * (barlow != was_barlow)
        told = lambda: {key.get(e.source.path) for e in events if e.type.split(":")[1] in TOLD}
        checks = lambda: [e.detail1 for e in events if e.type == "object:state-changed:checked"]
        # The status line's name comes and goes with its text: a name held from before would
        # be read on an empty line.
        renamed = {n for n in changed & {STATUS} if not (before[n] and shown(ui[n]))}
        named = lambda: {key.get(e.source.path) for e in events
                         if e.type == "object:property-change:accessible-name"}
        pump(lambda: told() >= changed and checks() == toggles and named() >= renamed)
        expect(f"{what}: changes told", told() & changed, changed)
        expect(f"{what}: names told", named(), renamed)
        expect(f"{what}: checked state changes told", checks(), toggles)
    # A change made on the control in focus is told as its new description, led by its value.
    window = subprocess.run(["xdotool", "search", "--pid", str(app.pid)],  # no window manager
                            capture_output=True, text=True).stdout.split()
    subprocess.run(["xdotool", "windowfocus", "--sync", *window[:1]])
    ui["Aperture"].queryComponent().grabFocus()
    quiet = ui["Aperture"].description
    del events[:]
    ui["Aperture"].queryValue().currentValue = 100
    said = lambda: [e.any_data for e in events if e.source.name == "Aperture" and
                    e.type == ANNOUNCED]
    pump(said)
    expect("told after a move", said(), ["100 millimetres. Focal ratio 20.0. Eyepiece 1: "
           "magnification 80, true field 37.5 minutes, exit pupil 1.3 millimetres"])
    ui["Focal length"].queryComponent().grabFocus()  # what was told there is old news here
    pump(lambda: ui["Aperture"].description == quiet)
    expect("told no more once the focus moves on", ui["Aperture"].description, quiet)
    screen = subprocess.run(["xdotool", "search", "--maxdepth", "0", "--name", ""],
                            capture_output=True, text=True).stdout.split()
    subprocess.run(["xdotool", "windowfocus", *screen])  # the root: no window of the program
    pump(lambda: not ui["Focal length"].getState().contains(pyatspi.STATE_FOCUSED))
    descriptions = lambda: [ui[name].description for name in ("Aperture", "Focal length")]
    before = descriptions()
    ui["Aperture"].queryValue().currentValue = 120
    pump(lambda: False, 0.3)  # past the pause after which a change is told
    expect("told nothing with the focus elsewhere", descriptions(), before)
    subprocess.run(["xdotool", "windowfocus", "--sync", *window[:1]])
    ui["Barlow lens"].queryComponent().grabFocus()
    press(ui["Barlow lens"])
    pump(lambda: ui["Barlow lens"].description.startswith("Barlow"))
    expect("told on the optic's button, led by its state", ui["Barlow lens"].description,
           "Barlow lens checked. Focal ratio 33.3. Eyepiece 1: magnification 160, true field 18.8 "
           "minutes, exit pupil 0.8 millimetres")
    # On the page tabs a screen reader may hold the tab bar or the tab in front as focused,
    # depending on the key that got there: a description change goes to both, an announcement,
    # which is heard whatever has the focus, once. Each is led by the optic that went out.
    bar = [n for n in nodes if n and n.getRole() == pyatspi.ROLE_PAGE_TAB_LIST][0]
    bar.queryComponent().grabFocus()
    pump(lambda: bar.getState().contains(pyatspi.STATE_FOCUSED))
    del events[:]
    press(ui["Barlow lens"])
    told = lambda: sorted(e.source.getRole() for e in events
                          if e.type == ANNOUNCED
                          and e.any_data.startswith("Barlow lens not checked. Focal ratio 16.7"))
    want = sorted([pyatspi.ROLE_PAGE_TAB_LIST] + [pyatspi.ROLE_PAGE_TAB] * (not QT_68))
    pump(lambda: len(told()) >= len(want))
    expect("told on the page tabs", told(), want)
    press(ui["Quit"])  # and the program ends cleanly, with the sanitizers' checks at exit
    expect("File, Quit", app.wait(10), 0)


pyatspi.setTimeout(2000, 15000)  # a hung call fails at once instead of after 25 s
# Listening before the program starts, which asks the registry once then and on each change.
pyatspi.Registry.registerEventListener(events.append, "object:text-changed", "object:state-changed",
                                       "object:property-change:accessible-name",
                                       "object:property-change:accessible-value",
                                       "object:property-change:accessible-description",
                                       "object:announcement")
# Away from the screen's corner, so that window and screen coordinates differ.
app = subprocess.Popen([*sys.argv[1:], "-geometry", "+30+20"], env=dict(
    os.environ, QT_QPA_PLATFORM="xcb", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1"))
try:
    on_bus = lambda: [a for a in pyatspi.Registry.getDesktop(0) if a and a.name == "Miravane"]
    pump(on_bus, 10)
    run(on_bus()[0]) if on_bus() else failures.append("the program is not on the AT-SPI bus")
finally:
    app.terminate()
    app.wait(10)
sys.exit("\n".join(failures) or None)
