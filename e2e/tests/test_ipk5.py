"""The Python package codec against its own round trip and the published check values."""

import unittest

from e2e.harness import ipk5


class Ipk5Test(unittest.TestCase):
    def test_crc32_check_values(self):
        self.assertEqual(ipk5.crc32(b"123456789"), 0x89A1897F)
        self.assertEqual(ipk5.crc32(b"abc"), 0x2C17398C)

    def test_rc4_known_vector(self):
        self.assertEqual(ipk5.rc4(b"Key", b"Plaintext").hex(), "bbf316e8d940af0ad3")

    def test_round_trip(self):
        files = [("Install.xml", b"<Install/>"), ("Empty", b""), ("Langs\\Русский.lng", b"x" * 5000)]
        self.assertEqual(ipk5.read(ipk5.build(files)), files)

    def test_damage_is_detected(self):
        package = bytearray(ipk5.build([("a", b"abc" * 100)]))
        package[len(package) // 2] ^= 0x55
        with self.assertRaises(Exception):
            ipk5.read(bytes(package))


if __name__ == "__main__":
    unittest.main()
