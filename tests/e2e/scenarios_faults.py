"""Faults once found by driving the real windows, each checked where the user meets it."""
import os
import subprocess
import time

import zvdrive as z
from common import (answer, editable_combo, expect, expect_equal, open_archive,
                    registered_paths, settings, write)
from judge import lzh_contents, run, tree_digests


def _titles(s, prog):
    return {s.desktop.title_of(x) for x in s.desktop.window_ids(prog.proc.pid)}


def _wait_title(s, prog, title, timeout=10):
    deadline = time.time() + timeout
    while True:
        titles = _titles(s, prog)
        if title in titles or time.time() > deadline:
            return titles
        time.sleep(0.2)


def scenario_window_titles_reach_the_window_system_as_written(s):
    prog = s.start()
    d = s.desktop
    menu = prog.window("frmMenu")
    titles = _wait_title(s, prog, "Zorvex 32    -Menu-")
    expect("Zorvex 32    -Menu-" in titles, "main menu's _NET_WM_NAME: %r" % titles)
    d.click(z.find(menu, "Label2"))
    prog.window("DeComp4")
    titles = _wait_title(s, prog, "ファイル操作ユーティリティー")
    s.shot("file-utility")
    expect("ファイル操作ユーティリティー" in titles, "file utility's _NET_WM_NAME: %r" % titles)
    expect(not any(t and "Zorvex 32+" in t for t in titles), "no appended name: %r" % titles)


def scenario_exit_question_title_is_exact(s):
    prog = s.start()
    d = s.desktop
    d.click(z.find(prog.window("frmMenu"), "Image3"))
    box = prog.window("お疲れ様でした")
    titles = _wait_title(s, prog, "お疲れ様でした")
    s.shot("exit-question", painted=box)
    expect("お疲れ様でした" in titles, "exit question's _NET_WM_NAME: %r" % titles)
    answer(s, prog, "お疲れ様でした", "はい")
    expect_equal(prog.exited(), 0, "status after confirming the exit")


def scenario_without_a_display_one_line_and_status_1(s):
    env = {k: v for k, v in os.environ.items()
           if k not in ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM")}
    home = s.path("home")
    os.makedirs(home)
    env.update(HOME=home, LC_ALL="C.UTF-8", XDG_RUNTIME_DIR=home)
    exe = s.path("prog", "zorvex32")
    write(exe, open(s.exe, "rb").read())
    os.chmod(exe, 0o755)
    proc = subprocess.Popen([exe], env=env, cwd=home, stdout=subprocess.PIPE,
                            stderr=subprocess.PIPE, start_new_session=True)
    try:
        out, err = proc.communicate(timeout=30)
    finally:
        if proc.poll() is None:
            os.killpg(proc.pid, 9)
    text = (out + err).decode("utf-8", "replace").strip()
    expect_equal(proc.returncode, 1, "status without a display (output: %r)" % text)
    expect(len(text.splitlines()) == 1, "one line: %r" % text)
    expect("xvfb-run" in text, "the line says how to start it: %r" % text)
    expect(not os.path.exists(os.path.join(home, "core")), "no core dump")


def scenario_typed_destination_is_not_completed_from_registered_paths(s):
    arc, x = s.path("arc"), s.path("x")
    chosen = os.path.join(x, "chosen")
    os.makedirs(chosen)
    os.makedirs(arc)
    run(["cp", os.path.join(os.path.dirname(__file__), "..", "data", "lzh", "explzh_723",
                            "h2_subdir.lzh"), arc])
    prog = s.start(settings=settings(DeComp1Dir={"Path": s.win(arc)},
                                     DeComp3Dir={"Path": s.win(chosen)}))
    write(os.path.join(prog.folder, "ZORVEX.DAT"), registered_paths([s.win(chosen)]))
    d = s.desktop
    contents = open_archive(s, prog, "h2_subdir.lzh")
    d.click(z.find(contents, "Image3"))  # select all
    d.click(z.find(contents, "Image2"))
    dest = prog.window("DeComp3")
    combo = editable_combo(dest)
    d.click(combo, dx=40)
    d.key("ctrl+a")
    d.type(s.win(x))
    s.shot("typed-destination")
    d.click(z.find(dest, "Image2"))
    prog.gone("DeComp3", timeout=30)
    time.sleep(1)
    s.shot("after-extraction")
    expect_equal(os.listdir(chosen), [], "files in the registered folder")
    expect(os.path.exists(os.path.join(x, "subdir", "subdir2", "hello.txt")),
           "hello.txt extracted into the typed folder: %r" % sorted(os.listdir(x)))
