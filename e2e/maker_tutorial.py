#!/usr/bin/env python3
"""Runs the ten-minute tutorial of demo/README.md as a new maker would: its shell blocks, in
order, in an empty folder, with a Wine prefix of its own, then checks from outside what they
were meant to leave: the product installed and removed again, shortcut and registration too.

    maker_tutorial.py --build <build/win64> [--keep]

The tutorial is the test's script, so the page cannot promise a command that does not work."""

import argparse
import os
import re
import shutil
import subprocess
import sys
from pathlib import Path

REPO = Path(__file__).resolve().parents[1]
README = REPO / "demo" / "README.md"
START = "<!-- tutorial:"
END = "<!-- end of tutorial -->"
WINESERVER = "/usr/lib/wine/wineserver"


def tutorial_script(readme: str) -> str:
    """The tutorial's sh blocks, dedented out of their list items, as one script."""
    section = readme[readme.index(START):readme.index(END)]
    blocks = re.findall(r"^( *)```sh\n(.*?)^\1```$", section, re.MULTILINE | re.DOTALL)
    if not blocks:
        raise AssertionError("the tutorial holds no sh block")
    lines = ["set -euo pipefail"]
    for indent, body in blocks:
        for line in body.splitlines():
            if line.strip() and not line.startswith(indent):
                raise AssertionError(f"a line of a block is not indented as its fence: {line!r}")
            lines.append(line[len(indent):])
    return "\n".join(lines) + "\n"


def check_left_behind(prefix: Path):
    """What the tutorial's uninstallation must have removed."""
    drive = prefix / "drive_c"
    folder = drive / "Program Files" / "Hello"
    for name in ("Hello.exe", "ReadMe.txt", "Uninstall.exe", "Uninstall.dat"):
        assert not (folder / name).exists(), f"{name} is still installed"
    menu = drive / "ProgramData" / "Microsoft" / "Windows" / "Start Menu" / "Programs" / "Hello"
    assert not menu.exists(), f"the Start menu folder is still there: {list(menu.iterdir())}"
    registry = (prefix / "system.reg").read_text(encoding="utf-8", errors="replace")
    assert "\\\\CurrentVersion\\\\Uninstall\\\\Hello]" not in registry, \
        "the product is still registered among the installed programs"


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--build", type=Path, required=True)
    parser.add_argument("--keep", action="store_true", help="keep the folder for a look")
    options = parser.parse_args()
    work = options.build.resolve() / "e2e-output" / "maker_tutorial"
    shutil.rmtree(work, ignore_errors=True)
    work.mkdir(parents=True)
    script = work / "tutorial.sh"
    script.write_text(tutorial_script(README.read_text(encoding="utf-8")), encoding="utf-8")
    prefix = work / "hello" / "wine"
    environment = {**os.environ, "REPO": str(REPO)}
    # Headless: the tutorial installs unattended, and no window may wait for a display.
    environment.pop("DISPLAY", None)
    environment.pop("WAYLAND_DISPLAY", None)
    try:
        run = subprocess.run(["bash", str(script)], cwd=work, env=environment, timeout=600,
                             stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
        print(run.stdout)
        if run.returncode != 0:
            print(f"the tutorial's commands ended with {run.returncode}", file=sys.stderr)
            return 1
        check_left_behind(prefix)
    finally:
        subprocess.run([WINESERVER, "-k"], env={**environment, "WINEPREFIX": str(prefix)},
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    if not options.keep:
        shutil.rmtree(work / "hello", ignore_errors=True)
    print("the tutorial works as written")
    return 0


if __name__ == "__main__":
    sys.exit(main())
