"""The summary of winedbg's "bt all" that a failed scenario prints: the programs under test kept,
Wine's own services left out, frames with and without symbols shortened."""

import unittest

from e2e.harness.wine import summarize_backtraces

# Cut from a real "bt all" of a prefix, the long argument lists shortened.
BACKTRACES = r"""0x000001700555f5 ntdll+0x555f5: ret

Backtracing for thread 003c in process 0038 (C:\windows\system32\services.exe):
Backtrace:
=>0 0x0000017000ebe4 in ntdll (+0xebe4) (0x000000fffffff4)
  1 0x0000007b075550 WaitForMultipleObjectsEx+0xc8(count=0x1, handles=000000000021FC80, wait_all=0) [Z:\dlls\kernelbase\sync.c:343] in kernelbase (0x000000fffffff4)

Backtracing for thread 0024 in process 0020 (C:\users\root\Downloads\setup.exe):
Backtrace:
=>0 0x0000017000ebe4 in ntdll (+0xebe4) (0x000000fffffff4)
  1 0x0000007b075550 WaitForMultipleObjectsEx+0xc8(count=0x2, handles=0000000001A9FB20, wait_all=0) [Z:\dlls\kernelbase\sync.c:343] in kernelbase (0x000000fffffff4)
  2 0x0000014002efbb in setup (+0x2efbb) (0000000000000000)
  3 0x0000007b627e49 BaseThreadInitThunk+0x9(unknown=<internal error>) [Z:\dlls\kernel32\thread.c:61] in kernel32 (0000000000000000)

Backtracing for thread 00d0 in process 0020 (C:\users\root\Downloads\setup.exe):
Backtrace:
=>0 0x0000014000c32f in setup (+0xc32f) (0x0000000002250b)
"""


class SummarizeBacktraces(unittest.TestCase):
    def test_keeps_the_programs_under_test_and_shortens_their_frames(self):
        self.assertEqual(summarize_backtraces(BACKTRACES), [
            r"thread 0024 of C:\users\root\Downloads\setup.exe: ntdll+0xebe4 < "
            r"kernelbase!WaitForMultipleObjectsEx+0xc8 < setup+0x2efbb < "
            r"kernel32!BaseThreadInitThunk+0x9",
            r"thread 00d0 of C:\users\root\Downloads\setup.exe: setup+0xc32f",
        ])

    def test_keeps_only_the_innermost_frames(self):
        lines = summarize_backtraces(BACKTRACES, frames_per_thread=2)
        self.assertTrue(lines[0].endswith("ntdll+0xebe4 < kernelbase!WaitForMultipleObjectsEx+0xc8"))


if __name__ == "__main__":
    unittest.main()
