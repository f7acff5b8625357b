#!/usr/bin/env python3
"""Damages real archives systematically and counts what each tool gets back.

Usage: bench/rescue_damage.py BUILD_DIR [WORK_DIR]

Archives: the historical LZH and ZIP archives under tests/data, and archives made here by
jlha, 7z and zip (deflated, stored, with data descriptors, ZIP64). Each is damaged in every
way below, one damage per copy:
  cut    the file cut at every 512th byte
  header one byte flipped in the middle of each member's header (ZIP: local and central)
  data   one byte flipped in the middle of each member's data
  cd     the ZIP central directory and end record overwritten
A member is recoverable from a copy when none of its own bytes (header, data, descriptor)
was touched. An archive may hold a name more than once (an update appended, a link and then
a file): what the name should hold at the end is its last recoverable member, so each name
counts once, judged by that member. For each tool: names recovered byte for byte, and files
written under a member's name with bytes of no member of that name ("wrong"). Tools: zlha
x -jr / zunzip --rescue, lhasa (LZH), 7z, bsdtar.
"""
import os
import random
import shutil
import struct
import subprocess
import sys
import zipfile

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
BUILD = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else os.path.join(ROOT, "build"))
WORK = os.path.abspath(sys.argv[2] if len(sys.argv) > 2 else "/tmp/rescue-damage")
ENV = dict(os.environ, LC_ALL="C.UTF-8")


def run(cmd, cwd=None):
    return subprocess.run(cmd, cwd=cwd, env=ENV, stdout=subprocess.DEVNULL,
                          stderr=subprocess.DEVNULL, timeout=60).returncode


# --- member spans ------------------------------------------------------------------------

def lzh_spans(data):
    """(start, header_end, end) of each member, following the chain; None if not plain."""
    spans, pos = [], 0
    while pos < len(data) and data[pos] != 0:
        level = data[pos + 20]
        packed = struct.unpack_from("<I", data, pos + 7)[0]
        if level == 0:
            hend = pos + data[pos] + 2
        elif level == 1:
            # The packed size counts the extended headers that follow the base header.
            base = pos + data[pos] + 2
            at, n = base, struct.unpack_from("<H", data, base - 2)[0]
            while n:
                at += n
                n = struct.unpack_from("<H", data, at - 2)[0]
            end = base + packed
            spans.append((pos, at, end))
            pos = end
            continue
        elif level == 2:
            hend = pos + struct.unpack_from("<H", data, pos)[0]
        else:
            return None
        end = hend + packed
        spans.append((pos, hend, end))
        pos = end
    return spans


def tested_names(path):
    """Member paths in archive order from a test run of the clean archive: the names as this
    program decodes them (an archive of CP932 or EUC-JP names, a decomposed name), which is
    where its rescue writes them."""
    tool = ["zlha", "t"] if path.lower().endswith(".lzh") else ["zunzip", "-t"]
    out = subprocess.run([os.path.join(BUILD, "bin", tool[0]), tool[1], path], env=ENV,
                         capture_output=True, text=True).stdout
    names = []
    for line in out.splitlines():
        if line.startswith("正常: "):
            names.append(line[len("正常: "):].rsplit(" (", 1)[0].replace("\\", "/"))
    return names


def zip_spans(path, data):
    """(start, header_end, end, central_start, central_end) per member, and the directory
    start."""
    spans = []
    with zipfile.ZipFile(path) as z:
        infos = z.infolist()
    cd = data.rfind(b"PK\x05\x06")
    cd_start = struct.unpack_from("<I", data, cd + 16)[0]
    if cd_start == 0xFFFFFFFF:
        loc = data.rfind(b"PK\x06\x07")
        z64 = struct.unpack_from("<Q", data, loc + 8)[0]
        cd_start = struct.unpack_from("<Q", data, z64 + 48)[0]
    at = cd_start
    for info in infos:
        off = info.header_offset
        n, e = struct.unpack_from("<HH", data, off + 26)
        hend = off + 30 + n + e
        end = hend + info.compress_size
        if info.flag_bits & 8:
            sig = data[end:end + 4] == b"PK\x07\x08"
            zip64 = info.compress_size >= 0xFFFFFFFF or b"\x01\x00" in data[off + 30 + n:hend][:2]
            end += (4 if sig else 0) + (20 if zip64 else 12)
        cn, ce, cc = struct.unpack_from("<HHH", data, at + 28)
        cend = at + 46 + cn + ce + cc
        spans.append((off, hend, end, at, cend))
        at = cend
    return spans, cd_start, [i.filename for i in infos]


# --- archives ----------------------------------------------------------------------------

