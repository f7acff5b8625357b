"""Drag and drop and copy and paste with another program: a small peer program of the
repository (tests/e2e/peer/dnd_peer.cpp) stands in for a file manager. It drags files in,
takes files dropped on it (copying them away at once, as a file manager does) and reads and
fills the clipboard; what it received is judged with sha256sum."""
import os
import subprocess
import time
import urllib.parse

import zvdrive as z
from common import answer, expect, expect_equal, settings, write
from judge import run, sha256

PEER_AT = (900, 700)  # the peer's window, clear of the program's windows
PEER_CENTRE = (PEER_AT[0] + 150, PEER_AT[1] + 100)
JAPANESE = "日本語の説明書.txt"


class Peer:
    def __init__(self, s, mode, *args):
        exe = os.path.join(os.path.dirname(s.exe), "zv_dnd_peer")
        self.log = s.path("peer-%s-%d.log" % (mode, time.time_ns()))
        env = dict(s.desktop.env, QT_QPA_PLATFORM="xcb", LC_ALL="C.UTF-8",
                   QT_ACCESSIBILITY="0")
        self.proc = subprocess.Popen([exe, self.log, mode] + [str(a) for a in args], env=env,
                                     stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.wait_for("READY" if mode in ("drop", "drag", "copy") else "DONE")

    def lines(self):
        if not os.path.exists(self.log):
            return []
        with open(self.log, encoding="utf-8") as f:
            return f.read().splitlines()

    def wait_for(self, word, timeout=15.0):
        deadline = time.time() + timeout
        while time.time() < deadline:
            if word in self.lines():
                return self.lines()
            if self.proc.poll() is not None and word not in self.lines():
                break
            time.sleep(0.1)
        raise z.Failure("peer did not report %s: %s" % (word, self.lines()))

    def end(self):
        if self.proc.poll() is None:
            self.proc.terminate()
            self.proc.wait(5)


def _drag(s, start, end, button=1):
    (sx, sy), (tx, ty) = start, end
    d = s.desktop
    d.xdo("mousemove", "--sync", sx, sy)
    d.xdo("mousedown", button)
    for i in range(1, 13):
        d.xdo("mousemove", "--sync", sx + (tx - sx) * i // 12, sy + (ty - sy) * i // 12)
        time.sleep(0.08)
    time.sleep(0.4)
    d.xdo("mouseup", button)
    time.sleep(0.6)


def _uris(lines):
    return [urllib.parse.unquote(l[4:]) for l in lines if l.startswith("URI ")]


def _end_program(s, prog, window):
    """Ends the program the way a user does (the help picture's right button), so that it
    runs its closing steps."""
    s.desktop.click(z.find(window, "Image1"), button=3)
    answer(s, prog, "お疲れ様でした", "はい")
    expect_equal(prog.exited(), 0, "the program ended")


def _lzh_with_japanese_member(s):
    src, arc = s.path("src"), s.path("arc")
    write(os.path.join(src, JAPANESE), os.urandom(3000) + "説明\n".encode() * 4000)
    write(os.path.join(src, "other.bin"), bytes(range(256)) * 40)
    os.makedirs(arc)
    zlha = os.path.join(os.path.dirname(s.exe), "zlha")
    env = dict(os.environ, LC_ALL="C.UTF-8",
               ZV_UNLHA32=os.path.join(os.path.dirname(s.exe), "..", "SYSTEM", "UNLHA32.DLL"))
    subprocess.run([zlha, "a", "-n1", os.path.join(arc, "docs.lzh"), s.win(src) + "\\",
                    JAPANESE, "other.bin"], env=env, check=True, capture_output=True)
    run(["lhasa", "tq", os.path.join(arc, "docs.lzh")])
    return src, arc


def _temp_drag_folders(prog):
    temp = os.path.join(prog.folder, "Temp")
    return [n for n in os.listdir(temp) if n.startswith("drag-")] if os.path.isdir(temp) else []


def scenario_members_leave_by_drag_and_by_copy(s):
    src, arc = _lzh_with_japanese_member(s)
    out = s.path("received")
    os.makedirs(out)
    prog = s.start(settings=settings(DeComp1Dir={"Path": s.win(arc)}))
    d = s.desktop
    d.click(z.find(prog.window("frmMenu"), "Image2"))
    d.click(z.find(z.find(prog.window("DeComp1"), "File1"), "docs.lzh"), double=True)
    contents = prog.window("DeComp2")
    members = z.find(contents, "List1")
    d.click(z.find(members, JAPANESE))
    s.shot("member-chosen")
    peer = Peer(s, "drop", PEER_AT[0], PEER_AT[1], out)
    _drag(s, z.centre(z.find(members, JAPANESE)), PEER_CENTRE)
    lines = peer.wait_for("DONE")
    s.shot("dropped-on-peer")
    peer.end()
    formats = next(l for l in lines if l.startswith("FORMATS ")).split()[1:]
    expect("text/uri-list" in formats, "offered as text/uri-list: %s" % formats)
    expect("x-special/gnome-copied-files" in formats, "offered to the GNOME family too")
    expect_equal([os.path.basename(u) for u in _uris(lines)], [JAPANESE], "the URI dropped")
    expect_equal(sha256(os.path.join(out, JAPANESE)), sha256(os.path.join(src, JAPANESE)),
                 "the dragged member (sha256sum)")
    expect_equal(len(_temp_drag_folders(prog)), 1, "one private folder under Temp")

    # Ctrl+C on the other member: extracted too, its URI on the clipboard.
    d.click(z.find(members, "other.bin"))
    d.key("ctrl+c")
    pasted = s.path("pasted")
    os.makedirs(pasted)
    lines = Peer(s, "paste", pasted).lines()
    expect_equal([os.path.basename(u) for u in _uris(lines)], ["other.bin"], "the URI copied")
    expect_equal(sha256(os.path.join(pasted, "other.bin")), sha256(os.path.join(src, "other.bin")),
                 "the copied member (sha256sum)")
    expect_equal(len(_temp_drag_folders(prog)), 2, "each export has its own folder")

    _end_program(s, prog, contents)
    expect_equal(_temp_drag_folders(prog), [], "the private folders are gone after the end")


def scenario_files_dropped_on_the_compression_picture_are_chosen(s):
    src, other = s.path("src"), s.path("other")
    for name in ("a.txt", "b.txt", "c.txt"):
        write(os.path.join(src, name), name.encode() * 10)
    write(os.path.join(other, "d.txt"), b"elsewhere\n")
    prog = s.start()
    menu = prog.window("frmMenu")
    peer = Peer(s, "drag", PEER_AT[0], PEER_AT[1], os.path.join(src, "a.txt"),
                os.path.join(src, "c.txt"))
    _drag(s, PEER_CENTRE, z.centre(z.find(menu, "Image1")))
    comp1 = prog.window("Comp1")
    time.sleep(0.5)
    s.shot("chosen")
    peer.end()
    atspi = z._atspi()
    files = z.find(comp1, "List1")
    chosen = [c.name for c in z.descendants(files)
              if c.getState().contains(atspi.STATE_SELECTED)]
    expect_equal(sorted(chosen), ["a.txt", "c.txt"], "the dropped files are chosen")
    # xprop writes a backslash doubled.
    titles = {(s.desktop.title_of(x) or "").replace("\\\\", "\\")
              for x in s.desktop.window_ids(prog.proc.pid)}
    expect(s.win(src) in titles, "the folder panel moved to their folder: %s" % titles)

    # Files of two folders dropped on the list: one folder at a time.
    peer = Peer(s, "drag", PEER_AT[0], PEER_AT[1], os.path.join(src, "b.txt"),
                os.path.join(other, "d.txt"))
    _drag(s, PEER_CENTRE, z.centre(files))
    answer(s, prog, "エラーです", "OK", shot="several-folders")
    peer.end()


def scenario_file_utility_takes_and_gives_files(s):
    up, down, outside = s.path("up"), s.path("down"), s.path("outside")
    write(os.path.join(up, "give.txt"), b"given away\n" * 30)
    write(os.path.join(outside, "new.txt"), b"from the file manager\n" * 20)
    write(os.path.join(outside, "same.txt"), b"replacement\n")
    write(os.path.join(down, "same.txt"), b"old\n")
    write(os.path.join(outside, "pasted.txt"), b"through the clipboard\n")
    received = s.path("received")
    os.makedirs(received)
    prog = s.start(settings=settings(DeComp4Dir1={"Path": s.win(up)},
                                     DeComp4Dir2={"Path": s.win(down)}))
    s.desktop.click(z.find(prog.window("frmMenu"), "Label2"))
    win = prog.window("DeComp4")

    # In: dropped on the lower list, with the overwrite question of a drop between panes.
    peer = Peer(s, "drag", PEER_AT[0], PEER_AT[1], os.path.join(outside, "new.txt"),
                os.path.join(outside, "same.txt"))
    _drag(s, PEER_CENTRE, z.centre(z.find(win, "File2")))
    answer(s, prog, "ファイルのコピー", "はい", shot="overwrite-question")
    time.sleep(0.3)
    peer.end()
    for name in ("new.txt", "same.txt"):
        expect_equal(sha256(os.path.join(down, name)), sha256(os.path.join(outside, name)),
                     "%s copied in (sha256sum)" % name)
    expect(os.path.exists(os.path.join(outside, "new.txt")), "the source stays")

    # Out: dragged from the upper list; the peer copies it, nothing is deleted here.
    peer = Peer(s, "drop", PEER_AT[0], PEER_AT[1], received)
    _drag(s, z.centre(z.find(z.find(win, "File1"), "give.txt")), PEER_CENTRE)
    lines = peer.wait_for("DONE")
    peer.end()
    expect_equal([os.path.basename(u) for u in _uris(lines)], ["give.txt"], "the URI dropped")
    expect_equal(sha256(os.path.join(received, "give.txt")), sha256(os.path.join(up, "give.txt")),
                 "the dragged file (sha256sum)")
    expect(os.path.exists(os.path.join(up, "give.txt")), "the dragged file stays")

    # Ctrl+V on the upper list takes what the file manager copied.
    peer = Peer(s, "copy", os.path.join(outside, "pasted.txt"))
    s.desktop.click(z.find(z.find(win, "File1"), "give.txt"))
    s.desktop.key("ctrl+v")
    time.sleep(0.5)
    peer.end()
    s.shot("pasted")
    expect_equal(sha256(os.path.join(up, "pasted.txt")),
                 sha256(os.path.join(outside, "pasted.txt")), "pasted file (sha256sum)")


def scenario_archive_dropped_on_the_extraction_picture_is_opened(s):
    src, arc = _lzh_with_japanese_member(s)
    prog = s.start()
    peer = Peer(s, "drag", PEER_AT[0], PEER_AT[1], os.path.join(arc, "docs.lzh"))
    _drag(s, PEER_CENTRE, z.centre(z.find(prog.window("frmMenu"), "Image2")))
    contents = prog.window("DeComp2", timeout=20)
    peer.end()
    s.shot("opened")
    members = z.find(contents, "List1")
    names = sorted(z.descendants(members)[i].name for i in range(len(z.descendants(members))))
    expect(JAPANESE in names and "other.bin" in names, "the archive's members: %s" % names)
