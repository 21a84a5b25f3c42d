#!/usr/bin/env python3
"""Independent check of archives written by qvarc: the byte layout is read
here from scratch and every member must inflate with Python's zlib to the
exact bytes of its source file.  Covers single archives at every level, a
disk set and an archive embedded in a self-extracting file.

usage: check_zlib_members.py --work DIR [--wine] -- QVARC-COMMAND...
"""
import os
import random
import shutil
import struct
import subprocess
import sys
import zlib

HEADER = struct.Struct("<i d B 3x i 101s 3x i i i i B 3x i 21s 3x")
assert HEADER.size == 172


def fail(msg):
    print("FAIL:", msg)
    sys.exit(1)


def short_string(raw, limit):
    return raw[1:1 + min(raw[0], limit)].decode("latin-1")


def read_headers(data, base=0):
    count, multi = struct.unpack_from("<iB", data, base)
    pos, headers = base + 5, []
    for _ in range(count):
        f = HEADER.unpack_from(data, pos)
        h = dict(index=f[0], date=f[1], end_disk=f[2], end_pos=f[3], name=short_string(f[4], 100),
                 next=f[5], size=f[6], data_start=f[7], packed=f[8], start_disk=f[9], id=f[10],
                 version=short_string(f[11], 20))
        headers.append(h)
        pos = base + h["next"]
    return multi, headers


class Tool:
    def __init__(self, cmd, wine):
        self.cmd, self.wine = cmd, wine

    def path(self, p):  # a path as the program sees it
        p = os.path.abspath(p)
        return "Z:" + p.replace("/", "\\") if self.wine else p

    def local(self, stored):  # a stored member name back to a local path
        if self.wine and stored[:2].upper() == "Z:":
            stored = stored[2:]
        return stored.replace("\\", "/")

    def run(self, *args, expect=0):
        r = subprocess.run(self.cmd + [str(a) for a in args], capture_output=True, text=True)
        if r.returncode != expect:
            fail("qvarc %s exited %d\n%s%s" % (" ".join(map(str, args)), r.returncode, r.stdout, r.stderr))
        return r.stdout


def check_members(tool, data, headers, base=0, disks=None):
    for h in headers:
        if disks is None:
            if h["end_pos"] != h["data_start"] + h["packed"] - 1:
                fail("%s: EndPos does not follow DataStart and CompressedSize" % h["name"])
            stream = data[base + h["data_start"]: base + h["end_pos"] + 1]
        else:
            parts = []
            for d in range(h["start_disk"], h["end_disk"] + 1):
                start = h["data_start"] if d == h["start_disk"] else 0
                end = h["end_pos"] + 1 if d == h["end_disk"] else len(disks[d])
                parts.append(disks[d][start:end])
            stream = b"".join(parts)
        if len(stream) != h["packed"]:
            fail("%s: %d bytes of data, header says %d" % (h["name"], len(stream), h["packed"]))
        d = zlib.decompressobj()
        out = d.decompress(stream) + d.flush()
        if not d.eof or d.unused_data:
            fail("%s: not exactly one complete zlib stream" % h["name"])
        with open(tool.local(h["name"]), "rb") as f:
            if out != f.read() or len(out) != h["size"]:
                fail("%s: inflates to different bytes" % h["name"])


