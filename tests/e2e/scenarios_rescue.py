"""Archive test and rescue: a clean archive from the contents window, a damaged LZH, a ZIP
that lost its central directory and an ISH text that lost lines from the file utility's
archive menu."""
import os
import shutil
import subprocess
import time

import zvdrive as z
from common import answer, box_text, expect, expect_equal, open_archive, settings, write
from judge import run, sha256

DATA = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "data", "lzh")
ISH_SAMPLE = os.path.join(os.path.dirname(DATA), "ish", "macish-test.ish")
CLEAN = os.path.join(DATA, "explzh_723", "h2_subdir.lzh")
MEMBERS = {"one.txt": b"first member\n" * 300, "two.txt": b"second member\n" * 400,
           "three.txt": b"third member\n" * 500}


def _made(s, tool_args, name, damage):
    """An archive of MEMBERS made by another tool, then damaged by `damage(bytes)`."""
    src = s.path("src-" + name)
    os.makedirs(src)
    for member, data in MEMBERS.items():
        write(os.path.join(src, member), data)
    run(tool_args + [os.path.join(src, name)] + list(MEMBERS), cwd=src)
    with open(os.path.join(src, name), "rb") as f:
        return damage(bytearray(f.read()))


def _file_utility(s, archive_name, data):
    up, down = s.path("up"), s.path("down")
    os.makedirs(up)
    os.makedirs(down)
    write(os.path.join(up, archive_name), bytes(data))
    prog = s.start(settings=settings(DeComp4Dir1={"Path": s.win(up)},
                                     DeComp4Dir2={"Path": s.win(down)}))
    s.desktop.click(z.find(prog.window("frmMenu"), "Label2"))
    win = prog.window("DeComp4")
    s.desktop.click(z.find(z.find(win, "File1"), archive_name))
    return prog, win, down


def _rescue_from_menu(s, prog):
    """書庫(&A) -> 壊れた書庫から取り出す(&R) by its keys, then いいえ (the intact members
    only) to the folder question."""
    s.desktop.key("alt+a")
    s.desktop.key("r")
    answer(s, prog, "壊れた書庫から取り出す", "いいえ", shot="rescue-question")
    report = prog.window("frmReport", timeout=30)
    time.sleep(0.5)
    s.shot("report", painted=report)
    return z.text_of(z.find(report, "Text1"))


def scenario_clean_archive_says_so_in_one_line(s):
    arc = s.path("arc")
    os.makedirs(arc)
    shutil.copy(CLEAN, arc)
    prog = s.start(settings=settings(DeComp1Dir={"Path": s.win(arc)}))
    contents = open_archive(s, prog, "h2_subdir.lzh")
    s.desktop.focus(z.find(contents, "List1"))
    s.desktop.key("ctrl+t")
    report = prog.window("frmReport", timeout=30)
    time.sleep(0.5)
    s.shot("clean-report", painted=report)
    text = z.text_of(z.find(report, "Text1")).strip()
    expect("正常です" in text and "\n" not in text, "one line saying the archive is sound: %r" % text)


def scenario_damaged_lzh_rescues_the_intact_members(s):
    def flip_second_header(d):
        at = d.find(b"two.txt")
        d[at] ^= 0x55
        return d
    data = _made(s, ["jlha", "a"], "broken.lzh", flip_second_header)
    prog, win, down = _file_utility(s, "broken.lzh", data)
    text = _rescue_from_menu(s, prog)
    lines = [l for l in text.splitlines() if l.strip()]
    first = next(i for i, l in enumerate(lines) if l.startswith("状態"))
    expect(lines[first + 1].startswith("ヘッダ破損"), "the damaged member first: %r" % text)
    for name in ("one.txt", "three.txt"):
        expect_equal(sha256(os.path.join(down, name)), sha256(os.path.join(s.path("src-broken.lzh"), name)),
                     name + " taken out byte for byte")
    expect(not os.path.exists(os.path.join(down, "two.txt")), "nothing written for the lost member")


