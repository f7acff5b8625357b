"""ISH roads: a file encoded to ISH and restored, ISH made by another tool restored."""
import os
import shutil
import time

import zvdrive as z
from common import answer, box_text, compress, expect, expect_equal, sample_files, settings, write
from judge import sha256

DATA = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "data", "ish")


def _restore(s, prog, folder, name, mode=None, question=None, failure=None):
    """Archive selection with the ish filter -> double-click -> restore window -> restore.
    `mode` is the restore mode's option button; `question` the button that answers the
    overwrite question the restore then has to ask; `failure`, a list, receives the text of
    the failure message the restore has to show."""
    d = s.desktop
    d.click(z.find(prog.window("frmMenu"), "Image2"))
    sel = prog.window("DeComp1")
    d.click(z.find(sel, "Option3"))
    time.sleep(0.3)
    d.click(z.find(z.find(sel, "File1"), name), double=True)
    ish = prog.window("frmish")
    if mode:
        d.click(z.find(ish, mode))
    s.shot("restore-window")
    d.click(z.find(ish, "Image4"))
    if question:
        answer(s, prog, "上書きの確認", question, shot="overwrite-question")
    if failure is not None:
        box = prog.window("ISH 復元", timeout=30)
        failure.append(box_text(box))
        answer(s, prog, "ISH 復元", "OK", shot="restore-failure")
    prog.gone("frmish", timeout=30)
    time.sleep(0.5)


def scenario_ish_from_another_tool(s):
    src, dest = s.path("ish"), s.path("restored")
    os.makedirs(src)
    os.makedirs(dest)
    shutil.copy(os.path.join(DATA, "macish-test.ish"), src)
    prog = s.start(settings=settings(DeComp1Dir={"Path": s.win(src)}, ish={"Path": s.win(dest)}))
    _restore(s, prog, src, "macish-test.ish")
    with open(os.path.join(DATA, "macish-test.sha256")) as f:
        want, name = f.read().split()
    expect_equal(sha256(os.path.join(dest, name)), want, "restored %s (sha256sum)" % name)


def scenario_file_to_ish_and_back(s):
    src, out, dest = s.path("src"), s.path("out"), s.path("restored")
    sample_files(src)
    os.makedirs(out)
    os.makedirs(dest)
    prog = s.start(settings=settings(Comp1Dir={"Path": s.win(src)}, Comp2Dir={"Path": s.win(out)},
                                     DeComp1Dir={"Path": s.win(out)}, ish={"Path": s.win(dest)}))
    compress(s, prog, ["noise.bin"], "enc", ish=True)
    prog.window("DeComp4", timeout=30)
    ish = os.path.join(out, "enc.ish")
    with open(ish, "rb") as f:
        head = f.readline()
    expect(head.startswith(b"<<< noise.bin "), "ISH header line: %r" % head)
    s.desktop.click(z.find(prog.window("DeComp4"), "Image7"))  # back to the menu
    prog.window("frmMenu")
    _restore(s, prog, out, "enc.ish")
    expect_equal(sha256(os.path.join(dest, "noise.bin")), sha256(os.path.join(src, "noise.bin")),
                 "noise.bin through ISH and back (sha256sum)")


def scenario_ish_from_the_clipboard(s):
    dest = s.path("restored")
    os.makedirs(dest)
    prog = s.start(settings=settings(ish={"Path": s.win(dest)}))
    d = s.desktop
    # Another program owns the clipboard, holding ISH text made by another tool.
    clip = z._start(["xclip", "-quiet", "-selection", "clipboard", "-i",
                     os.path.join(DATA, "macish-test.ish")], d.env,
                    stdout=z.subprocess.DEVNULL, stderr=z.subprocess.DEVNULL)
    try:
        d.click(z.find(prog.window("frmMenu"), "Image2"))
        sel = prog.window("DeComp1")
        d.click(z.find(sel, "Option3"), double=True)
        ish = prog.window("frmish")
        d.click(z.find(ish, "Command4"))
        time.sleep(1)
        s.shot("clipboard-taken")
        d.click(z.find(ish, "Image4"))
        prog.gone("frmish", timeout=30)
        time.sleep(0.5)
    finally:
        z._end(clip)
    with open(os.path.join(DATA, "macish-test.sha256")) as f:
        want, name = f.read().split()
    expect_equal(sha256(os.path.join(dest, name)), want, "restored %s (sha256sum)" % name)


def scenario_ish_restore_with_question_asks_before_replacing(s):
    src, dest = s.path("ish"), s.path("restored")
    os.makedirs(src)
    shutil.copy(os.path.join(DATA, "macish-test.ish"), src)
    with open(os.path.join(DATA, "macish-test.sha256")) as f:
        want, name = f.read().split()
    mine = os.path.join(dest, name)
    write(mine, b"the user's own text, not the one in the ISH data\n")
    before = sha256(mine)
    prog = s.start(settings=settings(DeComp1Dir={"Path": s.win(src)}, ish={"Path": s.win(dest)}))
    _restore(s, prog, src, "macish-test.ish", mode="Option3", question="いいえ")
    expect_equal(sha256(mine), before, "the file kept byte for byte after No (sha256sum)")
    s.desktop.click(z.find(prog.window("DeComp4"), "Image7"))  # back to the menu
    _restore(s, prog, src, "macish-test.ish", mode="Option3", question="はい")
    expect_equal(sha256(mine), want, "the file replaced after Yes (sha256sum)")


def scenario_ish_restore_into_a_read_only_folder_says_why(s):
    src, dest = s.path("ish"), s.path("restored")
    os.makedirs(src)
    os.makedirs(dest)
    shutil.copy(os.path.join(DATA, "macish-test.ish"), src)
    os.chmod(dest, 0o555)
    prog = s.start(settings=settings(DeComp1Dir={"Path": s.win(src)}, ish={"Path": s.win(dest)}),
                   honour_permissions=True)
    failure = []
    _restore(s, prog, src, "macish-test.ish", failure=failure)
    expect("書き込み権限がありません" in failure[0], "the cause named: %r" % failure)
    prog.window("DeComp4")  # the flow goes on to the file utility
    expect_equal(os.listdir(dest), [], "nothing written into the read-only folder")