def main():
    argv = sys.argv[1:]
    sep = argv.index("--")
    opts, cmd = argv[:sep], argv[sep + 1:]
    work = opts[opts.index("--work") + 1]
    tool = Tool(cmd, "--wine" in opts)
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(work)
    rnd = random.Random(5)
    sources = {
        "empty.txt": b"",
        "text.txt": b"".join(b"line %d of the read-me\r\n" % i for i in range(20000)),
        "random.bin": bytes(rnd.getrandbits(8) for _ in range(150000)),
        "zeros.bin": bytes(100000),
        "mixed.bin": b"".join(bytes(rnd.getrandbits(8) for _ in range(3000)) + b"abc" * 1000 for _ in range(20)),
        # Four and a half deflate blocks of 256 KB, compressed two at a time:
        # an odd one at the end, and a 20,000-byte period that matches
        # across every block boundary.
        "long.bin": (bytes(rnd.getrandbits(8) for _ in range(20000)) * 60)[:1179648],
    }
    paths = []
    for name, content in sources.items():
        p = os.path.join(work, "src", name)
        os.makedirs(os.path.dirname(p), exist_ok=True)
        with open(p, "wb") as f:
            f.write(content)
        paths.append(tool.path(p))

    for level in ("none", "fastest", "default", "max"):
        arc = os.path.join(work, "files-%s.1" % level)
        tool.run("create", tool.path(arc), *paths, "--level", level, "--id", 42)
        with open(arc, "rb") as f:
            data = f.read()
        multi, headers = read_headers(data)
        if multi != 0 or len(headers) != len(paths):
            fail("%s: %d headers, flag %d" % (arc, len(headers), multi))
        if any(h["id"] != 42 or h["start_disk"] or h["end_disk"] for h in headers):
            fail("%s: id or disk fields wrong" % arc)
        if headers[-1]["next"] != len(data):
            fail("%s: the last NextHeader is not the end of the archive" % arc)
        check_members(tool, data, headers)
        print("ok level", level)

    # Disk set, from the archive at maximum compression.
    arc = os.path.join(work, "files-none.1")
    disk_dir = os.path.join(work, "disks")
    tool.run("split", tool.path(arc), tool.path(disk_dir), 65536)
    disks = {}
    n = 1
    while os.path.exists(os.path.join(disk_dir, "files.%d" % n)):
        with open(os.path.join(disk_dir, "files.%d" % n), "rb") as f:
            disks[n] = f.read()
        n += 1
    multi, headers = read_headers(disks[1])
    if multi != 1 or len(disks) < 3 or any(len(disks[i]) != 65536 for i in range(1, len(disks))):
        fail("disk set: flag %d, %d disks" % (multi, len(disks)))
    for i, h in enumerate(headers):
        if h["next"] != 5 + 172 * (i + 1):
            fail("disk set: header block not back to back")
    check_members(tool, None, headers, disks=disks)
    print("ok disk set of", len(disks))

    # Self-extracting file: loader, setup archive, files archive, trailer.
    loader = b"MZ" + bytes(4094)
    with open(os.path.join(work, "files-fastest.1"), "rb") as f:
        setup_arc = f.read()
    with open(os.path.join(work, "files-max.1"), "rb") as f:
        files_arc = f.read()
    setup_start = len(loader)
    files_start = setup_start + len(setup_arc)
    trailer = bytes([14]) + b"SELFEXTRACTING" + bytes(1) + struct.pack(
        "<iiii", setup_start, files_start - 1, files_start, files_start + len(files_arc) - 1) + bytes(24)
    assert len(trailer) == 56
    sfx = os.path.join(work, "setup.exe")
    with open(sfx, "wb") as f:
        f.write(loader + setup_arc + files_arc + trailer)
    tool.run("verify", tool.path(sfx))
    tool.run("verify", tool.path(sfx), "--setup-archive")
    out = os.path.join(work, "out")
    tool.run("extract", tool.path(sfx), tool.path(out))
    for name, content in sources.items():
        with open(os.path.join(out, name), "rb") as f:
            if f.read() != content:
                fail("self-extracting: %s differs" % name)
    print("ok self-extracting file")

    # Damage is reported, not passed over.
    bad = bytearray(files_arc)
    _, headers = read_headers(bytes(bad))
    h = headers[2]
    bad[h["data_start"] + 50: h["data_start"] + 80] = bytes(30)
    bad_path = os.path.join(work, "bad.1")
    with open(bad_path, "wb") as f:
        f.write(bad)
    tool.run("verify", tool.path(bad_path), expect=1)
    print("ok damaged member reported")
    shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()