def scenario_contents_of_a_damaged_lzh_show_what_was_read_and_say_so(s):
    def flip_second_header(d):
        d[d.find(b"two.txt")] ^= 0x55
        return d
    arc = s.path("arc")
    os.makedirs(arc)
    write(os.path.join(arc, "broken.lzh"), bytes(_made(s, ["jlha", "a"], "broken.lzh",
                                                       flip_second_header)))
    prog = s.start(settings=settings(DeComp1Dir={"Path": s.win(arc)}))
    s.desktop.click(z.find(prog.window("frmMenu"), "Image2"))
    s.desktop.click(z.find(z.find(prog.window("DeComp1"), "File1"), "broken.lzh"), double=True)
    said = box_text(prog.window("エラーです", timeout=30))
    expect("一部のメンバーしか表示できません" in said and "壊れた書庫から取り出す" in said,
           "the listing says it stops at damage and points to the rescue: %r" % said)
    answer(s, prog, "エラーです", "OK", shot="listing-stops")
    contents = prog.window("DeComp2")
    names = [c.name for c in z.descendants(z.find(contents, "List1"))]
    expect_equal(names, ["one.txt"], "the member before the damage listed")


def scenario_zip_without_central_directory(s):
    def lose_directory(d):
        at = d.find(b"PK\x01\x02")
        d[at:] = b"\0" * (len(d) - at)
        return d
    data = _made(s, ["zip", "-q"], "nodir.zip", lose_directory)
    prog, win, down = _file_utility(s, "nodir.zip", data)
    text = _rescue_from_menu(s, prog)
    expect("破損 0 個，正常 3 個" in text and "中央ディレクトリ" in text,
           "every member sound once read from the local headers: %r" % text)
    summary = z.text_of(z.find(prog.window("frmReport", timeout=5), "Label1"))
    expect("破損のある書庫 1 個" in summary, "the archive itself counted as damaged: %r" % summary)
    for name in MEMBERS:
        expect_equal(sha256(os.path.join(down, name)), sha256(os.path.join(s.path("src-nodir.zip"), name)),
                     name + " taken out byte for byte")


def scenario_ish_text_restores_what_its_lines_allow(s):
    """Two ISH files in one text: the sample of another tool with lines lost that its check
    lines mend, and one made by zish with three lines of a block lost."""
    src = s.path("src")
    os.makedirs(src)
    lost = os.path.join(src, "lost.bin")
    write(lost, os.urandom(6000))
    bin_dir = os.path.dirname(s.exe)
    run([os.path.join(bin_dir, "zish"), s.win(lost), "/s7", "/ya", s.win(lost + ".ish")])
    with open(ISH_SAMPLE, "rb") as f:
        sample = f.read().split(b"\n")
    with open(lost + ".ish", "rb") as f:
        made = f.read().split(b"\n")
    text = b"\n".join(sample[:4] + sample[6:]) + b"\n" + b"\n".join(made[:10] + made[13:])
    prog, win, down = _file_utility(s, "mail.ish", text)
    report = _rescue_from_menu(s, prog)
    lines = [l for l in report.splitlines() if l.strip()]
    first = next(i for i, l in enumerate(lines) if l.startswith("状態"))
    expect(lines[first + 1].startswith("修復できません") and "lost.bin" in lines[first + 1]
           and "データ行 7, 8, 9" in lines[first + 1], "the lost file first, its lines named: %r"
           % report)
    expect("行を修復" in report, "the mended lines said: %r" % report)
    with open(os.path.join(os.path.dirname(ISH_SAMPLE), "macish-test.sha256")) as f:
        want, name = f.read().split()
    expect_equal(sha256(os.path.join(down, name)), want, "restored %s (sha256sum)" % name)
    expect(not os.path.exists(os.path.join(down, "lost.bin")), "nothing written for the lost file")
