"""The backup-archive checks accept an archive written as Setup must write it and point at each
way one can be wrong."""

import shutil
import tempfile
import unittest
import zipfile
from datetime import datetime
from pathlib import Path

from e2e.harness import backup_archive

EXPECTED = {"Program\\ZELO.exe": b"MZ player", "Profiles\\root\\Playlists\\Любимое.m3u8": b"#"}


class Utf8NamedInfo(zipfile.ZipInfo):
    """Python flags only non-ASCII names as UTF-8; Setup flags every name."""

    def _encodeFilenameFlags(self):
        return self.filename.encode("utf-8"), self.flag_bits | backup_archive.UTF8_NAMES


def write_archive(path: Path, entries, utf8=True, method=zipfile.ZIP_DEFLATED):
    with zipfile.ZipFile(path, "w") as archive:
        for name, content in entries.items():
            info_class = Utf8NamedInfo if utf8 else zipfile.ZipInfo
            info = info_class(name, date_time=(2024, 3, 5, 14, 7, 9))
            info.compress_type = method
            archive.writestr(info, content)


class BackupArchiveTest(unittest.TestCase):
    def setUp(self):
        self.folder = Path(tempfile.mkdtemp())
        self.addCleanup(shutil.rmtree, self.folder)

    def test_archive_names(self):
        cases = [
            ("z Before install 5.00 [2024.03.05 14-07-09].zip", datetime(2024, 3, 5, 14, 7, 9)),
            ("z Before install 4.51 [2024.03.05 14-07-09].zip", None),  # another version
            ("z Before install 5.00 [2024.03.05 14:07:09].zip", None),
            ("z Before install 5.00 [2024.3.5 14-07-09].zip", None),
            ("Before install 5.00 [2024.03.05 14-07-09].zip", None),
        ]
        for name, stamp in cases:
            with self.subTest(name):
                self.assertEqual(backup_archive.archive_time(name, "5.00"), stamp)

    def test_new_archive_is_the_one_made_during_the_run(self):
        for name in ("z Before install 5.00 [2024.03.05 14-07-09].zip",
                     "z Before install 5.00 [2021.01.01 10-00-00].zip"):
            (self.folder / name).write_bytes(b"")
        found = backup_archive.find_new_archive(self.folder, "5.00",
                                                datetime(2024, 3, 5, 14, 7, 8, 500000),
                                                datetime(2024, 3, 5, 14, 7, 12))
        self.assertEqual(found.name, "z Before install 5.00 [2024.03.05 14-07-09].zip")
        with self.assertRaises(AssertionError):
            backup_archive.find_new_archive(self.folder, "5.00", datetime(2024, 3, 6),
                                            datetime(2024, 3, 7))

    def test_archive_contents(self):
        as_stored = {backup_archive.archive_name(k): v for k, v in EXPECTED.items()}
        backslashed = {k: v for k, v in EXPECTED.items()}
        cases = [
            ("as Setup must write it", as_stored, {}, True),
            ("backslashes in names", backslashed, {}, False),
            ("ASCII names not flagged UTF-8", as_stored, {"utf8": False}, False),
            ("stored, not compressed", as_stored, {"method": zipfile.ZIP_STORED}, False),
            ("a file missing", dict(list(as_stored.items())[:1]), {}, False),
            ("a cache file too", {**as_stored, "Profiles/root/AlbumArts.db": b""}, {}, False),
            ("other bytes", {**as_stored, "Program/ZELO.exe": b"MZ other"}, {}, False),
        ]
        for label, entries, options, good in cases:
            with self.subTest(label):
                path = self.folder / "a.zip"
                write_archive(path, entries, **options)
                if good:
                    backup_archive.check_archive(path, EXPECTED)
                else:
                    with self.assertRaises(AssertionError):
                        backup_archive.check_archive(path, EXPECTED)


if __name__ == "__main__":
    unittest.main()
