#!/usr/bin/env python3
"""How long a double-clicked setup.exe takes to show its first painted window under Wine,
beside a trivial program that opens one window (one-window.exe), measured in the same run.
Prints the medians and the ratios; asserts nothing.

    startup_bench.py --build <build/win64> [--repetitions 15] [--smoke]

The demo setup.exe starts without arguments, as a double click starts it: its first window is
the language dialog, and the wizard follows once the language is confirmed. Both are timed by
the test driver (e2e-driver time-to-window) inside the prefix, from just before it starts the
program to the moment the window is visible and has nothing left to paint; the dialog is
confirmed as soon as it has painted, so the wizard's figure holds no user's thinking time. The
two programs run alternately, after one warm-up run each, in a prefix whose wineserver is kept
running, on a private Xvfb with Wine's x11 driver and its virtual desktop, so that the windows
are really painted. The aim: the setup at most 1.5 times the baseline (medians).
"""

import argparse
import contextlib
import os
import shutil
import statistics
import subprocess
import sys
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[1]))

from e2e.harness.wine import WinePrefix, Xvfb  # noqa: E402

BASELINE_CLASS = "OneWindowBench"
LANGUAGE_DIALOG_CLASS = "TVYNLanguageDialog"
WIZARD_CLASS = "TInstallerForm"
AIM = 1.5
TIMEOUT_MS = 60000


class StartupPrefix:
    """A warm prefix on a display of its own, holding C:\\setup.exe and C:\\one-window.exe."""

    def __init__(self, prefix: WinePrefix, driver_exe: Path, output: Path):
        self.prefix = prefix
        self.driver_exe = driver_exe
        self.output = output
        self.runs = 0

    def time_to_window(self, command_line: str, window_class: str, through_class=None) -> dict:
        """Milliseconds from the start of the command line to its painted window ("ms") and,
        with a dialog on the way, to that dialog ("through_ms")."""
        self.runs += 1
        command_file = self.output / f"run-{self.runs}.cmd.txt"
        result_file = self.output / f"run-{self.runs}.result.txt"
        command_file.write_text(command_line, encoding="utf-8")
        result_file.unlink(missing_ok=True)
        arguments = ["time-to-window", "--class", window_class, "--timeout", str(TIMEOUT_MS)]
        if through_class:
            arguments += ["--through", through_class]
        status = self.prefix.run(self.driver_exe, *arguments, f"Z:{result_file}",
                                 f"Z:{command_file}", log=self.output / f"run-{self.runs}.log",
                                 timeout=TIMEOUT_MS / 1000 + 60)
        text = result_file.read_text() if result_file.exists() else ""
        figures = dict(line.split("=", 1) for line in text.split() if "=" in line)
        if status != 0 or "ms" not in figures:
            raise AssertionError(f"{command_line}: no painted {window_class} window "
                                 f"(driver status {status}, result {text.strip()!r})")
        return {key: float(value) for key, value in figures.items() if key.endswith("ms")}


@contextlib.contextmanager
def startup_prefix(build: Path, work: Path):
    """A StartupPrefix for the time of a with block; the prefix and the X server are removed
    afterwards."""
    shutil.rmtree(work, ignore_errors=True)
    output = work / "output"
    output.mkdir(parents=True)
    display = Xvfb(work / "xvfb.log")
    prefix = None
    try:
        prefix = WinePrefix(build / "wine", work / "prefix-place", "x11", display.display)
        # Wine's own virtual desktop instead of bare X windows: Xvfb has no window manager, and
        # without one Wine waits 2 s for each hidden window to be withdrawn (the language
        # dialog), a cost no Windows desktop has. Read when the first process starts.
        with open(prefix.path / "user.reg", "a", encoding="utf-8") as registry:
            registry.write('\n[Software\\\\Wine\\\\Explorer]\n"Desktop"="Default"\n'
                           '\n[Software\\\\Wine\\\\Explorer\\\\Desktops]\n'
                           '"Default"="1280x1024"\n')
        shutil.copyfile(build / "demo" / "setup.exe", prefix.drive_c / "setup.exe")
        shutil.copyfile(build / "one-window.exe", prefix.drive_c / "one-window.exe")
        # A persistent wineserver: every run starts warm instead of paying Wine's start-up.
        subprocess.run(["/usr/lib/wine/wineserver", "-p"],
                       env={**os.environ, "WINEPREFIX": str(prefix.path)}, check=True)
        yield StartupPrefix(prefix, build / "e2e-driver.exe", output)
    finally:
        if prefix is not None:
            prefix.remove()
        display.stop()


def verdict(ratio: float) -> str:
    return "met" if ratio <= AIM else "NOT met"


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--build", type=Path, required=True)
    parser.add_argument("--repetitions", type=int, default=15)
    parser.add_argument("--smoke", action="store_true", help="one run each, no warm-up")
    options = parser.parse_args()
    build = options.build.resolve()
    for needed in ("e2e-driver.exe", "one-window.exe", "demo/setup.exe"):
        if not (build / needed).exists():
            sys.exit(f"startup_bench: {build / needed} is missing; build the targets "
                     "e2e_driver, one_window and demo_setup first")
    work = build / ("bench-startup-smoke" if options.smoke else "bench-startup")
    repetitions = 1 if options.smoke else options.repetitions

    def baseline(bench):
        return bench.time_to_window('"C:\\one-window.exe"', BASELINE_CLASS)["ms"]

    def setup(bench):
        return bench.time_to_window('"C:\\setup.exe"', WIZARD_CLASS, LANGUAGE_DIALOG_CLASS)

    baselines, dialogs, wizards = [], [], []
    with startup_prefix(build, work) as bench:
        if not options.smoke:
            baseline(bench)
            setup(bench)
        for _ in range(repetitions):
            baselines.append(baseline(bench))
            figures = setup(bench)
            dialogs.append(figures["through_ms"])
            wizards.append(figures["ms"])

    print(f"median (minimum) of {repetitions} alternating runs each, warm wineserver, "
          "x11 driver on Xvfb, Wine's virtual desktop")
    rows = [("baseline: one window painted", baselines),
            ("setup: language dialog painted (first window)", dialogs),
            ("setup: wizard painted, language confirmed at once", wizards)]
    for label, figures in rows:
        print(f"{label:<50} {statistics.median(figures):7.1f} ms  ({min(figures):6.1f} ms)")
    for label, figures in (("first window", dialogs), ("wizard", wizards)):
        ratio = statistics.median(figures) / statistics.median(baselines)
        print(f"{label} relative to the baseline: {ratio:.2f}x "
              f"({min(figures) / min(baselines):.2f}x of the minima; aim: at most {AIM:.2f}x, "
              f"{verdict(ratio)})")
    return 0


if __name__ == "__main__":
    sys.exit(main())
