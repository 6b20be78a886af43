"""Reads INI text the way the installer writes it (UTF-16LE with a byte order mark, or UTF-8)."""


def decode(data: bytes) -> str:
    if data.startswith(b"\xff\xfe"):
        return data[2:].decode("utf-16-le")
    if data.startswith(b"\xef\xbb\xbf"):
        return data[3:].decode("utf-8")
    return data.decode("cp1252")


def sections(data: bytes):
    """{section name: [(key, value) in line order]}; lines without "=" are kept with key None."""
    result = {}
    current = None
    for line in decode(data).splitlines():
        if not line:
            continue
        if line.startswith("["):
            current = result.setdefault(line[1:-1], [])
        elif current is not None:
            key, separator, value = line.partition("=")
            current.append((key, value) if separator else (None, line))
    return result
