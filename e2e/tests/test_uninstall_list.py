"""Rewriting the uninstaller's list keeps the rest of Uninstall.ini and reads back."""

import shutil
import tempfile
import unittest
from pathlib import Path

from e2e.harness import ini, ipk5, uninstall_list

ORIGINAL = ("[Integration]\r\nShortcutDesktop=0\r\n\r\n[Uninstall]\r\n0=ZELO.exe\r\nCount=3\r\n"
            "1=Uninstall.dat\r\n2=Uninstall.exe\r\n\r\n")


class UninstallListTest(unittest.TestCase):
    def test_round_trip_keeps_other_sections(self):
        folder = Path(tempfile.mkdtemp())
        self.addCleanup(shutil.rmtree, folder)
        data_file = folder / "Uninstall.dat"
        data_file.write_bytes(ipk5.build([("Uninstall.ini",
                                           b"\xff\xfe" + ORIGINAL.encode("utf-16-le"))]))
        self.assertEqual(uninstall_list.read_list(data_file),
                         ["ZELO.exe", "Uninstall.dat", "Uninstall.exe"])
        hostile = ["..\\..\\x", "C:\\windows\\win.ini", "Путь\\файл.txt"]
        uninstall_list.write_list(data_file, hostile)
        self.assertEqual(uninstall_list.read_list(data_file), hostile)
        text = dict(ipk5.read(data_file.read_bytes()))["Uninstall.ini"]
        self.assertEqual(ini.sections(text)["Integration"], [("ShortcutDesktop", "0")])


if __name__ == "__main__":
    unittest.main()
