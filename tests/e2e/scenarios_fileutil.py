"""File utility roads: copy and move by dragging, overwrite answers, trash, rename, SFX."""
import os
import time

import zvdrive as z
from common import answer, expect, expect_equal, settings, write
from judge import run, sha256, tree_digests


def _open(s, up_files, down_files=None, extra=None):
    up, down = s.path("up"), s.path("down")
    os.makedirs(up)
    os.makedirs(down)
    for name, data in up_files.items():
        write(os.path.join(up, name), data)
    for name, data in (down_files or {}).items():
        write(os.path.join(down, name), data)
    ini = dict(DeComp4Dir1={"Path": s.win(up)}, DeComp4Dir2={"Path": s.win(down)})
    ini.update(extra or {})
    prog = s.start(settings=settings(**ini))
    s.desktop.click(z.find(prog.window("frmMenu"), "Label2"))
    return prog, prog.window("DeComp4"), up, down


def _drag_to_lower(s, win, name, button):
    s.desktop.drag(z.find(z.find(win, "File1"), name), z.find(win, "File2"), button=button)


def scenario_left_drag_copies(s):
    prog, win, up, down = _open(s, {"a.txt": b"copy me\n" * 100})
    s.shot("before")
    _drag_to_lower(s, win, "a.txt", 1)
    time.sleep(0.5)
    s.shot("after")
    expect(os.path.exists(os.path.join(up, "a.txt")), "a copy leaves the source")
    expect_equal(sha256(os.path.join(down, "a.txt")), sha256(os.path.join(up, "a.txt")),
                 "copied file (sha256sum)")


def scenario_overwrite_no_then_yes(s):
    prog, win, up, down = _open(s, {"a.txt": b"new\n"}, {"a.txt": b"old\n"})
    old = sha256(os.path.join(down, "a.txt"))
    _drag_to_lower(s, win, "a.txt", 1)
    answer(s, prog, "ファイルのコピー", "いいえ", shot="overwrite-question")
    expect_equal(sha256(os.path.join(down, "a.txt")), old, "after No the old file stays")
    _drag_to_lower(s, win, "a.txt", 1)
    answer(s, prog, "ファイルのコピー", "はい")
    time.sleep(0.3)
    expect_equal(sha256(os.path.join(down, "a.txt")), sha256(os.path.join(up, "a.txt")),
                 "after Yes the file is replaced")


def scenario_right_drag_moves_the_file_under_the_pointer(s):
    prog, win, up, down = _open(s, {"a.txt": b"stay\n", "b.txt": b"move me\n" * 50})
    want = sha256(os.path.join(up, "b.txt"))
    # The last left click chose a.txt; the right-button drag starts on b.txt.
    s.desktop.click(z.find(z.find(win, "File1"), "a.txt"))
    _drag_to_lower(s, win, "b.txt", 3)
    time.sleep(0.5)
    s.shot("after-right-drag")
    expect(not os.path.exists(os.path.join(up, "b.txt")), "b.txt left the upper folder")
    expect(os.path.exists(os.path.join(up, "a.txt")), "a.txt stayed")
    expect(not os.path.exists(os.path.join(down, "a.txt")), "a.txt was not moved or copied")
    expect_equal(sha256(os.path.join(down, "b.txt")), want, "moved b.txt (sha256sum)")


def scenario_drop_on_trash_moves_to_the_home_trash(s):
    prog, win, up, down = _open(s, {"gone.txt": b"to the trash\n"})
    want = sha256(os.path.join(up, "gone.txt"))
    s.desktop.drag(z.find(z.find(win, "File1"), "gone.txt"), z.find(win, "Image8"))
    answer(s, prog, "削除の確認", "はい", shot="delete-question")
    time.sleep(0.3)
    s.shot("after-trash")
    expect(not os.path.exists(os.path.join(up, "gone.txt")), "the file left its folder")
    trashed = os.path.join(prog.home, ".local/share/Trash/files/gone.txt")
    expect(os.path.exists(trashed), "gone.txt is in the home trash")
    expect_equal(sha256(trashed), want, "trashed file (sha256sum)")


