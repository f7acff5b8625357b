"""Files to and from another program: the peer (tests/e2e/peer/dnd_peer.cpp) stands in for a
file manager. It drags files in, copies away what is dropped on it and uses the clipboard."""
import os
import subprocess
import time
import urllib.parse

import zvdrive as z
from common import expect, expect_equal, settings, write
from judge import sha256

PEER = (1050, 800)  # the middle of the peer's window
JAPANESE = "日本語の説明書.txt"


class _Peer:
    """One run of the peer; it lasts until the next one starts (or the display ends)."""
    running = []

    def __init__(self, s, mode, args):
        self.log = s.path("peer-%d.log" % time.time_ns())
        env = dict(s.desktop.env, QT_QPA_PLATFORM="xcb", LC_ALL="C.UTF-8")
        self.proc = subprocess.Popen([os.path.join(os.path.dirname(s.exe), "zv_dnd_peer"),
                                      self.log, mode] + list(args), env=env)

    def end(self):
        self.proc.kill()
        self.proc.wait()


def _peer(s, mode, *args):
    """Starts the peer in place of the one before; answers its log file."""
    while _Peer.running:
        _Peer.running.pop().end()
    peer = _Peer(s, mode, args)
    _Peer.running.append(peer)
    _wait(peer.log, "READY")
    return peer.log


def _wait(log, word):
    for _ in range(150):
        lines = open(log, encoding="utf-8").read().splitlines() if os.path.exists(log) else []
        if word in lines:
            return lines
        time.sleep(0.1)
    raise z.Failure("peer did not report %s" % word)


