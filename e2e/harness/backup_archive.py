"""The backup archives Setup writes into an installation's "!Backup\\" folder, checked with
Python's own ZIP reader: the archive's name, and every entry's name, flags, method and bytes.
"""

import re
import zipfile
from datetime import datetime, timedelta
from pathlib import Path

UTF8_NAMES = 0x800  # general purpose flag bit 11: the name is UTF-8
DEFLATE = 8

ARCHIVE_NAME = re.compile(
    r"z Before install (?P<version>.+) \[(?P<stamp>\d{4}\.\d{2}\.\d{2} \d{2}-\d{2}-\d{2})\]\.zip")


def archive_time(name: str, version: str):
    """The local date and time in an archive's name, or None when the name is not that of an
    archive made before installing `version`."""
    match = ARCHIVE_NAME.fullmatch(name)
    if match is None or match.group("version") != version:
        return None
    return datetime.strptime(match.group("stamp"), "%Y.%m.%d %H-%M-%S")


def archives(backup_folder: Path):
    return sorted(p.name for p in backup_folder.glob("*.zip")) if backup_folder.is_dir() else []


def find_new_archive(backup_folder: Path, version: str, started: datetime, ended: datetime):
    """The one archive named for `version` with a time between `started` and `ended` (whole
    seconds, both ends included)."""
    low = started.replace(microsecond=0) - timedelta(seconds=1)
    high = ended + timedelta(seconds=1)
    found = [name for name in archives(backup_folder)
             if (stamp := archive_time(name, version)) is not None and low <= stamp <= high]
    assert len(found) == 1, \
        f"expected one archive for {version} made between {started} and {ended}, " \
        f"found {found} among {archives(backup_folder)}"
    return backup_folder / found[0]


def archive_name(windows_relative: str) -> str:
    """A path relative to the archive's root as the ZIP format stores it: forward slashes."""
    return windows_relative.replace("\\", "/")


def check_archive(path: Path, expected: dict):
    """`expected` is {Windows-style relative name: bytes}. Every entry must be one of them with
    those bytes, Deflate-compressed and flagged as a UTF-8 name, and every one must be there."""
    wanted = {archive_name(name): content for name, content in expected.items()}
    with zipfile.ZipFile(path) as archive:
        assert archive.testzip() is None, f"{path.name}: an entry fails its CRC"
        infos = archive.infolist()
        names = [info.filename for info in infos]
        assert len(names) == len(set(names)), f"{path.name}: names stored twice: {names}"
        extra = sorted(set(names) - set(wanted))
        missing = sorted(set(wanted) - set(names))
        assert not extra and not missing, \
            f"{path.name}: entries not expected {extra}, expected entries missing {missing}"
        problems = []
        for info in infos:
            if not info.flag_bits & UTF8_NAMES:
                problems.append(f"{info.filename}: UTF-8 flag not set")
            if info.compress_type != DEFLATE:
                problems.append(f"{info.filename}: method {info.compress_type}, not Deflate")
            if archive.read(info) != wanted[info.filename]:
                problems.append(f"{info.filename}: content differs")
        assert not problems, f"{path.name}: " + "; ".join(problems)
