"""Roads taken by keyboard alone (no pointer once the program runs) and picture buttons pressed
through their accessibility action. The program runs as a user starts it (no test switch):
windows are found by their titles and controls by what they are announced as. On the keyboard
roads the accessibility bus only finds and reads controls; keys go in through xdotool. Results
are judged by lhasa and sha256sum."""
import os
import shutil
import time

import zvdrive as z
from common import expect, expect_equal, sample_files, settings, write
from judge import lzh_contents, run, sha256, tree_digests

SAMPLE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "data", "lzh",
                      "explzh_723", "h2_subdir.lzh")
OTHER = os.path.join(os.path.dirname(SAMPLE), "..", "regression", "multiple.lzh")

ACCESSIBLE_IDS = False  # controls are found as a screen reader user hears them

# What the windows and controls are announced as.
MENU = "Zorvex 32    -Menu-"
STEP = "Zorvex 32"  # the compression and extraction steps share it
COMPRESS, EXTRACT, FILE_LINK = "ファイルを圧縮します", "書庫を解凍します", "File"
SOURCE_FILES = "ファイル一覧"
NEXT = "次のｽﾃｯﾌﾟ進みます"
SELECT_ALL = "ﾌｧｲﾙﾘｽﾄのすべてのﾌｧｲﾙを選択状態にします"
ARCHIVE_NAME, CREATE = "ﾌｧｲﾙ名", "圧縮ファイルの作成"
ARCHIVES = "選択はダブルクリックで行います"
MEMBERS, EXTRACT_NOW = "解凍したいファイルをクリックで指定後", "解凍"
UPPER_FILES = "上段のファイル一覧"
RESULT = "Zorvex 32  -作成(圧縮)したﾌｧｲﾙです-"
UTILITY, FULL_TRASH = "ファイル操作ユーティリティー", "ゴミ箱（使用済み）"
RENAME, NEW_NAME = "ファイル名の変更", "新しいﾌｧｲﾙの名前："


def _state(obj, state):
    return obj.getState().contains(getattr(z._atspi(), state))


def _park_pointer(s):
    # The pointer rests in a corner no window covers, so nothing it hovers takes part.
    s.desktop.xdo("mousemove", "--sync", 1279, 1023)


def tab_to(s, win, name, role=None, limit=30):
    """Presses Tab until the control with that name (and role: a label and the list it names
    are announced alike) has the keyboard focus."""
    control = z.find(win, name, role)
    for _ in range(limit):
        if _state(control, "STATE_FOCUSED"):
            return control
        s.desktop.key("Tab")
    raise z.Failure("Tab never reached %s in %s" % (name, win.name))


def items(listbox):
    return [listbox.getChildAtIndex(i) for i in range(listbox.childCount)]


def item_names(listbox):
    return [c.name for c in items(listbox)]


def wait_focused(control, timeout=5.0):
    deadline = time.time() + timeout
    while not _state(control, "STATE_FOCUSED"):
        if time.time() > deadline:
            raise z.Failure("%s did not take the focus" % control.name)
        time.sleep(0.1)
    return control


def focus_item(s, listbox, name):
    """Moves the focus (not the selection) of a focused list to the item with that name."""
    names = item_names(listbox)
    expect(name in names, "%s listed: %r" % (name, names))
    s.desktop.key("ctrl+Home")
    for _ in range(names.index(name)):
        s.desktop.key("ctrl+Down")


def labelled_by(obj):
    """Names of the controls the object says are its labels."""
    kind = z._atspi().RELATION_LABELLED_BY
    return [r.getTarget(i).name for r in obj.getRelationSet() if r.getRelationType() == kind
            for i in range(r.getNTargets())]


def selected_names(listbox):
    return [c.name for c in items(listbox) if _state(c, "STATE_SELECTED")]


def press_key_on(s, win, name, key="space"):
    tab_to(s, win, name)
    s.desktop.key(key)


