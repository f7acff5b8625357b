"""Counts, per window, the controls reached by Tab and how many of them the accessibility bus
announces by a text a user reads (not empty, not a control name). Keys only, the program
started as a user starts it (no test switch).

usage: count_announced.py EXE"""
import os
import re
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import zvdrive as z  # noqa: E402
from common import sample_files, settings  # noqa: E402

HERE = os.path.dirname(os.path.abspath(__file__))
SOURCES = os.path.join(HERE, "..", "..")
ARCHIVE = os.path.join(HERE, "..", "data", "lzh", "explzh_723", "h2_subdir.lzh")


def control_names():
    """Every control and window name the program's windows declare."""
    names = set()
    pattern = re.compile(r'(?:\.name = |add\(|Form\(app, )"(\w+)"')
    for top in ("ui", "compress", "extract", "fileutil", "auxwin"):
        for folder, _, files in os.walk(os.path.join(SOURCES, top)):
            for f in files:
                if f.endswith(".cpp"):
                    with open(os.path.join(folder, f), encoding="utf-8") as src:
                        names.update(pattern.findall(src.read()))
    with open(os.path.join(SOURCES, "core", "forms", "window_names.h"), encoding="utf-8") as src:
        names.update(re.findall(r'= "(\w+)"', src.read()))
    return names


def focused(win):
    state = z._atspi().STATE_FOCUSED
    for c in z.descendants(win):
        try:
            if c.getState().contains(state):
                # A list reports the focus on its current item; the control is the list.
                if c.getRoleName() in ("list item", "table cell"):
                    c = c.parent
                return c
        except Exception:
            continue
    return None


def stops(d, win, limit=40):
    """The controls Tab reaches, once round, as (role, name)."""
    seen, out = [], []
    for _ in range(limit):
        c = focused(win)
        key = (c.getRoleName(), c.name, z.extents(c)) if c is not None else None
        if key is not None and key in seen:
            break
        if key is not None:
            seen.append(key)
            out.append((key[0], key[1]))
        d.key("Tab")
    return out


def press_stop(d, win, role, nth=0, order=None):
    """Tabs to the nth control of that role in the Tab order `order` (from stops(); taken now
    when not given) and presses Space."""
    target = [(r, n) for r, n in (order or stops(d, win)) if r == role][nth]
    for _ in range(40):
        c = focused(win)
        if c is not None and (c.getRoleName(), c.name) == target:
            d.key("space")
            return
        d.key("Tab")
    raise z.Failure("no %s number %d" % (role, nth))


def showing(prog):
    """Indexes of the program's shown windows."""
    state = z._atspi().STATE_SHOWING
    out = set()
    for i, w in enumerate(prog.windows()):
        try:
            if w.getState().contains(state):
                out.add(i)
        except Exception:
            pass
    return out


def newest_window(prog, known):
    """A shown window that was not shown before (`known`, from showing()): several windows
    may share a title."""
    deadline = time.time() + 10
    while time.time() < deadline:
        new = showing(prog) - known
        if new:
            return prog.windows()[min(new)]
        time.sleep(0.2)
    prog.desktop.screenshot("no-new-window")
    raise z.Failure("no new window")


def main():
    exe = os.path.abspath(sys.argv[1])
    names = control_names()
    root = tempfile.mkdtemp(prefix="zv-count-")
    src, arc = os.path.join(root, "src"), os.path.join(root, "arc")
    sample_files(src)
    os.makedirs(arc)
    with open(ARCHIVE, "rb") as f, open(os.path.join(arc, "a.lzh"), "wb") as g:
        g.write(f.read())
    ini = settings(Comp1Dir={"Path": "C:" + src.replace("/", "\\")},
                   DeComp1Dir={"Path": "C:" + arc.replace("/", "\\")},
                   DeComp4Dir1={"Path": "C:" + src.replace("/", "\\")},
                   DeComp4Dir2={"Path": "C:" + arc.replace("/", "\\")})
    desktop = z.Desktop(os.environ.get("ZV_COUNT_SHOTS", os.path.join(root, "shots")))
    results = []
    # Each road: which picture or link of the main menu, then the steps inside.
    roads = [("push button", 0, []), ("push button", 1, ["archive"]), ("link", 1, []),
             ("link", 0, [])]
    try:
        desktop.xdo("mousemove", "--sync", 1279, 1023)
        for n, (role, nth, more) in enumerate(roads):
            prog = z.Program(desktop, exe, os.path.join(root, "run%d" % n), settings=ini,
                             ids=False)
            try:
                menu = newest_window(prog, set())
                time.sleep(0.5)
                if n == 0:
                    results.append(("main menu", menu.getRoleName(), menu.name, stops(desktop, menu)))
                count = showing(prog)
                press_stop(desktop, menu, role, nth)
                win = newest_window(prog, count)
                time.sleep(0.8)
                order = stops(desktop, win)
                results.append((str(n), win.getRoleName(), win.name, order))
                if n == 0:
                    # Every file chosen by the select-all picture, then the next step.
                    count = showing(prog)
                    press_stop(desktop, win, "push button", 1, order)  # select all
                    press_stop(desktop, win, "push button", 0, order)  # next step
                    step = newest_window(prog, count)
                    time.sleep(0.8)
                    results.append(("creation", step.getRoleName(), step.name,
                                    stops(desktop, step)))
                if "archive" in more:
                    # The archive list: its first archive opened by Enter.
                    for _ in range(40):
                        c = focused(win)
                        if c is not None and any(c.getChildAtIndex(i).name == "a.lzh"
                                                 for i in range(c.childCount)):
                            break
                        desktop.key("Tab")
                    count = showing(prog)
                    desktop.key("ctrl+Home")
                    desktop.key("Return")
                    inner = newest_window(prog, count)
                    time.sleep(0.8)
                    order = stops(desktop, inner)
                    results.append(("contents", inner.getRoleName(), inner.name, order))
                    count = showing(prog)
                    press_stop(desktop, inner, "push button", 1, order)  # select all
                    press_stop(desktop, inner, "push button", 0, order)  # next step
                    dest = newest_window(prog, count)
                    time.sleep(0.8)
                    results.append(("destination", dest.getRoleName(), dest.name,
                                    stops(desktop, dest)))
            finally:
                prog.end()
    finally:
        desktop.close()
        report(results, names)


def report(results, names):
    for _, role, title, found in results:
        understood = [nm for _, nm in found if nm.strip() and nm not in names]
        print("%-28s %-7s %2d of %2d announced by a user's text" % (title, role, len(understood),
                                                                    len(found)))
        for r, nm in found:
            print("      %-12s %s" % (r, nm))


if __name__ == "__main__":
    main()
