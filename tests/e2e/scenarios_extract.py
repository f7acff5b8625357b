"""Extraction roads: all members, chosen members, quick extraction, start with an archive."""
import os
import shutil
import time

import zvdrive as z
from common import expect, expect_equal, open_archive, settings
from judge import run, tree_digests

DATA = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "data", "lzh")
SAMPLE = os.path.join(DATA, "explzh_723", "h2_subdir.lzh")


def _reference(s, archive):
    """What lhasa extracts from the archive."""
    ref = s.path("reference")
    os.makedirs(ref)
    run(["lhasa", "xq", os.path.abspath(archive)], cwd=ref)
    return tree_digests(ref)


def _archive_folder(s):
    arc = s.path("arc")
    os.makedirs(arc)
    shutil.copy(SAMPLE, arc)
    return arc


def _extract_to(s, prog, contents, out):
    d = s.desktop
    d.click(z.find(contents, "Image2"))
    dest = prog.window("DeComp3")
    s.shot("destination")
    d.click(z.find(dest, "Image2"))
    prog.gone("DeComp3", timeout=30)
    time.sleep(0.5)


def scenario_extract_all(s):
    arc, out = _archive_folder(s), s.path("out")
    os.makedirs(out)
    prog = s.start(settings=settings(DeComp1Dir={"Path": s.win(arc)},
                                     DeComp3Dir={"Path": s.win(out)}))
    contents = open_archive(s, prog, "h2_subdir.lzh")
    s.shot("contents")
    s.desktop.click(z.find(contents, "Image3"))  # select all
    _extract_to(s, prog, contents, out)
    expect_equal(tree_digests(out), _reference(s, SAMPLE), "extracted tree against lhasa's")


def scenario_extract_chosen_members(s):
    arc, out = s.path("arc"), s.path("out")
    os.makedirs(arc)
    os.makedirs(out)
    shutil.copy(os.path.join(DATA, "regression", "multiple.lzh"), arc)
    prog = s.start(settings=settings(DeComp1Dir={"Path": s.win(arc)},
                                     DeComp3Dir={"Path": s.win(out)}))
    contents = open_archive(s, prog, "multiple.lzh")
    members = z.find(contents, "List1")
    s.desktop.click(z.find(members, "file2-1.txt"))
    s.desktop.click(z.find(members, "file4.txt"), ctrl=True)
    s.shot("chosen")
    _extract_to(s, prog, contents, out)
    want = _reference(s, os.path.join(arc, "multiple.lzh"))
    want = {k: v for k, v in want.items() if k in ("file2-1.txt", "file4.txt")}
    expect_equal(tree_digests(out), want, "the chosen members against lhasa's")


def scenario_start_with_archive_argument(s):
    arc, out = _archive_folder(s), s.path("out")
    os.makedirs(out)
    prog = s.start(args=[os.path.join(arc, "h2_subdir.lzh")],
                   settings=settings(DeComp3Dir={"Path": s.win(out)}))
    contents = prog.window("DeComp2", timeout=20)
    s.shot("listed-at-start")
    names = [c.name for c in z.descendants(z.find(contents, "List1"))]
    expect("subdir\\subdir2\\hello.txt" in names, "members listed at once: %r" % names)
    s.desktop.click(z.find(contents, "Image3"))
    _extract_to(s, prog, contents, out)
    expect_equal(tree_digests(out), _reference(s, SAMPLE), "extracted tree against lhasa's")


def scenario_quick_extraction(s):
    arc = _archive_folder(s)
    prog = s.start(settings=settings(DeComp1Dir={"Path": s.win(arc)}))
    d = s.desktop
    d.click(z.find(prog.window("frmMenu"), "Image2"))
    sel = prog.window("DeComp1")
    d.click(z.find(z.find(sel, "File1"), "h2_subdir.lzh"))
    d.click(z.find(sel, "Image2"))
    time.sleep(2)
    s.shot("after-quick")
    quick = os.path.join(prog.folder, "QUICK")
    expect_equal(tree_digests(quick), _reference(s, SAMPLE), "QUICK folder against lhasa's")
