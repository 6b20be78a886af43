"""The log a run writes with /LOG, read the way an administrator reads it: line by line, each
line a time stamp and an entry of a known kind."""

import re
from pathlib import Path

STAMP = re.compile(r"^\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{3}  ")
STAMP_WIDTH = 25

# Every entry the program writes starts like one of these.
KINDS = re.compile(
    r"^(Started: |Command line: |Mode: |Destination: |Product: |Installed version found: |"
    r"Language |Language: |Starting an elevated copy|The request for administrator rights|"
    r"Action (started|ended|failed): |File (written|copied|moved|deleted): |"
    r"Folder (created|removed): |Scheduled for (deletion|replacement) at restart: |"
    r"Registry (key created|value written|value deleted|key deleted): |Process started: |"
    r"In use, replaced at the next restart: |Not asked |Error( \d+)?: |Exit code: )")


def read_entries(path: Path):
    """The entries of a log: the text after each stamp, with continuation lines joined by
    line breaks. Fails on a line that is neither."""
    data = path.read_bytes()
    assert data.startswith(b"\xef\xbb\xbf"), "the log does not start with a UTF-8 byte order mark"
    text = data[3:].decode("utf-8")
    assert text.endswith("\r\n"), "the log's last line is not complete"
    entries = []
    for line in text[:-2].split("\r\n"):
        if STAMP.match(line):
            entries.append(line[STAMP_WIDTH:])
        else:
            assert line.startswith(" " * STAMP_WIDTH) and entries, f"a line without a stamp: {line!r}"
            entries[-1] += "\n" + line[STAMP_WIDTH:]
    for entry in entries:
        assert KINDS.match(entry), f"an entry of no known kind: {entry!r}"
    return entries


def assert_in_order(entries, expected):
    """Each expected entry (a string for an exact entry, a compiled pattern for a match) occurs,
    in this order, among the entries."""
    position = 0
    for wanted in expected:
        while position < len(entries):
            entry = entries[position]
            position += 1
            if (wanted.fullmatch(entry) if hasattr(wanted, "fullmatch") else entry == wanted):
                break
        else:
            shown = "\n  ".join(entries)
            raise AssertionError(f"the log lacks {wanted!r} (in order) among:\n  {shown}")
