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
import shutil
import statistics
import subprocess
import sys
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[1]))
sys.path.insert(0, str(Path(__file__).resolve().parent))

from install_bench import (SETUP_PAUSES, UNINSTALL_PAUSES, bench_prefix,  # noqa: E402
                           generate_product, linux_setupkit, write_setup_folder)


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

    shutil.rmtree(work / "output", ignore_errors=True)
    installs, updates, uninstalls, deletes = [], [], [], []
    with bench_prefix(build, work, setup_exe) as bench:
        if not options.smoke:
            bench.timed('"C:\\setup.exe" /AUTO=C:\\Bench\\warmup\\ /SILENT')
        for run in range(repetitions):
            folder = f"C:\\Bench\\product{run}\\"
            installs.append(bench.timed(f'"C:\\setup.exe" /AUTO={folder} /SILENT'))
            updates.append(bench.timed(f'"C:\\setup.exe" /AUTO={folder} /SILENT'))
            archives = list((bench.bench_root / f"product{run}" / "!Backup").glob("*.zip"))
            assert len(archives) == 1, f"the update made no single backup archive: {archives}"
            # An uninstaller that handed over to its copy and ended early is timed until the
            # copy has finished.
            unix_folder = bench.bench_root / f"product{run}"
            uninstalls.append(bench.timed(f'"{folder}Uninstall.exe" /AUTO /SILENT',
                                          done=lambda: folder_is_cleared(unix_folder)))
            bench.timed(f'"Z:{build / "e2e-driver.exe"}" write-files Z:{work / "product"} '
                        f'C:\\Bench\\tree{run}')
            deletes.append(bench.timed(f'"Z:{build / "e2e-driver.exe"}" delete-files '
                                       f'C:\\Bench\\tree{run}'))
        mounted = bench.mounted

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
