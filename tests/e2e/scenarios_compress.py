"""Compression roads: files and a folder tree to LZH, a file to ISH and back."""
import os

import zvdrive as z
from common import compress, expect, expect_equal, sample_files, settings
from judge import lzh_contents, tree_digests


def scenario_lzh_from_chosen_files(s):
    src, out = s.path("src"), s.path("out")
    sample_files(src)
    os.makedirs(out)
    prog = s.start(settings=settings(Comp1Dir={"Path": s.win(src)}, Comp2Dir={"Path": s.win(out)}))
    compress(s, prog, ["readme.txt", "noise.bin"], "chosen")
    prog.window("DeComp4", timeout=30)  # the file utility shows the result
    s.shot("file-utility-after")
    got = lzh_contents(os.path.join(out, "chosen.lzh"))
    want = tree_digests(src)
    del want["data.bin"]
    expect_equal(got, want, "members of chosen.lzh (lhasa) against the sources (sha256sum)")


def scenario_lzh_from_folder_tree(s):
    src, out = s.path("tree"), s.path("out")
    sample_files(os.path.join(src, "top"))
    sample_files(os.path.join(src, "top", "sub", "deeper"))
    os.makedirs(out)
    # WithDirectory 3: the whole tree of the chosen folder, with its folder structure.
    prog = s.start(settings=settings(Option={"WithDirectory": "3"},
                                     Comp1Dir={"Path": s.win(os.path.join(src, "top"))},
                                     Comp2Dir={"Path": s.win(out)}))
    d = s.desktop
    d.click(z.find(prog.window("frmMenu"), "Image1"))
    comp1 = prog.window("Comp1")
    s.shot("comp1-folder-mode")
    d.click(z.find(comp1, "Image4"))
    comp2 = prog.window("Comp2")
    d.click(z.find(comp2, "Text1"))
    d.type("tree")
    d.click(z.find(comp2, "Image2"))
    prog.gone("Comp2", timeout=60)
    prog.window("DeComp4", timeout=30)
    got = lzh_contents(os.path.join(out, "tree.lzh"))
    want = tree_digests(src)
    # Member paths are kept below the chosen folder or with it; compare by the tail.
    tails = {k.split("top/", 1)[-1] if "top/" in k else k: v for k, v in got.items()}
    want_tails = {k[len("top/"):]: v for k, v in want.items()}
    expect_equal(tails, want_tails, "tree.lzh members (lhasa) against the tree (sha256sum)")
    expect(any("/" in k for k in got), "tree.lzh keeps its folder structure: %r" % list(got))
