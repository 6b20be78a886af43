"""Reads the registry of a Wine prefix from its files (system.reg is HKEY_LOCAL_MACHINE,
user.reg is HKEY_CURRENT_USER). Wine writes them when its server stops, so stop it first.

Value types: REG_SZ as str, REG_EXPAND_SZ as ExpandString, REG_MULTI_SZ as a list of str,
REG_DWORD as int, anything else as bytes tagged with its type number (HexValue).
"""

import re
from dataclasses import dataclass
from pathlib import Path


class ExpandString(str):
    """A REG_EXPAND_SZ value."""


@dataclass
class HexValue:
    type: int
    data: bytes


REG_SZ, REG_EXPAND_SZ, REG_BINARY, REG_DWORD, REG_MULTI_SZ = 1, 2, 3, 4, 7

_C_ESCAPES = {"a": "\a", "b": "\b", "t": "\t", "n": "\n", "v": "\v", "f": "\f", "r": "\r",
              "e": "\x1b", "0": "\0"}


def parse_string(text: str, start: int):
    """Parses a quoted string in Wine's escaping from text[start] (the opening quote).
    Returns (value, index after the closing quote)."""
    assert text[start] == '"'
    out = []
    i = start + 1
    while i < len(text):
        c = text[i]
        if c == '"':
            return "".join(out), i + 1
        if c != "\\":
            out.append(c)
            i += 1
            continue
        i += 1
        e = text[i]
        if e == "x":
            digits = re.match(r"[0-9a-fA-F]{1,4}", text[i + 1:])
            out.append(chr(int(digits.group(0), 16)))
            i += 1 + len(digits.group(0))
        elif e in "01234567":
            digits = re.match(r"[0-7]{1,3}", text[i:])
            out.append(chr(int(digits.group(0), 8)))
            i += len(digits.group(0))
        else:
            out.append(_C_ESCAPES.get(e, e))
            i += 1
    raise ValueError("unterminated string")


def _parse_hex(data: str) -> bytes:
    data = data.replace("\\", "").replace(" ", "").replace("\n", "")
    return bytes(int(b, 16) for b in data.split(",") if b)


def _parse_value(data: str):
    if data.startswith('"'):
        return parse_string(data, 0)[0]
    if data.startswith("str(2):"):
        return ExpandString(parse_string(data, 7)[0])
    if data.startswith("str(7):"):
        items = parse_string(data, 7)[0].split("\0")
        while items and items[-1] == "":
            items.pop()
        return items
    if data.startswith("dword:"):
        return int(data[6:14], 16)
    match = re.match(r"hex(?:\(([0-9a-fA-F]+)\))?:(.*)", data, re.S)
    if match:
        value_type = int(match.group(1), 16) if match.group(1) else REG_BINARY
        return HexValue(value_type, _parse_hex(match.group(2)))
    raise ValueError("unknown value format: " + data[:40])


class Hive:
    """The keys of one registry file, addressed case-insensitively by their path."""

    def __init__(self, text: str):
        self._keys = {}  # lower-case path -> (path, {lower-case name: (name, value)})
        current = None
        lines = text.splitlines()
        i = 0
        while i < len(lines):
            line = lines[i]
            i += 1
            # Binary values continue on the next line after a trailing backslash.
            if "=hex" in line:
                while line.endswith("\\") and i < len(lines):
                    line = line[:-1] + lines[i].strip()
                    i += 1
            if line.startswith("["):
                name, _ = parse_string('"' + line[1:line.rindex("]")].replace('"', '\\"') + '"', 0)
                current = self._keys.setdefault(name.lower(), (name, {}))[1]
                continue
            if current is None or not line or line[0] in ";#":
                continue
            if line.startswith("@="):
                name, rest = "", line[2:]
            elif line.startswith('"'):
                name, after = parse_string(line, 0)
                rest = line[after + 1:]
            else:
                continue
            current[name.lower()] = (name, _parse_value(rest))

    def has_key(self, path: str) -> bool:
        return path.lower() in self._keys

    def values(self, path: str) -> dict:
        """A key's values by name, in file order; empty when the key does not exist."""
        entry = self._keys.get(path.lower())
        return {name: value for name, value in entry[1].values()} if entry else {}

    def value(self, path: str, name: str):
        entry = self._keys.get(path.lower())
        if entry is None or name.lower() not in entry[1]:
            return None
        return entry[1][name.lower()][1]

    def keys(self):
        """Every key's path, as the file spells it."""
        return [original for original, _ in self._keys.values()]

    def subkeys(self, path: str):
        prefix = path.lower() + "\\"
        names = set()
        for key, (original, _) in self._keys.items():
            if key.startswith(prefix):
                names.add(original[len(prefix):].split("\\")[0])
        return sorted(names, key=str.lower)


class Registry:
    """HKLM and HKCU of a prefix. Paths are written as "HKLM\\Software\\..."."""

    def __init__(self, prefix_path: Path):
        self._hives = {
            "HKLM": Hive((prefix_path / "system.reg").read_text(encoding="utf-8",
                                                               errors="replace")),
            "HKCU": Hive((prefix_path / "user.reg").read_text(encoding="utf-8",
                                                             errors="replace")),
        }

    def _split(self, path: str):
        root, _, rest = path.partition("\\")
        aliases = {"HKEY_LOCAL_MACHINE": "HKLM", "HKEY_CURRENT_USER": "HKCU"}
        return self._hives[aliases.get(root.upper(), root.upper())], rest

    def has_key(self, path: str) -> bool:
        hive, rest = self._split(path)
        return hive.has_key(rest)

    def values(self, path: str) -> dict:
        hive, rest = self._split(path)
        return hive.values(rest)

    def value(self, path: str, name: str):
        hive, rest = self._split(path)
        return hive.value(rest, name)

    def subkeys(self, path: str):
        hive, rest = self._split(path)
        return hive.subkeys(rest)

    def keys(self, root: str):
        """Every key of a root ("HKLM" or "HKCU") as "ROOT\\path"."""
        hive, _ = self._split(root)
        return [root + "\\" + key for key in hive.keys()]
