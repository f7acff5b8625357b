#!/usr/bin/env python3
"""Writes euc-jp.lzh and latin1.lzh byte by byte: LZH archives whose member names are EUC-JP
(as LHa for UNIX wrote them on Japanese Unix systems) and Latin-1 (as Amiga and old Unix
archivers wrote them), stored (-lh0-) with level 1 and level 0 headers. No tool at hand
writes such names, so the headers are put together here; lhasa lists and tests both.

    python3 tests/data/names/make_lzh.py tests/data/names
"""
import os
import struct
import sys


def crc16(data, crc=0):
    for b in data:
        crc ^= b
        for _ in range(8):
            crc = (crc >> 1) ^ 0xA001 if crc & 1 else crc >> 1
    return crc


DOS_STAMP = (((2001 - 1980) << 9 | 2 << 5 | 3) << 16) | (4 << 11 | 5 << 5 | 6 >> 1)


def member(name, data, level):
    crc = crc16(data)
    common = b"-lh0-" + struct.pack("<IIIBB", len(data), len(data), DOS_STAMP, 0x20, level)
    if level == 0:
        body = common + bytes([len(name)]) + name + struct.pack("<H", crc)
    else:  # level 1: OS id 'U' and no extended header
        body = common + bytes([len(name)]) + name + struct.pack("<H", crc) + b"U" + b"\0\0"
    return bytes([len(body), sum(body) & 0xFF]) + body + data


def archive(path, names, level):
    with open(path, "wb") as f:
        for text, encoding in names:
            name = text.encode(encoding)
            f.write(member(name, ("contents of " + text + "\n").encode("utf-8"), level))
        f.write(b"\0")


out = sys.argv[1] if len(sys.argv) > 1 else "."
euc = ["日本語ファイル.txt", "資料\\報告書.txt", "〜波.txt", "ｶﾀｶﾅ.dat", "readme.txt"]
archive(os.path.join(out, "euc-jp.lzh"), [(n, "euc_jp") for n in euc], 1)
latin = ["Müller.txt", "café\\Señor.doc", "Ærø.dat", "readme.txt"]
archive(os.path.join(out, "latin1.lzh"), [(n, "latin-1") for n in latin], 0)