def answer_by_key(s, prog, title, button, shot=None):
    """Moves the focus to a button of the message box with that title and presses it."""
    box = prog.window(title)
    if shot:
        s.shot(shot, painted=box)
    tab_to(s, box, button)
    s.desktop.key("space")
    prog.gone(title)


def scenario_compress_two_files_apart(s):
    src, out = s.path("src"), s.path("out")
    sample_files(src)
    os.makedirs(out)
    _park_pointer(s)
    prog = s.start(settings=settings(Comp1Dir={"Path": s.win(src)}, Comp2Dir={"Path": s.win(out)}))
    press_key_on(s, prog.window(MENU), COMPRESS)
    comp1 = prog.window_with(s.win(src), SOURCE_FILES)  # titled by its folder
    files = tab_to(s, comp1, SOURCE_FILES, "list")
    names = item_names(files)
    expect_equal(names, sorted(names), "the file list's order")
    first, last = names[0], names[-1]
    expect(len(names) == 3, "three files listed, so the first and last are not adjacent: %r" % names)
    focus_item(s, files, first)
    s.desktop.key("ctrl+space")
    focus_item(s, files, last)
    s.desktop.key("ctrl+space")
    s.shot("two-chosen", painted=comp1)
    expect_equal(selected_names(files), [first, last], "files chosen by Ctrl+Space")
    press_key_on(s, comp1, NEXT)
    comp2 = prog.window_with(s.win(out), CREATE)  # titled by its folder
    tab_to(s, comp2, ARCHIVE_NAME, "text")
    s.desktop.type("apart")
    s.shot("archive-name", painted=comp2)
    press_key_on(s, comp2, CREATE)
    prog.window(RESULT, timeout=60)
    want = {n: v for n, v in tree_digests(src).items() if n in (first, last)}
    expect_equal(lzh_contents(os.path.join(out, "apart.lzh")), want,
                 "members of apart.lzh (lhasa) against the two chosen files (sha256sum)")


def scenario_extract_an_archive(s):
    arc, out, ref = s.path("arc"), s.path("out"), s.path("reference")
    for d in (arc, out, ref):
        os.makedirs(d)
    shutil.copy(SAMPLE, arc)
    shutil.copy(OTHER, os.path.join(arc, "first.lzh"))  # listed before the one opened
    run(["lhasa", "xq", os.path.abspath(SAMPLE)], cwd=ref)
    _park_pointer(s)
    prog = s.start(settings=settings(DeComp1Dir={"Path": s.win(arc)},
                                     DeComp3Dir={"Path": s.win(out)}))
    press_key_on(s, prog.window(MENU), EXTRACT)
    sel = prog.window_with(s.win(arc), ARCHIVES)  # titled by its folder
    archives = tab_to(s, sel, ARCHIVES, "list")
    expect_equal(labelled_by(archives), [ARCHIVES], "the archive list's label (labelled-by)")
    focus_item(s, archives, "h2_subdir.lzh")
    s.shot("archive-focused", painted=sel)
    s.desktop.key("Return")
    contents = prog.window_with(STEP, MEMBERS, timeout=20)
    s.shot("contents", painted=contents)
    members = tab_to(s, contents, MEMBERS, "list")
    s.desktop.key("ctrl+a")  # the select-all picture's key
    expect_equal(len(selected_names(members)), members.childCount, "every member chosen")
    press_key_on(s, contents, NEXT)
    dest = prog.window_with(s.win(out), EXTRACT_NOW)  # titled by its folder, as it follows it
    s.shot("destination", painted=dest)
    press_key_on(s, dest, EXTRACT_NOW)
    prog.gone_window(dest, timeout=30)
    time.sleep(0.5)
    expect_equal(tree_digests(out), tree_digests(ref), "extracted tree (sha256sum) against lhasa's")


