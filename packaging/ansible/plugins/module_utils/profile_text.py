# -*- coding: utf-8 -*-
# The one edit these modules make to a profile: leaving its deviceno out,
# so that scanners chosen one by one keep their own device numbers as
# `zrctl --all` lets every scanner keep its own.

import os
import re
import tempfile

DEVICENO = b"deviceno"
# zrctl reads at most this much of a profile; a bigger file is left to
# zrctl to refuse.
LARGEST = 1024 * 1024
ESCAPE = re.compile(rb"\\(\\|x[0-9A-Fa-f]{2})")
LINE = re.compile(rb"([^\r\n]*)(\r\n|\r|\n|$)")


def _key(line):
    """The key of a setting line, escapes undone; None for a comment, a
    blank line or a line without '='."""
    stripped = line.lstrip(b" \t")
    if not stripped or stripped.startswith(b"#") or b"=" not in line:
        return None
    raw = line.split(b"=", 1)[0]
    return ESCAPE.sub(lambda m: b"\\" if m.group(1) == b"\\" else bytes([int(m.group(1)[1:], 16)]),
                      raw)


def without_deviceno(text):
    """The profile text with each deviceno line turned into a comment, so
    that the lines keep their numbers in zrctl's messages. None when the
    text names no deviceno."""
    bom = b"\xef\xbb\xbf" if text.startswith(b"\xef\xbb\xbf") else b""
    body = text[len(bom):]
    out = []
    found = False
    for match in LINE.finditer(body):
        line, end = match.group(1), match.group(2)
        if not line and not end:
            break
        if _key(line) == DEVICENO:
            line = b"# deviceno left out: each scanner keeps its own"
            found = True
        out.append(line + end)
    return bom + b"".join(out) if found else None


def copy_without_deviceno(path, folder):
    """The name of a private copy of the profile at `path` without its
    deviceno, or None when the profile itself can go to zrctl (it names no
    deviceno, or zrctl is better placed to say why it cannot be read)."""
    try:
        if not os.path.isfile(path) or os.path.getsize(path) > LARGEST:
            return None
        with open(path, "rb") as source:
            text = source.read(LARGEST + 1)
    except OSError:
        return None
    copy = without_deviceno(text)
    if copy is None:
        return None
    # mkstemp makes the file readable by its owner only: a profile may hold
    # the Wi-Fi password.
    handle, name = tempfile.mkstemp(prefix="profile-", dir=folder)
    with os.fdopen(handle, "wb") as target:
        target.write(copy)
    return name
