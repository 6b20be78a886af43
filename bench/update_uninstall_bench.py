#!/usr/bin/env python3
"""An unattended update and an uninstallation of a ~40 MB, ~1,500-file product under Wine,
each beside a figure of the same run to judge it by. Prints the figures and ratios; asserts
nothing.

    update_uninstall_bench.py --build <build/win64> [--repetitions 7] [--smoke]

For each repetition the product is installed into a folder of its own (timed: the fresh
installation), updated in place by the same setup (timed: back up into a ZIP archive, clear,
extract), and removed with its Uninstall.exe /AUTO /SILENT (timed until the process started
has ended and the folder holds nothing of the product). The floor of the uninstallation is a
trivial program deleting the same tree under Wine (e2e-driver delete-files).

Every run of the setup pauses on purpose: 2 s after looking for the player's windows, and on
Windows 10 1 s after telling the shell that associations changed; an uninstallation pauses the
first 2 s. Their "own work" below is the wall time without these pauses.

As in install_bench.py, the product is generated, the folders live on a tmpfs when the bench
runs as root, and the wineserver is kept running, so the figures are warm ones.
"""

import argparse
import os
import shutil
import statistics
import subprocess
import sys
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[1]))
sys.path.insert(0, str(Path(__file__).resolve().parent))

from e2e.harness.driver import Driver  # noqa: E402
from e2e.harness.wine import WinePrefix  # noqa: E402
from install_bench import generate_product, linux_setupkit, write_setup_folder  # noqa: E402

CLOSE_PAUSE = 2.0  # the close action's pause after its one pass (no player runs)
SHELL_NOTICE_PAUSE = 1.0  # the pause after notifying the shell (Windows 10)
SETUP_PAUSES = CLOSE_PAUSE + SHELL_NOTICE_PAUSE
UNINSTALL_PAUSES = CLOSE_PAUSE


def updatable_setup_folder(setup_folder: Path):
    """The generated script names no version number; an installation of it must be one an
    update accepts (3.50 to 5.09)."""
    script = setup_folder / "Install.xml"
    text = script.read_text(encoding="utf-8")
    setting = '<Setting name="ProductVersionNo" value="5.0.0.1"/>'
    assert setting in text
    script.write_text(text.replace(
        setting, setting + '\n      <Setting name="ProductVersionId" value="5000"/>'),
        encoding="utf-8")


def folder_is_cleared(folder: Path) -> bool:
    """Nothing of the product left: at most the settings file, which the uninstaller keeps."""
    if not folder.exists():
        return True
    return all(path.name == "ZELO.ini" for path in folder.rglob("*"))


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--build", type=Path, required=True)
    parser.add_argument("--repetitions", type=int, default=7)
    parser.add_argument("--smoke", action="store_true", help="tiny product, one run")
    options = parser.parse_args()
    build = options.build.resolve()
    work = build / ("bench-update-smoke" if options.smoke else "bench-update")
    total, count = (256 << 10, 20) if options.smoke else (40 << 20, 1500)
    repetitions = 1 if options.smoke else options.repetitions

    names = generate_product(work / "product", total, count)
    write_setup_folder(build / "demo" / "setup", work / "setup", names)
    updatable_setup_folder(work / "setup")
    setup_exe = work / "setup.exe"
    tool = linux_setupkit(build)
    subprocess.run([str(tool), "build", "--setup", str(work / "setup"), "--product",
                    str(work / "product"), "--program", str(build / "setup.exe"), "-o",
                    str(setup_exe)], check=True, stdout=subprocess.DEVNULL)

    prefix = WinePrefix(build / "wine", work / "prefix-place", "null")
    output = work / "output"
    shutil.rmtree(output, ignore_errors=True)
    output.mkdir(parents=True)
    mounted = False
    installs, updates, uninstalls, deletes = [], [], [], []
    try:
        bench_root = prefix.drive_c / "Bench"
        bench_root.mkdir()
        if os.geteuid() == 0:
            mounted = subprocess.run(["mount", "-t", "tmpfs", "-o", "size=4g", "tmpfs",
                                      str(bench_root)]).returncode == 0
        driver = Driver(prefix, build / "e2e-driver.exe", output)
        shutil.copyfile(setup_exe, prefix.drive_c / "setup.exe")
        subprocess.run(["/usr/lib/wine/wineserver", "-p"],
                       env={**os.environ, "WINEPREFIX": str(prefix.path)}, check=True)

        def timed(command_line: str, done=lambda: True) -> float:
            start = time.perf_counter()
            launched = driver.launch(command_line)
            try:
                exit_code = launched.wait(timeout=600)
            except AssertionError:
                window = driver.find_window(caption="Setup", timeout_ms=0, required=False)
                raise AssertionError(f"{command_line} did not end; window: {window}")
            deadline = time.monotonic() + 120
            while not done():
                assert time.monotonic() < deadline, f"{command_line}: the work never finished"
                time.sleep(0.01)
            elapsed = time.perf_counter() - start
            assert exit_code == 0, f"{command_line} ended with {exit_code}"
            return elapsed

        if not options.smoke:
            timed('"C:\\setup.exe" /AUTO=C:\\Bench\\warmup\\ /SILENT')
        for run in range(repetitions):
            folder = f"C:\\Bench\\product{run}\\"
            installs.append(timed(f'"C:\\setup.exe" /AUTO={folder} /SILENT'))
            updates.append(timed(f'"C:\\setup.exe" /AUTO={folder} /SILENT'))
            archives = list((bench_root / f"product{run}" / "!Backup").glob("*.zip"))
            assert len(archives) == 1, f"the update made no single backup archive: {archives}"
            # An uninstaller that handed over to its copy and ended early is timed until the
            # copy has finished.
            unix_folder = bench_root / f"product{run}"
            uninstalls.append(timed(f'"{folder}Uninstall.exe" /AUTO /SILENT',
                                    done=lambda: folder_is_cleared(unix_folder)))
            timed(f'"Z:{build / "e2e-driver.exe"}" write-files Z:{work / "product"} '
                  f'C:\\Bench\\tree{run}')
            deletes.append(timed(f'"Z:{build / "e2e-driver.exe"}" delete-files '
                                 f'C:\\Bench\\tree{run}'))
    finally:
        if mounted:
            prefix.stop_server()
            subprocess.run(["umount", str(prefix.drive_c / "Bench")])
        prefix.remove()

    install, update = statistics.median(installs), statistics.median(updates)
    uninstall, delete = statistics.median(uninstalls), statistics.median(deletes)
    print(f"product: {total / (1 << 20):.1f} MiB in {count} files, median of {repetitions} "
          f"runs, warm wineserver, folders on {'tmpfs' if mounted else 'the build disk'}")
    print(f"fresh installation                     {install:7.3f} s  "
          f"(own work {install - SETUP_PAUSES:6.3f} s)")
    print(f"update with backup                     {update:7.3f} s  "
          f"(own work {update - SETUP_PAUSES:6.3f} s)")
    print(f"uninstallation                         {uninstall:7.3f} s  "
          f"(own work {uninstall - UNINSTALL_PAUSES:6.3f} s)")
    print(f"floor: the same tree deleted under Wine {delete:7.3f} s")
    print(f"update's own work relative to the fresh installation's: "
          f"{(update - SETUP_PAUSES) / (install - SETUP_PAUSES):.2f}x")
    print(f"uninstallation relative to the floor: {uninstall / delete:.2f}x wall, "
          f"{(uninstall - UNINSTALL_PAUSES) / delete:.2f}x own work (aim: at most 1.50x)")
    return 0


if __name__ == "__main__":
    sys.exit(main())