def make_sources(folder):
    os.makedirs(os.path.join(folder, "docs"), exist_ok=True)
    rnd = random.Random(7)
    text = open(os.path.join(ROOT, "docs", "ARCHITECTURE.md"), "rb").read()
    files = {
        "readme.txt": text[:3000],
        "docs/guide.txt": text * 3,
        "docs/empty.txt": b"",
        "noise.bin": bytes(rnd.getrandbits(8) for _ in range(20000)),
        "table.csv": b"".join(b"%d,%d,%d\n" % (i, i * i, i * 7 % 13) for i in range(4000)),
    }
    for name, body in files.items():
        with open(os.path.join(folder, name), "wb") as f:
            f.write(body)
    return sorted(files)


def build_archives():
    src = os.path.join(WORK, "src")
    made = os.path.join(WORK, "made")
    shutil.rmtree(WORK, ignore_errors=True)
    os.makedirs(made)
    names = make_sources(src)
    for level in ("0", "1", "2"):
        run(["jlha", "a%sy" % level, os.path.join(made, "jlha_h%s.lzh" % level)] + names, cwd=src)
    run(["7z", "a", "-tzip", os.path.join(made, "7z_deflate.zip")] + names, cwd=src)
    run(["7z", "a", "-tzip", "-mx0", os.path.join(made, "7z_store.zip")] + names, cwd=src)
    run(["zip", "-q", os.path.join(made, "zip_deflate.zip")] + names, cwd=src)
    run(["zip", "-q", "-fz", os.path.join(made, "zip_zip64.zip")] + names, cwd=src)
    with open(os.path.join(made, "zip_stream.zip"), "wb") as out:
        subprocess.run(["sh", "-c", "zip -q - " + " ".join(names) + " | cat"], cwd=src,
                       stdout=out, env=ENV)
    archives = []
    for base in (os.path.join(ROOT, "tests", "data"), made):
        for folder, _, files in os.walk(base):
            for f in sorted(files):
                if f.lower().endswith((".lzh", ".zip")) and "damaged" not in f and "encrypted" not in f:
                    archives.append(os.path.join(folder, f))
    return archives


def read_member(p):
    """What a member left at `p`: a link's target, a file's bytes, or None."""
    if os.path.islink(p):
        return os.readlink(p).encode()  # a link member holds its target
    if os.path.isfile(p):
        return open(p, "rb").read()
    return None


def reference(path, data):
    """Members as (name, span start, span end, header span, data span) and their bytes."""
    if path.lower().endswith(".lzh"):
        spans = lzh_spans(data)
        names = tested_names(path)
        if spans is None:
            return None
        files = [n for n in names if not n.endswith("/")]
        if len(names) != len(spans):
            return None
        members = []
        ref = os.path.join(WORK, "ref")
        shutil.rmtree(ref, ignore_errors=True)
        os.makedirs(ref)
        run([os.path.join(BUILD, "bin", "zlha"), "x", "-n1", path, ref + "/"])
        for i, (name, (s, h, e)) in enumerate(zip(names, spans)):
            if name.endswith("/"):
                continue
            folder = ref
            if names.count(name) > 1:
                # The member itself: the archive cut behind it, where it is the last of its name.
                folder = os.path.join(WORK, "ref-one")
                shutil.rmtree(folder, ignore_errors=True)
                os.makedirs(folder)
                part = os.path.join(WORK, "ref-one.lzh")
                with open(part, "wb") as f:
                    f.write(data[:e] + b"\0")
                run([os.path.join(BUILD, "bin", "zlha"), "x", "-n1", part, folder + "/"])
            body = read_member(os.path.join(folder, name))
            if body is None:
                return None
            members.append(dict(name=name, own=[(s, e)], headers=[(s, h)], data=(h, e),
                                body=body))
        return members, None
    try:
        spans, cd_start, names = zip_spans(path, data)
    except Exception:
        return None
    members = []
    with zipfile.ZipFile(path) as z:
        files = [(info, span) for info, span in zip(z.infolist(), spans)
                 if not info.filename.endswith("/")]
        names = [n for n in tested_names(path) if not n.endswith("/")]
        if len(names) != len(files):
            return None
        for name, (info, (s, h, e, cs, ce)) in zip(names, files):
            try:
                body = z.read(info)
            except (RuntimeError, NotImplementedError):
                return None  # encrypted, or a method Python does not read
            members.append(dict(name=name, own=[(s, e)], headers=[(s, h), (cs, ce)],
                                data=(h, e), body=body))
    return members, (cd_start, len(data))


# --- damage ------------------------------------------------------------------------------

