"""Judges results only with independent tools: lhasa, 7z, bsdtar, unzip, sha256sum."""
import os
import subprocess
import tempfile

ENV = dict(os.environ, LC_ALL="C.UTF-8")


class Failure(AssertionError):
    pass


def run(argv, cwd=None, check=True):
    out = subprocess.run(argv, cwd=cwd, env=ENV, capture_output=True)
    if check and out.returncode != 0:
        raise Failure("%s failed (%d): %s" % (" ".join(argv), out.returncode,
                                              out.stderr.decode("utf-8", "replace")))
    return out.stdout.decode("utf-8", "replace")


def sha256(path):
    return run(["sha256sum", "-b", path]).split()[0]


def tree_digests(folder):
    """Relative path -> sha256 of every file below folder (by sha256sum)."""
    out = {}
    for base, _dirs, files in os.walk(folder):
        for f in files:
            full = os.path.join(base, f)
            out[os.path.relpath(full, folder)] = sha256(full)
    return out


def lzh_contents(archive):
    """Tests the archive with lhasa, extracts it into a fresh folder and returns its digests."""
    run(["lhasa", "tq", archive])
    with tempfile.TemporaryDirectory(prefix="zv-judge-") as dest:
        run(["lhasa", "xq", os.path.abspath(archive)], cwd=dest)
        return tree_digests(dest)


def bsdtar_names(archive):
    return sorted(n.rstrip("/") for n in run(["bsdtar", "-tf", archive]).splitlines() if n)


def zip_names_7z(archive):
    names = []
    for line in run(["7z", "l", "-slt", "-ba", archive]).splitlines():
        if line.startswith("Path = "):
            names.append(line[7:])
    return sorted(names)


def expect(cond, message):
    if not cond:
        raise Failure(message)


def expect_equal(got, want, what):
    if got != want:
        raise Failure("%s: got %r, want %r" % (what, got, want))
