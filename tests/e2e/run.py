"""Runs one group of end-to-end scenarios against the real zorvex32.

usage: run.py GROUP EXE ARTEFACTS [SCENARIO...]
Each scenario gets its own folder (program folder, HOME, data) under a fresh temporary folder,
its own run of the program, and screenshots in ARTEFACTS/<scenario>/."""
import importlib
import os
import shutil
import sys
import tempfile
import time
import traceback

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import zvdrive  # noqa: E402


class Scenario:
    def __init__(self, desktop, exe, root, ids=True):
        self.desktop = desktop
        self.ids = ids
        self.exe = exe
        self.root = root
        self.programs = []

    def path(self, *parts):
        return os.path.join(self.root, *parts)

    def win(self, host):
        """The program's form of a host path under C: ("/tmp/x" -> "C:\\tmp\\x")."""
        return "C:" + host.replace("/", "\\")

    def start(self, args=(), settings=None, name="run", honour_permissions=False):
        root = self.path(name)
        if self.programs:
            # A restart keeps the program folder (and so its settings) of the first run.
            root = self.programs[0].root
        prog = zvdrive.Program(self.desktop, self.exe, root, args, settings, self.ids,
                               honour_permissions)
        self.programs.append(prog)
        return prog

    def shot(self, name, painted=None):
        return self.desktop.screenshot(name, painted)

    def end_all(self):
        for p in self.programs:
            p.end()


def main():
    group, exe, artefacts = sys.argv[1], os.path.abspath(sys.argv[2]), sys.argv[3]
    only = set(sys.argv[4:])
    module = importlib.import_module("scenarios_" + group)
    scenarios = [(n, f) for n, f in vars(module).items() if n.startswith("scenario_")]
    scenarios.sort(key=lambda nf: nf[1].__code__.co_firstlineno)
    shutil.rmtree(artefacts, ignore_errors=True)
    os.makedirs(artefacts)
    failed = []
    desktop = zvdrive.Desktop(artefacts)
    try:
        for name, fn in scenarios:
            short = name[len("scenario_"):]
            if only and short not in only:
                continue
            desktop.artefacts = os.path.join(artefacts, short)
            os.makedirs(desktop.artefacts, exist_ok=True)
            desktop.shots = 0
            root = tempfile.mkdtemp(prefix="zv-e2e-")
            # A group that finds controls as a user hears them runs without the test switch.
            s = Scenario(desktop, exe, root, getattr(module, "ACCESSIBLE_IDS", True))
            began = time.time()
            try:
                fn(s)
                print("PASS %-40s %5.1fs" % (short, time.time() - began), flush=True)
            except Exception:
                failed.append(short)
                try:
                    s.shot("failure")
                except Exception:
                    pass
                print("FAIL %-40s %5.1fs" % (short, time.time() - began), flush=True)
                traceback.print_exc()
                for p in s.programs:
                    try:
                        with open(os.path.join(p.root, "zorvex32.log"), "rb") as f:
                            sys.stdout.write(f.read().decode("utf-8", "replace")[-2000:])
                    except OSError:
                        pass
            finally:
                s.end_all()
                shutil.rmtree(root, ignore_errors=True)
    finally:
        desktop.close()
    if failed:
        print("failed: " + " ".join(failed))
        sys.exit(1)


if __name__ == "__main__":
    main()
