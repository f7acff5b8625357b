"""Steps shared by the scenarios: preparing folders and settings, and the windows' roads."""
import os
import struct

import zvdrive as z
from judge import expect, expect_equal  # noqa: F401


def write(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)


def sample_files(folder):
    """A small text file and a compressible and an incompressible binary file."""
    write(os.path.join(folder, "readme.txt"), "zorvex end-to-end\n".encode() * 40)
    write(os.path.join(folder, "data.bin"), bytes(range(256)) * 64)
    write(os.path.join(folder, "noise.bin"), os.urandom(5000))


def settings(**sections):
    """INI text: settings(Comp1Dir={"Path": "C:\\x"}, Option={"Mode": "5"})."""
    lines = []
    for section, keys in sections.items():
        lines.append("[%s]" % section)
        lines += ["%s=%s" % kv for kv in keys.items()]
    return "\n".join(lines) + "\n"


def registered_paths(paths):
    """The bytes of a registered path list file (ZORVEX.DAT / ZORVEX2.DAT)."""
    out = b""
    for p in paths:
        out += struct.pack("<h", len(paths)) + p.encode("cp932").ljust(1000, b" ")
    return out


def editable_combo(window):
    """The window's editable combo box (its accessible name follows its text)."""
    for c in z.descendants(window):
        if c.getRoleName() == "combo box" and any(
                c.getChildAtIndex(i).getRoleName() == "text" for i in range(c.childCount)):
            return c
    raise z.Failure("no editable combo box in %s" % window.name)


def answer(s, prog, title, button, shot=None):
    """Presses a button of the message box with that title."""
    box = prog.window(title)
    if shot:
        s.shot(shot, painted=box)
    s.desktop.click(z.find(box, button, "push button"))
    prog.gone(title)


def box_text(box):
    """The text a message box shows (its labels, in order)."""
    return "\n".join(c.name for c in reversed(z.descendants(box))
                     if c.getRoleName() == "label" and c.name)


def compress(s, prog, names, archive_name, ish=False, shot_prefix="compress"):
    """Main menu -> file selection (names chosen) -> creation window -> create."""
    d = s.desktop
    menu = prog.window("frmMenu")
    d.click(z.find(menu, "Image1"))
    comp1 = prog.window("Comp1")
    if ish:
        d.click(z.find(comp1, "Option5"))
    files = z.find(comp1, "List1")
    for i, name in enumerate(names):
        d.click(z.find(files, name), ctrl=i > 0)
    s.shot(shot_prefix + "-comp1")
    d.click(z.find(comp1, "Image4"))
    comp2 = prog.window("Comp2")
    d.click(z.find(comp2, "Text1"))
    d.type(archive_name)
    s.shot(shot_prefix + "-comp2")
    d.click(z.find(comp2, "Image2"))
    prog.gone("Comp2", timeout=60)


def open_archive(s, prog, name):
    """Main menu -> archive selection -> double-click the archive -> contents window."""
    d = s.desktop
    d.click(z.find(prog.window("frmMenu"), "Image2"))
    sel = prog.window("DeComp1")
    d.click(z.find(z.find(sel, "File1"), name), double=True)
    return prog.window("DeComp2")
