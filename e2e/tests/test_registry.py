"""The registry-file reader against text written the way Wine writes it."""

import unittest

from e2e.harness.registry import REG_BINARY, ExpandString, Hive, HexValue

SAMPLE = r'''WINE REGISTRY Version 2
;; All keys relative to \\Machine

#arch=win64

[Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\ZELO] 1733800000
#time=1db4a1c2d3e4f50
@="default"
"DisplayName"="ZELO"
"Publisher"="Caf\x00e9 \x20ac \x65e5\x672c"
"Quoted"="say \"hi\" C:\\Path\\"
"DisplayIcon"=str(2):"%ProgramFiles%\\ZELO\\ZELO.exe"
"Both"=str(7):"one\0two\0"
"EstimatedSize"=dword:0000abcd
"Blob"=hex:01,02,ff,\
  10,20

[Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Other] 1733800000
"DisplayName"="Other"
'''


class HiveTest(unittest.TestCase):
    def setUp(self):
        self.hive = Hive(SAMPLE)
        self.key = r"Software\Microsoft\Windows\CurrentVersion\Uninstall\ZELO"

    def test_values_of_every_type(self):
        values = self.hive.values(self.key)
        self.assertEqual(values[""], "default")
        self.assertEqual(values["DisplayName"], "ZELO")
        self.assertEqual(values["Publisher"], "Caf\u00e9 \u20ac \u65e5\u672c")
        self.assertEqual(values["Quoted"], 'say "hi" C:\\Path\\')
        self.assertIsInstance(values["DisplayIcon"], ExpandString)
        self.assertEqual(values["DisplayIcon"], "%ProgramFiles%\\ZELO\\ZELO.exe")
        self.assertEqual(values["Both"], ["one", "two"])
        self.assertEqual(values["EstimatedSize"], 0xABCD)
        self.assertEqual(values["Blob"], HexValue(REG_BINARY, bytes([1, 2, 0xFF, 0x10, 0x20])))

    def test_lookups_ignore_case_and_keep_file_order(self):
        self.assertEqual(self.hive.value(self.key.upper(), "displayname"), "ZELO")
        self.assertEqual(list(self.hive.values(self.key))[:3], ["", "DisplayName", "Publisher"])
        self.assertIsNone(self.hive.value(self.key, "Missing"))

    def test_keys_and_subkeys(self):
        uninstall = r"Software\Microsoft\Windows\CurrentVersion\Uninstall"
        self.assertEqual(self.hive.subkeys(uninstall), ["Other", "ZELO"])
        self.assertTrue(self.hive.has_key(uninstall + r"\other"))
        self.assertFalse(self.hive.has_key(uninstall + r"\Missing"))


if __name__ == "__main__":
    unittest.main()
