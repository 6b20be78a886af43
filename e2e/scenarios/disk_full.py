"""A drive that fills up during a silent run (/AUTO /SILENT /SUPPRESSMSGBOXES /LOG): the run ends
with 1603, the log names the file that could not be written and the system's reason, and the
drive holds no file cut short: each file there is either complete or absent. An update whose
backup no longer fits deletes nothing of the installation it was to replace.

The drive is a small tmpfs mounted for the scenario and mapped as D: in its prefix; it is
unmounted when the scenario ends, pass or fail. A machine that refuses the mount skips the
scenario."""

import hashlib
import os
import subprocess
from pathlib import Path

from e2e.harness import ipk5
from e2e.harness.actions import RunSetup
from e2e.harness.demo import DemoProduct
from e2e.harness.old_installation import (LayOutOldInstallation, OldInstallation,
                                          OldInstallationInPlace)
from e2e.harness.scenario import Action, Context, Scenario, Skipped, State
from e2e.harness.setup_log import read_entries
from e2e.harness.states import PRODUCT_KEY, AllOf, Clean

DRIVE_SIZE = 4 * 1024 * 1024
FOLDER = "D:\\ZELO\\"
LOG = "C:\\Logs\\disk full.txt"
# The name of the file that takes the drive's free space; not one an installation writes.
FILLER = "filler.bin"


class MountSmallDrive(Action):
    """Mounts a tmpfs of DRIVE_SIZE bytes beside the prefix and maps it as D:."""

    name = f"a drive D: of {DRIVE_SIZE // 1024} KiB (tmpfs)"

    def __call__(self, context: Context):
        mount_point = context.prefix.place / "drive_d"
        mount_point.mkdir(parents=True, exist_ok=True)
        if os.geteuid() != 0:
            raise Skipped("mounting a tmpfs needs root; this run is not root")
        mounted = subprocess.run(["mount", "-t", "tmpfs", "-o", f"size={DRIVE_SIZE}", "tmpfs",
                                  str(mount_point)], stdout=subprocess.PIPE,
                                 stderr=subprocess.STDOUT, text=True, check=False)
        if mounted.returncode != 0:
            raise Skipped(f"this machine refuses to mount a tmpfs: {mounted.stdout.strip()}")
        context.cleanups.append(lambda: subprocess.run(["umount", "-l", str(mount_point)],
                                                       check=False))
        link = context.prefix.path / "dosdevices" / "d:"
        if link.is_symlink() or link.exists():
            link.unlink()
        link.symlink_to(mount_point)
        context.drive_d = mount_point


class FillDrive(Action):
    """Takes the drive's free space but Left bytes (a number, or a function of the context), in
    one file outside the installation."""

    def __init__(self, left, what: str):
        self.left = left
        self.name = f"fill D: but {what}"

    def __call__(self, context: Context):
        left = self.left(context) if callable(self.left) else self.left
        drive = context.drive_d
        stats = os.statvfs(drive)
        free = stats.f_bavail * stats.f_frsize
        assert free > left, f"only {free} bytes free on D: before filling"
        with open(drive / FILLER, "wb") as filler:
            filler.write(b"\0" * (free - left))
        context.before_run = snapshot(drive)


def snapshot(root: Path):
    """{relative path: SHA-256} of every file under Root but the filler."""
    files = {}
    for path in root.rglob("*"):
        if path.is_file() and path.name != FILLER:
            files[str(path.relative_to(root))] = hashlib.sha256(path.read_bytes()).hexdigest()
    return files


class FailedForLackOfSpace(State):
    """The log's error names a file of the destination and the system's reason on its own line;
    no line of it is the system's text for "no error"."""

    name = "the log names the file and the system's reason; exit 1603"

    def check(self, context: Context):
        entries = read_entries(context.prefix.unix_path(LOG))
        assert entries[-1] == "Exit code: 1603", entries[-1]
        errors = [entry for entry in entries if entry.startswith("Error: ")]
        assert errors, f"no error in the log: {entries}"
        print(f"    the log says: {errors[0]!r}")
        lines = errors[0].split("\n")
        assert FOLDER.rstrip("\\") in lines[0], f"the error names no file on D: {errors[0]!r}"
        assert len(lines) >= 2 and lines[-1].strip(), \
            f"the error gives no reason of the system: {errors[0]!r}"
        assert "space" in lines[-1].lower() or "full" in lines[-1].lower(), \
            f"the reason is not a full disk: {lines[-1]!r}"
        assert not any(line.strip().rstrip(".").lower() in ("success",
                                                            "the operation completed successfully")
                       for line in lines), f"a line says success: {errors[0]!r}"


