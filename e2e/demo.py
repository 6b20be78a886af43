#!/usr/bin/env python3
"""Runs the built setup.exe under Wine in a fresh prefix, as a user would start it from the
Downloads folder, and reports what it did: the windows it showed (with a screenshot) and its
exit code.

    demo.py --build <build/win64>
"""

import argparse
import sys
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[1]))

from e2e.harness.driver import Driver  # noqa: E402
from e2e.harness.scenario import Context  # noqa: E402
from e2e.harness.wine import WinePrefix, Xvfb  # noqa: E402


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--build", type=Path, required=True)
    parser.add_argument("arguments", nargs="*", help="switches for setup.exe")
    options = parser.parse_args()
    build = options.build.resolve()
    output = build / "demo-output"
    output.mkdir(parents=True, exist_ok=True)

    display = Xvfb(output / "xvfb.log")
    prefix = WinePrefix(build / "wine", build / "wine" / "demo", "x11", display.display)
    try:
        context = Context("demo", build, output, prefix, Driver(prefix, build / "e2e-driver.exe",
                                                               output), display)
        setup = context.copy_into_prefix("setup.exe",
                                         context.downloads_folder() + "\\setup.exe")
        command_line = " ".join([f'"{setup}"', *options.arguments])
        print(f"Running {command_line} under Wine")
        launched = context.driver.launch(command_line)
        window = context.driver.find_window(caption="Setup", timeout_ms=30000)
        texts = [c["text"] for c in window["controls"] if c["text"]]
        screenshot = output / "setup.png"
        display.screenshot(screenshot)
        print(f"It shows the window \"{window['caption']}\": {' | '.join(texts)}")
        print(f"Screenshot: {screenshot}")
        if window["class"] == "#32770":
            context.driver.click(window, text="OK")
        print(f"Exit code: {launched.wait()}")
    finally:
        prefix.remove()
        display.stop()
    return 0


if __name__ == "__main__":
    sys.exit(main())