def scenario_file_utility_trash_and_rename(s):
    up, down = s.path("up"), s.path("down")
    os.makedirs(down)
    for name in ("gone.txt", "keep.txt", "old.txt"):
        write(os.path.join(up, name), ("%s\n" % name).encode() * 20)
    gone, old = sha256(os.path.join(up, "gone.txt")), sha256(os.path.join(up, "old.txt"))
    _park_pointer(s)
    prog = s.start(settings=settings(DeComp4Dir1={"Path": s.win(up)},
                                     DeComp4Dir2={"Path": s.win(down)}))
    press_key_on(s, prog.window(MENU), FILE_LINK)
    win = prog.window(UTILITY)
    files = tab_to(s, win, UPPER_FILES, "list")
    focus_item(s, files, "gone.txt")
    s.shot("gone-focused", painted=win)
    s.desktop.key("Delete")
    answer_by_key(s, prog, "削除の確認", "はい", shot="delete-question")
    time.sleep(0.3)
    trashed = os.path.join(prog.home, ".local/share/Trash/files/gone.txt")
    expect(not os.path.exists(os.path.join(up, "gone.txt")), "gone.txt left its folder")
    expect_equal(sha256(trashed), gone, "gone.txt in the home trash (sha256sum)")
    full = z.find(win, FULL_TRASH, "image")  # the full trash, shown now, is on the bus
    expect(_state(full, "STATE_SHOWING"), "the full trash reported as showing")

    files = wait_focused(z.find(win, UPPER_FILES))
    focus_item(s, files, "old.txt")
    s.desktop.key("F2")
    dialog = prog.window(RENAME)
    tab_to(s, dialog, NEW_NAME, "text")
    s.desktop.key("ctrl+a")
    s.desktop.type("new.txt")
    s.shot("rename-dialog", painted=dialog)
    s.desktop.key("Return")
    prog.gone(RENAME)
    time.sleep(0.3)
    s.shot("after-rename", painted=win)
    wait_focused(z.find(win, UPPER_FILES))  # the keys are back where they were
    expect_equal(sorted(os.listdir(up)), ["keep.txt", "new.txt"], "files left in the folder")
    expect_equal(sha256(os.path.join(up, "new.txt")), old, "new.txt holds old.txt's bytes")


def _press_action(obj):
    """Presses a control through its accessibility action named Press."""
    action = obj.queryAction()
    names = [action.getName(i) for i in range(action.nActions)]
    expect("Press" in names, "%s offers Press: %r" % (obj.name, names))
    expect_equal(obj.getRoleName(), "push button", "role of %s" % obj.name)
    action.doAction(names.index("Press"))


def scenario_pictures_pressed_by_their_action(s):
    src, out = s.path("src"), s.path("out")
    sample_files(src)
    os.makedirs(out)
    _park_pointer(s)
    prog = s.start(settings=settings(Comp1Dir={"Path": s.win(src)}, Comp2Dir={"Path": s.win(out)}))
    _press_action(z.find(prog.window(MENU), COMPRESS))
    comp1 = prog.window_with(s.win(src), SOURCE_FILES)
    _press_action(z.find(comp1, SELECT_ALL))
    files = z.find(comp1, SOURCE_FILES, "list")
    deadline = time.time() + 5
    while len(selected_names(files)) < files.childCount and time.time() < deadline:
        time.sleep(0.1)
    expect_equal(len(selected_names(files)), 3, "every file chosen by the select-all picture")
    _press_action(z.find(comp1, NEXT))
    comp2 = prog.window_with(s.win(out), CREATE)  # titled by its folder
    name = z.find(comp2, ARCHIVE_NAME, "text")
    name.queryEditableText().setTextContents("pressed")
    s.shot("named", painted=comp2)
    _press_action(z.find(comp2, CREATE))
    prog.window(RESULT, timeout=60)
    expect_equal(lzh_contents(os.path.join(out, "pressed.lzh")), tree_digests(src),
                 "members of pressed.lzh (lhasa) against the sources (sha256sum)")
