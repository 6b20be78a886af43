"""Reads a shell link (.lnk) file far enough to tell where it points: the header, the item id
list (skipped), the link info's local base path and the string data (relative path, working
folder, arguments, icon). Windows writes these through its shell; Wine writes the same format,
with string counts that include the terminating zero.
"""

import struct
from dataclasses import dataclass
from pathlib import Path

HEADER_SIZE = 0x4C
LINK_CLSID = bytes.fromhex("0114020000000000c000000000000046")

HAS_TARGET_ID_LIST = 0x01
HAS_LINK_INFO = 0x02
HAS_NAME = 0x04
HAS_RELATIVE_PATH = 0x08
HAS_WORKING_DIR = 0x10
HAS_ARGUMENTS = 0x20
HAS_ICON_LOCATION = 0x40
IS_UNICODE = 0x80

VOLUME_ID_AND_LOCAL_BASE_PATH = 0x01


@dataclass
class ShellLink:
    local_base_path: str = ""  # from the link info: the target's full path, when it has one
    name: str = ""
    relative_path: str = ""
    working_dir: str = ""
    arguments: str = ""
    icon_location: str = ""

    @property
    def target(self) -> str:
        return self.local_base_path or self.relative_path


def _ansi_z(data: bytes, offset: int) -> str:
    end = data.index(b"\0", offset)
    return data[offset:end].decode("cp1252")


def _unicode_z(data: bytes, offset: int) -> str:
    end = offset
    while data[end:end + 2] != b"\0\0":
        if end + 2 > len(data):
            raise ValueError("a path without its terminating zero")
        end += 2
    return data[offset:end].decode("utf-16-le")


def _link_info_path(info: bytes) -> str:
    header_size, flags = struct.unpack_from("<II", info, 4)
    if not flags & VOLUME_ID_AND_LOCAL_BASE_PATH:
        return ""
    local_offset, _, suffix_offset = struct.unpack_from("<III", info, 16)
    if header_size >= 0x24:
        unicode_local, unicode_suffix = struct.unpack_from("<II", info, 28)
        if unicode_local:
            suffix = _unicode_z(info, unicode_suffix) if unicode_suffix else ""
            return _unicode_z(info, unicode_local) + suffix
    return _ansi_z(info, local_offset) + (_ansi_z(info, suffix_offset) if suffix_offset else "")


def parse(data: bytes) -> ShellLink:
    """Raises ValueError for anything that is not a shell link."""
    if len(data) < HEADER_SIZE or struct.unpack_from("<I", data, 0)[0] != HEADER_SIZE \
            or data[4:20] != LINK_CLSID:
        raise ValueError("not a shell link")
    flags = struct.unpack_from("<I", data, 20)[0]
    position = HEADER_SIZE
    try:
        if flags & HAS_TARGET_ID_LIST:
            position += 2 + struct.unpack_from("<H", data, position)[0]
        link = ShellLink()
        if flags & HAS_LINK_INFO:
            size = struct.unpack_from("<I", data, position)[0]
            link.local_base_path = _link_info_path(data[position:position + size])
            position += size
        unicode = bool(flags & IS_UNICODE)
        for flag, field in ((HAS_NAME, "name"), (HAS_RELATIVE_PATH, "relative_path"),
                            (HAS_WORKING_DIR, "working_dir"), (HAS_ARGUMENTS, "arguments"),
                            (HAS_ICON_LOCATION, "icon_location")):
            if not flags & flag:
                continue
            count = struct.unpack_from("<H", data, position)[0]
            position += 2
            size = count * 2 if unicode else count
            raw = data[position:position + size]
            if len(raw) != size:
                raise ValueError("the string data runs past the end")
            position += size
            text = raw.decode("utf-16-le" if unicode else "cp1252")
            setattr(link, field, text.rstrip("\0"))
        return link
    except (struct.error, IndexError) as error:
        raise ValueError(f"a damaged shell link: {error}") from error


def read(path: Path) -> ShellLink:
    return parse(Path(path).read_bytes())