def scenario_rename_by_the_name_tag(s):
    prog, win, up, down = _open(s, {"old.txt": b"renamed\n"})
    want = sha256(os.path.join(up, "old.txt"))
    s.desktop.drag(z.find(z.find(win, "File1"), "old.txt"), z.find(win, "Image10"))
    dialog = prog.window("Dialog")
    s.desktop.click(z.find(dialog, "Text1"))
    s.desktop.type("new.txt")
    s.shot("rename-dialog")
    s.desktop.click(z.find(dialog, "Command1"))
    prog.gone("Dialog")
    time.sleep(0.3)
    expect(not os.path.exists(os.path.join(up, "old.txt")), "old.txt is gone")
    expect_equal(sha256(os.path.join(up, "new.txt")), want, "new.txt holds the old content")


def scenario_self_extracting_archive(s):
    lzh = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "data", "lzh",
                       "regression", "multiple.lzh")
    with open(lzh, "rb") as f:
        prog, win, up, down = _open(s, {"multiple.lzh": f.read()})
    s.desktop.click(z.find(z.find(win, "File1"), "multiple.lzh"))
    s.desktop.click(z.find(win, "Image12"))
    exe = os.path.join(prog.folder, "自己解凍書庫", "multiple.exe")
    deadline = time.time() + 20
    while not os.path.exists(exe) and time.time() < deadline:
        time.sleep(0.2)
    time.sleep(0.5)
    s.shot("sfx-made")
    with open(exe, "rb") as f:
        expect(f.read(2) == b"MZ", "multiple.exe is a Windows program")
    by7z = s.path("by7z")
    os.makedirs(by7z)
    run(["7z", "x", "-y", "-o" + by7z, exe])
    ref = s.path("ref")
    os.makedirs(ref)
    run(["lhasa", "xq", os.path.abspath(lzh)], cwd=ref)
    expect_equal(tree_digests(by7z), tree_digests(ref), "7z's view of the .exe against lhasa's")


def scenario_self_extractor_customisation(s):
    lzh = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "data", "lzh",
                       "regression", "multiple.lzh")
    with open(lzh, "rb") as f:
        prog, win, up, down = _open(s, {"multiple.lzh": f.read()}, extra={"Option": {"SFX": "YES"}})
    d = s.desktop
    exe = os.path.join(prog.folder, "自己解凍書庫", "multiple.exe")
    d.click(z.find(z.find(win, "File1"), "multiple.lzh"))
    d.click(z.find(win, "Image12"))
    dialog = prog.window("自己解凍書庫の設定")
    s.shot("customisation-dialog", painted=dialog)
    d.click(z.find(dialog, "キャンセル", "push button"))
    prog.gone("自己解凍書庫の設定")
    time.sleep(1)
    expect(not os.path.exists(exe), "Cancel makes no file")
    for box in [w for w in prog.windows() if w.name not in ("DeComp4", "frmMenu")]:
        if box.getState().contains(z._atspi().STATE_SHOWING):
            s.shot("after-cancel")
            d.click(z.find(box, "OK", "push button"))  # whatever the run reported
    d.click(z.find(win, "Image12"))
    dialog = prog.window("自己解凍書庫の設定")
    d.click(z.find(dialog, "sfxTitle"))
    d.key("ctrl+a")
    d.type("Demo Title 42")
    d.click(z.find(dialog, "sfxFolder"))
    d.type("unpacked")
    d.click(z.find(dialog, "OK", "push button"))
    prog.gone("自己解凍書庫の設定")
    deadline = time.time() + 20
    while not os.path.exists(exe) and time.time() < deadline:
        time.sleep(0.2)
    time.sleep(0.5)
    with open(exe, "rb") as f:
        body = f.read()
    expect(b"Demo Title 42" in body, "the title typed is in multiple.exe")
    expect(b"unpacked" in body, "the default folder typed is in multiple.exe")
    listed = run(["7z", "l", "-ba", exe])
    expect("file4.txt" in listed, "7z lists the members: %s" % listed)
