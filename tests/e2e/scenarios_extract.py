"""Extraction roads: all members, chosen members, quick extraction, start with an archive."""
import os
import shutil
import subprocess
import time

import zvdrive as z
from common import expect, expect_equal, open_archive, sample_files, settings, write
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


def _extract_chosen(s, prog, contents, out, names, shot):
    """Clicks the first member, Ctrl+clicks the others, and extracts them to `out`."""
    members = z.find(contents, "List1")
    for i, name in enumerate(names):
        s.desktop.click(z.find(members, name), ctrl=i > 0)
    s.shot(shot)
    _extract_to(s, prog, contents, out)


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
    chosen = ("file2-1.txt", "file4.txt")
    _extract_chosen(s, prog, contents, out, chosen, "chosen")
    want = _reference(s, os.path.join(arc, "multiple.lzh"))
    expect_equal(tree_digests(out), {k: v for k, v in want.items() if k in chosen},
                 "the chosen members against lhasa's")


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


def _zip_reference(s, archive, password=None, cp932=False):
    """What Info-ZIP's unzip extracts from the archive; names stored as CP932 bytes without a
    UTF-8 mark are read by bsdtar told so (this unzip has no option for it)."""
    ref = s.path("reference")
    os.makedirs(ref)
    if cp932:
        run(["bsdtar", "-xf", os.path.abspath(archive), "--options", "hdrcharset=CP932",
             "-C", ref])
    else:
        run(["unzip", "-q"] + (["-P", password] if password else []) +
            [os.path.abspath(archive), "-d", ref])
    return tree_digests(ref)


def _open_zip(s, prog, name):
    """Main menu -> archive selection with the ZIP filter -> the archive's contents."""
    d = s.desktop
    d.click(z.find(prog.window("frmMenu"), "Image2"))
    sel = prog.window("DeComp1")
    d.click(z.find(sel, "Option2"))
    d.click(z.find(z.find(sel, "File1"), name), double=True)
    return prog.window("DeComp2")


def _japanese_zips(arc):
    """mixed.zip: UTF-8 names made by Info-ZIP zip (folders, a Japanese name, binary data);
    legacy.zip: a name stored as CP932 bytes without a UTF-8 mark, as Japanese Windows tools
    write them."""
    src = os.path.join(arc, "src")
    sample_files(os.path.join(src, "資料"))
    write(os.path.join(src, "日本語の説明.txt"), "圧縮ファイルの説明\n".encode() * 50)
    run(["zip", "-q", "-r", os.path.join(arc, "mixed.zip"), "."], cwd=src)
    legacy = os.path.join(arc, "legacy")
    os.makedirs(legacy)
    with open(os.path.join(legacy.encode(), "表計算.txt".encode("cp932")), "wb") as f:
        f.write("シフトJISの名前\n".encode() * 30)
    subprocess.run(["zip", "-q", os.path.join(arc, "legacy.zip").encode(),
                    "表計算.txt".encode("cp932")], cwd=legacy, check=True,
                   env=dict(os.environ, LC_ALL="C"))
    shutil.rmtree(src)
    shutil.rmtree(legacy)


def _start_with_zips(s):
    """The sample ZIP archives in the selection's folder, an empty destination, the program."""
    arc, out = s.path("arc"), s.path("out")
    os.makedirs(out)
    os.makedirs(arc)
    _japanese_zips(arc)
    prog = s.start(settings=settings(DeComp1Dir={"Path": s.win(arc)},
                                     DeComp3Dir={"Path": s.win(out)}))
    return arc, out, prog


def scenario_extract_zip_all(s):
    arc, out, prog = _start_with_zips(s)
    contents = _open_zip(s, prog, "mixed.zip")
    names = [c.name for c in z.descendants(z.find(contents, "List1"))]
    expect(any("日本語の説明.txt" in n for n in names), "Japanese member listed: %r" % names)
    s.shot("zip-contents")
    s.desktop.click(z.find(contents, "Image3"))  # select all
    _extract_to(s, prog, contents, out)
    expect_equal(tree_digests(out), _zip_reference(s, os.path.join(arc, "mixed.zip")),
                 "extracted tree against unzip's")


def scenario_extract_zip_cp932_name(s):
    arc, out, prog = _start_with_zips(s)
    contents = _open_zip(s, prog, "legacy.zip")
    s.desktop.click(z.find(z.find(contents, "List1"), "表計算.txt"))
    s.shot("cp932-listed")
    _extract_to(s, prog, contents, out)
    expect_equal(tree_digests(out), _zip_reference(s, os.path.join(arc, "legacy.zip"), cp932=True),
                 "the CP932-named member against unzip's")


