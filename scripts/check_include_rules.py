#!/usr/bin/env python3
"""Keeps the layering honest: which folder may include which, and who may include the
operating systems' own headers.

The folders form floors, platform at the bottom and setup at the top; a file includes its own
floor and the floors below it, never one above, so the portable core builds and is tested on
Linux and nothing reaches up into the wizard or the product. Win32 headers stay in the Windows
implementations (*_win.*), the wizard and the Windows-only programs; POSIX headers stay in the
Linux test double (*_posix.*) and the Linux-only benchmarks. Test helpers (tests/) are for tests.

Paths are compared ignoring letter case: Windows and the mingw toolchain do, so "Core/x.h" or
<Windows.h> would otherwise slip past a check that a Windows build then accepts.

    check_include_rules.py [file ...]     (default: every C++ file git tracks)
"""

import re
import subprocess
import sys
from pathlib import Path

ROOT = Path(__file__).resolve().parents[1]

LAYERS = ["platform", "support", "package", "core", "product", "ui", "setup"]

# The project folders each folder may include, besides its own.
ALLOWED = {layer: set(LAYERS[:index + 1]) for index, layer in enumerate(LAYERS)}
ALLOWED.update({
    # The maker's tool packs and checks packages; it knows nothing of the installer's engine.
    "tools": {"platform", "support", "package", "tools"},
    # Shared test helpers stand on the ground floor only, so every layer's tests may use them.
    "tests": {"platform", "tests"},
    # Fuzz targets, benchmarks and the e2e driver reach into whatever they exercise.
    "fuzz": set(LAYERS[:5]) | {"tools", "fuzz"},
    "bench": set(LAYERS[:5]) | {"tools", "bench"},
    "e2e": set(LAYERS[:5]) | {"e2e"},
})

WIN32_HEADERS = {
    "windows.h", "winbase.h", "winuser.h", "winreg.h", "winnt.h", "shlobj.h", "shellapi.h",
    "shobjidl.h", "shlwapi.h", "wincrypt.h", "commctrl.h", "objbase.h", "ole2.h", "oleauto.h",
    "combaseapi.h", "wincodec.h", "dwmapi.h", "uxtheme.h", "richedit.h", "psapi.h",
    "tlhelp32.h", "userenv.h", "sddl.h", "aclapi.h", "wtsapi32.h", "lmcons.h",
}
POSIX_HEADER = re.compile(r"^(unistd|fcntl|dirent|pthread|dlfcn|spawn|signal|pwd|sys/.+)\.h$")

# Folders whose every file is Windows-only or Linux-only.
WIN32_FOLDERS = {"ui", "setup", "e2e"}
POSIX_FOLDERS = {"bench"}

INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]')


def is_test_file(path: str) -> bool:
    name = Path(path).name.lower()
    return path.lower().startswith("tests/") or "_test" in name or name.startswith("test_")


def problems_of(path: str) -> list:
    folder = path.split("/")[0].lower()
    name = Path(path).name.lower()
    windows_only = "_win." in name or name.endswith("_win.h") or folder in WIN32_FOLDERS
    posix_only = "_posix." in name or folder in POSIX_FOLDERS
    found = []
    text = (ROOT / path).read_text(encoding="utf-8", errors="replace")
    for number, line in enumerate(text.splitlines(), 1):
        match = INCLUDE.match(line)
        if not match:
            continue
        kind, included = match.group(1), match.group(2).replace("\\", "/")
        lowered = included.lower()
        where = f"{path}:{number}: {kind}{included}{'>' if kind == '<' else kind}"
        if kind == "<":
            if lowered in WIN32_HEADERS and not windows_only:
                found.append(f"{where}: Win32 headers belong in *_win.* files, ui/, setup/, e2e/")
            elif POSIX_HEADER.match(lowered) and not posix_only:
                found.append(f"{where}: POSIX headers belong in *_posix.* files and bench/")
            continue
        if "/" not in lowered:
            continue  # a file of the same folder, or one the build generates there
        target = lowered.split("/")[0]
        if not (ROOT / included).is_file():
            found.append(f"{where}: no such file as spelled (letter case counts on Linux)")
        if folder not in ALLOWED:
            continue
        if target == "tests":
            if not is_test_file(path):
                found.append(f"{where}: test helpers are for tests")
        elif target != folder and target not in ALLOWED[folder]:
            found.append(f"{where}: {folder}/ may not include {target}/")
    return found


def main(arguments) -> int:
    files = arguments or subprocess.run(
        ["git", "ls-files", "*.h", "*.cpp"], cwd=ROOT, check=True, capture_output=True,
        text=True).stdout.split()
    found = [problem for path in files for problem in problems_of(path)]
    if found:
        print("include rules broken:", file=sys.stderr)
        print("\n".join(found), file=sys.stderr)
        return 1
    print("include rules hold")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
