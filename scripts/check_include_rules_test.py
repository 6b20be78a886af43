"""The include checker refuses what would let the layering drift, and accepts the tree's own
patterns (run: python3 -m unittest scripts/check_include_rules_test.py)."""

import sys
import tempfile
import unittest
from pathlib import Path
from unittest import mock

sys.path.insert(0, str(Path(__file__).resolve().parent))

import check_include_rules as rules  # noqa: E402


class IncludeRulesTest(unittest.TestCase):
    def problems(self, path: str, text: str) -> list:
        with tempfile.TemporaryDirectory() as root:
            root = Path(root)
            for existing in ["core/installer.h", "product/product_actions.h",
                             "platform/text.h", "tests/support/temporary_folder.h",
                             "ui/wizard.h"]:
                (root / existing).parent.mkdir(parents=True, exist_ok=True)
                (root / existing).write_text("")
            (root / path).parent.mkdir(parents=True, exist_ok=True)
            (root / path).write_text(text)
            with mock.patch.object(rules, "ROOT", root):
                return rules.problems_of(path)

    def test_cases(self):
        cases = [
            # path, include line, expected fragment of the problem (None: accepted)
            ("core/a.cpp", '#include "platform/text.h"', None),
            ("core/a.cpp", '#include "product/product_actions.h"', "may not include product/"),
            ("product/a.cpp", '#include "ui/wizard.h"', "may not include ui/"),
            ("core/a.cpp", '#include "Core/installer.h"', "no such file as spelled"),
            ("core/a.cpp", '#include <Windows.h>', "Win32 headers"),
            ("core/a_win.cpp", '#include <windows.h>', None),
            ("ui/page.cpp", '#include <windows.h>', None),
            ("core/a.cpp", '#include <unistd.h>', "POSIX headers"),
            ("platform/a_posix.cpp", '#include <sys/stat.h>', None),
            ("core/a.cpp", '#include "tests/support/temporary_folder.h"', "for tests"),
            ("core/a_test.cpp", '#include "tests/support/temporary_folder.h"', None),
            ("core/a.cpp", '#include "generated_bytes.h"', None),
        ]
        for path, line, expected in cases:
            with self.subTest(path=path, line=line):
                found = self.problems(path, line + "\n")
                if expected is None:
                    self.assertEqual(found, [])
                else:
                    self.assertEqual(len(found), 1, found)
                    self.assertIn(expected, found[0])


if __name__ == "__main__":
    unittest.main()
