"""Reads and writes IPK5 setup packages from Python, independently of the program's own code:
the tests use it to look inside Uninstall.dat and to make fuzzing seeds.

Container: b"IPK5", CRC32 (polynomial 0x04C11DB7, most significant bit first, initial value 0,
no final XOR) of the payload, the payload's size, then the body: RC4 (key: the 4 bytes of the
seed, least significant first) over an LZMA1 stream (5 properties bytes, then raw data). The
payload is the files' bytes, the table (count; per entry UTF-16 name length, name, offset,
size) and the table's length.
"""

import lzma
import struct

PACKAGE_KEY_SEED = 0x5EC7A11D


def _crc32_table():
    table = []
    for n in range(256):
        remainder = n << 24
        for _ in range(8):
            remainder = ((remainder << 1) ^ 0x04C11DB7) if remainder & 0x80000000 else remainder << 1
            remainder &= 0xFFFFFFFF
        table.append(remainder)
    return table


_CRC32_TABLE = _crc32_table()


def crc32(data: bytes) -> int:
    value = 0
    for byte in data:
        value = ((value << 8) & 0xFFFFFFFF) ^ _CRC32_TABLE[(value >> 24) ^ byte]
    return value


def rc4(key: bytes, data: bytes) -> bytes:
    s = list(range(256))
    j = 0
    for i in range(256):
        j = (j + s[i] + key[i % len(key)]) & 0xFF
        s[i], s[j] = s[j], s[i]
    out = bytearray(len(data))
    i = j = 0
    for n, byte in enumerate(data):
        i = (i + 1) & 0xFF
        j = (j + s[i]) & 0xFF
        s[i], s[j] = s[j], s[i]
        out[n] = byte ^ s[(s[i] + s[j]) & 0xFF]
    return bytes(out)


def package_key(seed: int = PACKAGE_KEY_SEED) -> bytes:
    return struct.pack("<I", seed)


def build(files, seed: int = PACKAGE_KEY_SEED, preset: int = 6) -> bytes:
    """files: a list of (name, bytes) in table order."""
    payload = bytearray()
    table = bytearray(struct.pack("<i", len(files)))
    for name, content in files:
        encoded = name.encode("utf-16-le")
        table += struct.pack("<H", len(encoded) // 2) + encoded
        table += struct.pack("<qq", len(payload), len(content))
        payload += content
    payload += table + struct.pack("<i", len(table))
    lc, lp, pb, dict_size = 3, 0, 2, 1 << 20
    raw = lzma.compress(bytes(payload), format=lzma.FORMAT_RAW, filters=[
        {"id": lzma.FILTER_LZMA1, "preset": preset, "lc": lc, "lp": lp, "pb": pb,
         "dict_size": dict_size}])
    body = bytes([(pb * 5 + lp) * 9 + lc]) + struct.pack("<I", dict_size) + raw
    header = b"IPK5" + struct.pack("<II", crc32(payload), len(payload))
    return header + rc4(package_key(seed), body)


def read(package: bytes, seed: int = PACKAGE_KEY_SEED):
    """Returns the files as a list of (name, bytes) in table order; raises ValueError when the
    package is damaged."""
    if package[:4] != b"IPK5":
        raise ValueError("not an IPK5 package")
    checksum, size = struct.unpack_from("<II", package, 4)
    body = rc4(package_key(seed), package[12:])
    properties = body[0]
    dict_size = struct.unpack_from("<I", body, 1)[0]
    decoder = lzma.LZMADecompressor(format=lzma.FORMAT_RAW, filters=[
        {"id": lzma.FILTER_LZMA1, "lc": properties % 9, "lp": properties // 9 % 5,
         "pb": properties // 45, "dict_size": max(dict_size, 4096)}])
    payload = decoder.decompress(body[5:], max_length=size)
    if len(payload) != size or crc32(payload) != checksum:
        raise ValueError("the package is damaged")
    table_length = struct.unpack_from("<i", payload, size - 4)[0]
    position = size - 4 - table_length
    count = struct.unpack_from("<i", payload, position)[0]
    position += 4
    files = []
    for _ in range(count):
        length = struct.unpack_from("<H", payload, position)[0]
        position += 2
        name = payload[position:position + 2 * length].decode("utf-16-le")
        position += 2 * length
        offset, file_size = struct.unpack_from("<qq", payload, position)
        position += 16
        files.append((name, payload[offset:offset + file_size]))
    return files


def pack_folder(folder) -> bytes:
    """Every file below Folder, named by its path relative to it with backslashes, in the order
    the maker's tool uses: ASCII letters folded, then the name itself."""
    from pathlib import Path
    root = Path(folder)
    names = [p.relative_to(root).as_posix().replace("/", "\\") for p in root.rglob("*")
             if p.is_file()]
    names.sort(key=lambda name: (name.upper(), name))
    return build([(name, (root / name.replace("\\", "/")).read_bytes()) for name in names])


if __name__ == "__main__":
    import sys
    from pathlib import Path
    if len(sys.argv) != 4 or sys.argv[1] != "pack":
        sys.exit("usage: ipk5.py pack <folder> <package>")
    Path(sys.argv[3]).write_bytes(pack_folder(sys.argv[2]))
