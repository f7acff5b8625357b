"""Options: what the options window confirms is in the settings file and survives a restart."""
import re

import zvdrive as z
from common import answer, expect, expect_equal


def _checked(obj):
    return obj.getState().contains(z._atspi().STATE_CHECKED)


def _exit(s, prog):
    s.desktop.click(z.find(prog.window("frmMenu"), "Image3"))
    answer(s, prog, "お疲れ様でした", "はい")
    expect_equal(prog.exited(), 0, "status after the exit question")


def scenario_options_persist_across_a_restart(s):
    prog = s.start()
    d = s.desktop
    d.click(z.find(prog.window("frmMenu"), "Label1"))
    opts = prog.window("frmOption")
    d.click(z.find(opts, "Option6"))  # move mode: delete after compressing
    d.click(z.find(opts, "Check5"))   # progress dialog while compressing
    d.click(z.find(opts, "Check7"))   # overwrite everything when extracting
    s.shot("options-changed")
    d.click(z.find(opts, "Command3"))
    prog.gone("frmOption")
    _exit(s, prog)
    ini = prog.ini()
    for key, value in (("Mode", "6"), ("Progress2", "YES"), ("OVERWRITE", "YES")):
        expect(re.search(r"(?m)^%s=%s\r?$" % (key, value), ini), "%s=%s in:\n%s" % (key, value, ini))

    again = s.start()
    d.click(z.find(again.window("frmMenu"), "Label1"))
    opts = again.window("frmOption")
    s.shot("options-after-restart")
    for name in ("Option6", "Check5", "Check7"):
        expect(_checked(z.find(opts, name)), "%s checked after the restart" % name)
    expect(not _checked(z.find(opts, "Option5")), "Option5 no longer checked")