def _drag(s, start, end):
    d = s.desktop
    # No --sync: it waits for a motion, and none comes where the pointer is already.
    d.xdo("mousemove", *start)
    time.sleep(0.2)
    d.xdo("mousedown", 1)
    for i in range(1, 13):
        d.xdo("mousemove", *[a + (b - a) * i // 12 for a, b in zip(start, end)])
        time.sleep(0.08)
    time.sleep(0.4)
    d.xdo("mouseup", 1)
    time.sleep(0.6)


def _arrived(path):
    for _ in range(50):
        if os.path.exists(path):
            return sha256(path)
        time.sleep(0.1)
    raise z.Failure("%s did not arrive" % path)


def _click_peer(s):
    s.desktop.xdo("mousemove", *PEER)
    time.sleep(0.2)
    s.desktop.xdo("click", 1)


def _names(lines):
    return [os.path.basename(urllib.parse.unquote(l[4:])) for l in lines if l.startswith("URI ")]


def _archive(s):
    """docs.lzh with a Japanese-named member, made by the repository's zlha."""
    src, arc = s.path("src"), s.path("arc")
    write(os.path.join(src, JAPANESE), os.urandom(3000) + "説明\n".encode() * 4000)
    write(os.path.join(src, "other.bin"), bytes(range(256)) * 40)
    os.makedirs(arc)
    bin_dir = os.path.dirname(s.exe)
    subprocess.run([os.path.join(bin_dir, "zlha"), "a", "-n1", os.path.join(arc, "docs.lzh"),
                    s.win(src) + "\\", JAPANESE, "other.bin"], check=True, capture_output=True,
                   env=dict(os.environ, ZV_UNLHA32=os.path.join(bin_dir, "..", "SYSTEM",
                                                                 "UNLHA32.DLL")))
    return src, arc


def scenario_members_leave_by_drag_and_by_copy(s):
    src, arc = _archive(s)
    out = s.path("received")
    os.makedirs(out)
    prog = s.start(settings=settings(DeComp1Dir={"Path": s.win(arc)}))
    d = s.desktop
    d.click(z.find(prog.window("frmMenu"), "Image2"))
    d.click(z.find(z.find(prog.window("DeComp1"), "File1"), "docs.lzh"), double=True)
    contents = prog.window("DeComp2")
    members = z.find(contents, "List1")
    d.click(z.find(members, JAPANESE))
    log = _peer(s, "drop", out)
    _drag(s, z.centre(z.find(members, JAPANESE)), PEER)
    lines = _wait(log, "DONE")
    s.shot("dropped-on-peer")
    expect("x-special/gnome-copied-files" in lines[1] and "text/uri-list" in lines[1], lines[1])
    expect_equal(_names(lines), [JAPANESE], "the URI dropped")
    expect_equal(sha256(os.path.join(out, JAPANESE)), sha256(os.path.join(src, JAPANESE)),
                 "the dragged member (sha256sum)")

    d.click(z.find(members, "other.bin"))
    d.key("ctrl+c")
    log = _peer(s, "paste", out)
    _click_peer(s)
    lines = _wait(log, "DONE")
    expect_equal(_names(lines), ["other.bin"], "the URI copied")
    expect_equal(sha256(os.path.join(out, "other.bin")), sha256(os.path.join(src, "other.bin")),
                 "the copied member (sha256sum)")

    temp = os.path.join(prog.folder, "Temp")
    expect_equal(len([n for n in os.listdir(temp) if n.startswith("drag-")]), 2, "two exports")
    prog.proc.terminate()  # as when the session ends
    expect_equal(prog.exited(), 0, "the program ended")
    expect_equal([n for n in os.listdir(temp) if n.startswith("drag-")], [], "folders removed")


def scenario_files_dropped_on_the_menu_are_chosen_or_opened(s):
    src, arc = _archive(s)
    prog = s.start()
    _peer(s, "drag", os.path.join(src, JAPANESE), os.path.join(src, "other.bin"))
    _drag(s, PEER, z.centre(z.find(prog.window("frmMenu"), "Image1")))
    comp1 = prog.window("Comp1")
    time.sleep(0.5)
    s.shot("chosen")
    atspi = z._atspi()
    chosen = [c.name for c in z.descendants(z.find(comp1, "List1"))
              if c.getState().contains(atspi.STATE_SELECTED)]
    expect_equal(sorted(chosen), sorted([JAPANESE, "other.bin"]), "the dropped files are chosen")

    s.desktop.click(z.find(comp1, "Command2"))
    _peer(s, "drag", os.path.join(arc, "docs.lzh"))
    _drag(s, PEER, z.centre(z.find(prog.window("frmMenu"), "Image2")))
    members = z.find(prog.window("DeComp2", timeout=20), "List1")
    s.shot("opened")
    expect_equal(sorted(c.name for c in z.descendants(members)), sorted([JAPANESE, "other.bin"]),
                 "the dropped archive is listed")


def scenario_file_utility_takes_and_gives_files(s):
    up, down, outside = s.path("up"), s.path("down"), s.path("outside")
    write(os.path.join(up, "give.txt"), b"given away\n" * 30)
    write(os.path.join(outside, "new.txt"), b"from the file manager\n" * 20)
    write(os.path.join(outside, "pasted.txt"), b"through the clipboard\n")
    os.makedirs(down)
    prog = s.start(settings=settings(DeComp4Dir1={"Path": s.win(up)},
                                     DeComp4Dir2={"Path": s.win(down)}))
    s.desktop.click(z.find(prog.window("frmMenu"), "Label2"))
    win = prog.window("DeComp4")
    _peer(s, "drag", os.path.join(outside, "new.txt"))
    _drag(s, PEER, z.centre(z.find(win, "File2")))
    expect_equal(_arrived(os.path.join(down, "new.txt")), sha256(os.path.join(outside, "new.txt")),
                 "dropped file copied in (sha256sum)")

    log = _peer(s, "drop", outside)
    _drag(s, z.centre(z.find(z.find(win, "File1"), "give.txt")), PEER)
    expect_equal(_names(_wait(log, "DONE")), ["give.txt"], "the URI dropped")
    expect_equal(sha256(os.path.join(outside, "give.txt")), sha256(os.path.join(up, "give.txt")),
                 "the dragged file (sha256sum)")
    expect(os.path.exists(os.path.join(up, "give.txt")), "the dragged file stays")

    log = _peer(s, "copy", os.path.join(outside, "pasted.txt"))
    _click_peer(s)
    _wait(log, "COPIED")
    s.desktop.click(z.find(z.find(win, "File1"), "give.txt"))
    s.desktop.key("ctrl+v")
    expect_equal(_arrived(os.path.join(up, "pasted.txt")),
                 sha256(os.path.join(outside, "pasted.txt")), "pasted file (sha256sum)")