def scenario_extract_zip_with_password(s):
    arc, out = s.path("arc"), s.path("out")
    os.makedirs(out)
    os.makedirs(arc)
    src = os.path.join(arc, "src")
    write(os.path.join(src, "秘密.txt"), "パスワード付きの内容\n".encode() * 40)
    write(os.path.join(src, "公開.txt"), "誰でも読める内容\n".encode() * 40)
    run(["zip", "-q", "-P", "zorvex", os.path.join(arc, "locked.zip"), "秘密.txt"], cwd=src)
    run(["zip", "-q", os.path.join(arc, "locked.zip"), "公開.txt"], cwd=src)
    shutil.rmtree(src)
    prog = s.start(settings=settings(DeComp1Dir={"Path": s.win(arc)},
                                     DeComp3Dir={"Path": s.win(out)}))
    contents = _open_zip(s, prog, "locked.zip")
    d = s.desktop
    d.click(z.find(contents, "Image3"))
    d.click(z.find(contents, "Image2"))
    dest = prog.window("DeComp3")
    d.click(z.find(dest, "Image2"))
    ask = prog.window("パスワード", timeout=30)
    s.shot("password-question", painted=ask)
    d.type("zorvex")
    d.key("Return")
    prog.gone("パスワード")
    prog.gone("DeComp3", timeout=30)
    time.sleep(0.5)
    expect_equal(tree_digests(out), _zip_reference(s, os.path.join(arc, "locked.zip"), "zorvex"),
                 "both members, the encrypted one with the password, against unzip's")


def scenario_extract_zip_chosen_members(s):
    arc, out, prog = _start_with_zips(s)
    contents = _open_zip(s, prog, "mixed.zip")
    chosen = ("資料/data.bin", "日本語の説明.txt")
    _extract_chosen(s, prog, contents, out, chosen, "zip-chosen")
    want = _zip_reference(s, os.path.join(arc, "mixed.zip"))
    expect_equal(tree_digests(out), {k: v for k, v in want.items() if k in chosen},
                 "the two chosen members against unzip's")


def scenario_window_manager_close_waits_for_the_extraction_window(s):
    arc, out, prog = _start_with_zips(s)
    contents = _open_zip(s, prog, "mixed.zip")
    d = s.desktop
    d.click(z.find(contents, "Image3"))  # select all
    d.click(z.find(contents, "Image2"))
    dest = prog.window("DeComp3")
    # Both earlier windows refuse their close box while the extraction window is open.
    for name in ("DeComp1", "DeComp2"):
        d.close_as_window_manager(prog.window(name))
        prog.window(name)
    s.shot("close-refused")
    d.click(z.find(dest, "Image2"))
    prog.gone("DeComp3", timeout=30)
    prog.window("DeComp4")
    time.sleep(0.5)
    prog.gone("frmMenu")
    expect_equal(tree_digests(out), _zip_reference(s, os.path.join(arc, "mixed.zip")),
                 "extracted tree against unzip's")


NAMES = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "data", "names")


def _listed(contents):
    return [c.name for c in z.descendants(z.find(contents, "List1"))]


def _names_menu(s, contents, mnemonic, shot):
    """Shift+F10 on the member list opens its context menu; the letter picks the encoding."""
    d = s.desktop
    d.focus(z.find(contents, "List1"))
    d.key("shift+F10")
    time.sleep(0.8)
    s.shot(shot)
    d.key(mnemonic)
    time.sleep(1.0)


def scenario_names_encoding_switched(s):
    """EUC-JP names found on their own, read as Shift_JIS on request and back to 自動, then
    extracted under the right names (lhasa's names, which are the stored bytes, read as
    EUC-JP by Python)."""
    arc, out = s.path("arc"), s.path("out")
    os.makedirs(arc)
    os.makedirs(out)
    shutil.copy(os.path.join(NAMES, "euc-jp.lzh"), arc)
    prog = s.start(settings=settings(DeComp1Dir={"Path": s.win(arc)},
                                     DeComp3Dir={"Path": s.win(out)}))
    contents = open_archive(s, prog, "euc-jp.lzh")
    detected = _listed(contents)
    s.shot("detected")
    expect("日本語ファイル.txt" in detected, "EUC-JP names detected: %r" % detected)
    _names_menu(s, contents, "s", "menu-open")
    as_sjis = _listed(contents)
    s.shot("as-shift-jis")
    expect(len(as_sjis) == len(detected) and "日本語ファイル.txt" not in as_sjis and
           any("%" in n for n in as_sjis), "names redrawn as Shift_JIS, escaped: %r" % as_sjis)
    _names_menu(s, contents, "a", "menu-again")
    expect_equal(_listed(contents), detected, "names back to what 自動 found")
    s.desktop.click(z.find(contents, "Image3"))  # select all
    _extract_to(s, prog, contents, out)
    ref = s.path("reference")
    os.makedirs(ref)
    run(["lhasa", "xq", os.path.abspath(os.path.join(arc, "euc-jp.lzh"))], cwd=ref)
    want = {os.fsencode(k).decode("euc_jp"): v for k, v in tree_digests(ref).items()}
    expect_equal(tree_digests(out), want, "extracted tree against lhasa's, names read as EUC-JP")