def damages(data, members, cd):
    for cut in range(512, len(data), 512):
        yield "cut", data[:cut], [(cut, len(data))]
    for m in members:
        for s, e in m["headers"]:
            at = (s + e) // 2
            yield "header", data[:at] + bytes([data[at] ^ 0x55]) + data[at + 1:], [(at, at + 1)]
        s, e = m["data"]
        if e > s:
            at = (s + e) // 2
            yield "data", data[:at] + bytes([data[at] ^ 0x55]) + data[at + 1:], [(at, at + 1)]
    if cd:
        s, e = cd
        rnd = random.Random(s)
        junk = bytes(rnd.getrandbits(8) for _ in range(e - s))
        yield "cd", data[:s] + junk, [(s, e)]


def touched(own, hits):
    return any(a < e2 and s2 < b for a, b in own for s2, e2 in hits)


TOOLS = {
    "ours": lambda a, d: [os.path.join(BUILD, "bin", "zlha"), "x", "-jr", "-n1", a, d + "/"]
    if a.endswith(".lzh") else [os.path.join(BUILD, "bin", "zunzip"), "-x", "--rescue", a, d + "/"],
    "lhasa": lambda a, d: ["lhasa", "xqfw=" + d, a] if a.endswith(".lzh") else None,
    "7z": lambda a, d: ["7z", "x", "-y", "-o" + d, a],
    "bsdtar": lambda a, d: ["bsdtar", "-xf", a, "-C", d],
}


def main():
    archives = build_archives()
    totals = {t: [0, 0] for t in TOOLS}  # recovered, wrong
    kinds = {}
    copies = recoverable = lost_unnamed = 0
    skipped = []
    copy = os.path.join(WORK, "copy")
    for path in archives:
        data = open(path, "rb").read()
        ref = reference(path, data)
        if not ref:
            print("skipped: %s" % path, file=sys.stderr)
            skipped.append(os.path.relpath(path, ROOT))
            continue
        members, cd = ref
        ext = os.path.splitext(path)[1].lower()
        for kind, damaged, hits in damages(data, members, cd):
            copies += 1
            name = os.path.join(WORK, "damaged" + ext)
            with open(name, "wb") as f:
                f.write(damaged)
            can = [m for m in members if not touched(m["own"], hits)]
            # Per name: its members in archive order, and the one it should hold at the end.
            by_name = {}
            for m in members:
                by_name.setdefault(m["name"], []).append(m)
            expected = {n: [m for m in ms if m in can][-1] for n, ms in by_name.items()
                        if any(m in can for m in ms)}
            recoverable += len(expected)
            k = kinds.setdefault(kind, dict(copies=0, recoverable=0, **{t: 0 for t in TOOLS}))
            k["copies"] += 1
            k["recoverable"] += len(expected)
            for tool, make in TOOLS.items():
                cmd = make(name, copy)
                if cmd is None:
                    continue
                shutil.rmtree(copy, ignore_errors=True)
                os.makedirs(copy)
                try:
                    rc = run(cmd)
                except subprocess.TimeoutExpired:
                    rc = -1
                got = exact = 0
                for member_name, ms in by_name.items():
                    body = read_member(os.path.join(copy, member_name))
                    if body is None:
                        continue
                    if member_name in expected and body == expected[member_name]["body"]:
                        got += 1
                    elif not any(m["body"] == body for m in ms):
                        totals[tool][1] += 1
                        print("wrong: %s %s %s %s" % (tool, kind, os.path.relpath(path, ROOT),
                                                      member_name), file=sys.stderr)
                    exact += body == ms[-1]["body"]
                totals[tool][0] += got
                k[tool] += got
                if tool == "ours" and got < len(expected):
                    print("missed: %s %s %d/%d" % (os.path.relpath(path, ROOT), kind, got,
                                                  len(expected)), file=sys.stderr)
                if tool == "ours" and rc == 0 and exact < len(by_name):
                    lost_unnamed += 1
                    print("silent: %s %s" % (os.path.relpath(path, ROOT), kind), file=sys.stderr)
    print("archives: %d (skipped: %s)" % (len(archives) - len(skipped), ", ".join(skipped) or "none"))
    print("damaged copies tried: %d, names recoverable: %d" % (copies, recoverable))
    print("%-8s %10s %8s" % ("tool", "recovered", "wrong"))
    for tool, (got, wrong) in totals.items():
        print("%-8s %10d %8d" % (tool, got, wrong))
    print("by damage (recovered / recoverable):")
    for kind, k in kinds.items():
        print("  %-7s copies %4d  recoverable %5d  " % (kind, k["copies"], k["recoverable"]) +
              "  ".join("%s %d" % (t, k[t]) for t in TOOLS))
    print("copies where ours did not take out every member yet returned success: %d" % lost_unnamed)


if __name__ == "__main__":
    main()