class NothingCutShort(State):
    """Every file on D: is whole: a product file holds the package's bytes, Uninstall.exe is the
    setup, Uninstall.dat a readable package; no temporary file is left; nothing is registered."""

    name = "no file cut short on D:, no temporary file, no registration"

    def check(self, context: Context):
        demo = DemoProduct(context.build)
        root = context.prefix.unix_path(FOLDER)
        expected = {relative: content for family in ("EN", "RU", "DE")
                    for relative, content in demo.installed_files(FOLDER, family)}
        old = getattr(context, "before_run", {})
        for path in (root.rglob("*") if root.exists() else []):
            if not path.is_file():
                continue
            relative = str(path.relative_to(root)).replace("/", "\\")
            assert not path.name.startswith("~"), f"a temporary file stayed: {relative}"
            if str(path.relative_to(context.drive_d)) in old:
                continue  # there before the run; OldInstallationInPlace looks at those
            data = path.read_bytes()
            if relative == "Uninstall.exe":
                assert data == demo.setup_exe.read_bytes(), "Uninstall.exe is cut short"
            elif relative == "Uninstall.dat":
                ipk5.read(data)
            elif relative in expected:
                assert data == expected[relative], \
                    f"{relative} holds {len(data)} bytes, the package {len(expected[relative])}"
            elif relative.startswith("!Backup\\"):
                raise AssertionError(f"a backup archive of a failed run stayed: {relative}")
        assert not context.registry().has_key(PRODUCT_KEY) or old, f"{PRODUCT_KEY} exists"


class NothingOfTheDriveDeleted(State):
    """Every file that was on D: before the run is there still, unchanged."""

    name = "every file on D: from before the run still there, unchanged"

    def check(self, context: Context):
        now = snapshot(context.drive_d)
        changed = sorted(name for name, digest in context.before_run.items()
                         if now.get(name) != digest)
        assert not changed, f"gone or changed: {changed}"


def room_for_the_files(context: Context) -> int:
    """The English installation's files with some room to spare, far less than the
    uninstaller (a copy of the setup) needs on top."""
    files = DemoProduct(context.build).installed_files(FOLDER)
    needed = sum(len(content) + 4096 for _, content in files)
    spare = 256 * 1024
    assert spare < DemoProduct(context.build).setup_exe.stat().st_size
    return needed + spare


OLD = OldInstallation(4510, FOLDER)
SWITCHES = f'/AUTO={FOLDER} /SILENT /SUPPRESSMSGBOXES /LOG="{LOG}"'

SCENARIOS = [
    Scenario(
        name="disk_full_first_file",
        description="D: nearly full -> setup /AUTO=D:\\ZELO\\ /SILENT /SUPPRESSMSGBOXES -> 1603, "
                    "the player not cut short",
        start=Clean(),
        steps=[
            (MountSmallDrive(), Clean()),
            (FillDrive(128 * 1024, "128 KiB, less than the player needs"), Clean()),
            (RunSetup("demo/setup.exe", SWITCHES, exit_code=1603),
             AllOf(FailedForLackOfSpace(), NothingCutShort())),
        ],
    ),
    Scenario(
        name="disk_full_uninstaller",
        description="room for the player's files but not for Uninstall.exe -> 1603, "
                    "no Uninstall.exe cut short",
        start=Clean(),
        steps=[
            (MountSmallDrive(), Clean()),
            (FillDrive(room_for_the_files, "room for the files, not for Uninstall.exe"), Clean()),
            (RunSetup("demo/setup.exe", SWITCHES, exit_code=1603),
             AllOf(FailedForLackOfSpace(), NothingCutShort())),
        ],
    ),
    Scenario(
        name="disk_full_update",
        description=f"{OLD.name} on D:, no room for its backup -> update -> 1603, "
                    "nothing of it deleted",
        start=Clean(),
        steps=[
            (MountSmallDrive(), Clean()),
            (LayOutOldInstallation(OLD), OldInstallationInPlace(OLD)),
            (FillDrive(64 * 1024, "64 KiB, less than the backup needs"),
             OldInstallationInPlace(OLD)),
            (RunSetup("demo/setup.exe", SWITCHES, exit_code=1603),
             AllOf(FailedForLackOfSpace(), NothingOfTheDriveDeleted(), NothingCutShort(),
                   OldInstallationInPlace(OLD))),
        ],
    ),
]

TIMEOUT = 600
