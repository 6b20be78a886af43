"""A program of the installation still runs while Setup removes it (a companion tool the user
left open): its file cannot be deleted, so it is moved into the temporary folder and Windows
is told to delete it at the next start; its folder, empty then, is removed. After a restart
the file is gone. Once during an update, once during an uninstallation (where the helper is
one of the listed files)."""

from e2e.harness.actions import ReleaseFiles, RunSetup, RunUninstaller
from e2e.harness.old_installation import (LayOutOldInstallation, OldInstallation,
                                          OldInstallationInPlace)
from e2e.harness.pending_renames import pending_deletions
from e2e.harness.running_programs import Restart, StartHelperIn
from e2e.harness.scenario import Context, Scenario, State
from e2e.harness.states import Clean, Installed
from e2e.harness.uninstall_list import ChangeUninstallList, read_list

FOLDER = "C:\\Apps\\ZELO\\"
HELPER = "Tools\\zelo_helper.exe"


def moved_helpers(context: Context):
    """Files in the temporary folder with the helper's bytes, as Windows paths."""
    temp = f"C:\\users\\{context.prefix.user_name()}\\Temp\\"
    helper = (context.build / "e2e-driver.exe").read_bytes()
    folder = context.prefix.unix_path(temp)
    return [temp + path.name for path in folder.iterdir()
            if path.is_file() and path.stat().st_size == len(helper)
            and path.read_bytes() == helper]


class HelperListed(State):
    name = f"{HELPER} listed last for removal"

    def check(self, context: Context):
        listed = read_list(context.prefix.unix_path(FOLDER + "Uninstall.dat"))
        assert listed[-1:] == [HELPER], listed


class HelperRunning(State):
    name = f"{FOLDER}{HELPER} running"

    def check(self, context: Context):
        assert context.prefix.unix_path(FOLDER + HELPER).is_file()


class HelperMovedAway(State):
    """Checked from the files alone while the helper still runs (reading the registry would
    end it)."""

    name = "the helper moved out of the installation, its folder removed"

    def check(self, context: Context):
        assert not context.prefix.unix_path(FOLDER + HELPER).exists(), \
            f"{HELPER} is still in the installation"
        assert not context.prefix.unix_path(FOLDER + "Tools").exists(), \
            "the emptied Tools folder is still there"
        moved = moved_helpers(context)
        assert len(moved) == 1, f"the helper in the temporary folder: {moved}"
        context.moved_helper = moved[0]


class DeletedAtNextStart(State):
    name = "the moved helper is to be deleted at the next start"

    def check(self, context: Context):
        deletions = pending_deletions(context.registry())
        assert context.moved_helper.upper() in deletions, \
            f"{context.moved_helper} is not among the pending deletions {sorted(deletions)}"


class GoneAfterRestart(State):
    name = "after the restart the moved helper is gone"

    def check(self, context: Context):
        assert not context.prefix.unix_path(context.moved_helper).exists(), \
            f"{context.moved_helper} survived the restart"


OLD = OldInstallation(4510, FOLDER)

SCENARIOS = [
    Scenario(
        name="file_in_use_during_update",
        description=f"4.51 in {FOLDER} with {HELPER} running -> setup.exe /AUTO /SILENT -> "
                    "moved away, deleted at restart",
        start=Clean(),
        steps=[
            (LayOutOldInstallation(OLD), OldInstallationInPlace(OLD)),
            (StartHelperIn(FOLDER + HELPER), HelperRunning()),
            # Done, but the moved file goes only at the restart: 3010 says so.
            (RunSetup("demo/setup.exe", f"/AUTO={FOLDER} /SILENT", exit_code=3010),
             HelperMovedAway()),
            (ReleaseFiles(), DeletedAtNextStart()),
            (Restart(), GoneAfterRestart()),
        ],
    ),
    Scenario(
        name="file_in_use_during_uninstall",
        description=f"installed in {FOLDER}, {HELPER} listed and running -> "
                    "Uninstall.exe /AUTO /SILENT -> moved away, deleted at restart",
        start=Clean(),
        steps=[
            (RunSetup("demo/setup.exe", f"/AUTO={FOLDER} /SILENT"), Installed(FOLDER)),
            (ChangeUninstallList(FOLDER, [HELPER], f"list {HELPER}"), HelperListed()),
            (StartHelperIn(FOLDER + HELPER), HelperRunning()),
            (RunUninstaller(FOLDER, "/AUTO /SILENT", watched=[FOLDER + "ZELO.exe"],
                            exit_code=3010, wait_for_all=False), HelperMovedAway()),
            (ReleaseFiles(), DeletedAtNextStart()),
            (Restart(), GoneAfterRestart()),
        ],
    ),
]
