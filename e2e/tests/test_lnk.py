"""The shell-link reader against links put together here byte by byte, the way Windows and Wine
write them."""

import struct
import unittest

from e2e.harness import lnk


def link_info(path: str, unicode_path: bool) -> bytes:
    header_size = 0x24 if unicode_path else 0x1C
    volume = struct.pack("<IIII", 16, 3, 0x1234, 16)  # size, fixed drive, serial, label offset
    local = path.encode("cp1252", errors="replace") + b"\0"
    body = volume + local + b"\0"  # the ANSI path, then an empty common path suffix
    local_offset = header_size + len(volume)
    suffix_offset = local_offset + len(local)
    fields = [header_size, lnk.VOLUME_ID_AND_LOCAL_BASE_PATH, header_size, local_offset, 0,
              suffix_offset]
    if unicode_path:
        unicode_local = header_size + len(body)
        body += path.encode("utf-16-le") + b"\0\0"
        fields += [unicode_local, 0]
    size = 4 + 4 * len(fields) + len(body)
    return struct.pack("<I", size) + struct.pack(f"<{len(fields)}I", *fields) + body


def string_data(text: str, with_zero: bool) -> bytes:
    encoded = text.encode("utf-16-le") + (b"\0\0" if with_zero else b"")
    return struct.pack("<H", len(encoded) // 2) + encoded


def shell_link(target: str, *, unicode_path=True, id_list=b"\x02\0\0\0", arguments=None,
               working_dir=None, with_zero=True) -> bytes:
    flags = lnk.HAS_LINK_INFO | lnk.IS_UNICODE
    tail = b""
    if id_list is not None:
        flags |= lnk.HAS_TARGET_ID_LIST
    if working_dir is not None:
        flags |= lnk.HAS_WORKING_DIR
        tail += string_data(working_dir, with_zero)
    if arguments is not None:
        flags |= lnk.HAS_ARGUMENTS
        tail += string_data(arguments, with_zero)
    header = struct.pack("<I", lnk.HEADER_SIZE) + lnk.LINK_CLSID + struct.pack("<II", flags, 0x20)
    header += b"\0" * (lnk.HEADER_SIZE - len(header))
    ids = struct.pack("<H", len(id_list)) + id_list if id_list is not None else b""
    return header + ids + link_info(target, unicode_path) + tail


class ShellLinkTest(unittest.TestCase):
    def test_target_from_the_link_info(self):
        cases = [
            ("unicode path, id list", dict(), "C:\\Apps\\ZELO\\ZELO.exe"),
            ("ANSI path only", dict(unicode_path=False), "C:\\Apps\\ZELO\\ZELO.exe"),
            ("no id list", dict(id_list=None), "C:\\Apps\\ZELO\\ZELO.exe"),
            ("non-ASCII target", dict(), "C:\\Программы\\ZELO\\ZELO.exe"),
        ]
        for label, options, target in cases:
            with self.subTest(label):
                self.assertEqual(lnk.parse(shell_link(target, **options)).target, target)

    def test_strings_with_and_without_the_counted_zero(self):
        for with_zero in (True, False):
            with self.subTest(with_zero=with_zero):
                link = lnk.parse(shell_link("C:\\a.exe", arguments="/play \"x y\"",
                                            working_dir="C:\\", with_zero=with_zero))
                self.assertEqual((link.working_dir, link.arguments), ("C:\\", "/play \"x y\""))

    def test_rejects_what_is_not_a_link(self):
        good = shell_link("C:\\a.exe", arguments="x")
        cases = [("empty", b""), ("another file", b"MZ" + b"\0" * 100),
                 ("cut in the string data", good[:-3]),
                 ("cut in the link info", good[:lnk.HEADER_SIZE + 10])]
        for label, data in cases:
            with self.subTest(label), self.assertRaises(ValueError):
                lnk.parse(data)


if __name__ == "__main__":
    unittest.main()
