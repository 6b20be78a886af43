"""A file in the destination held open by another program (as a running player holds its own
program file) and different from the new one is moved aside to ".bak" and replaced."""

from e2e.harness.actions import HoldFile, ReleaseFiles, RunSetup
from e2e.harness.scenario import Context, Scenario, State
from e2e.harness.states import Clean, Installed

OLD_PLAYER = b"MZ an older player that is still running"


class InstalledBesideTheOldFile(State):
    name = "installed, the old ZELO.exe kept as ZELO.exe.bak"

    def check(self, context: Context):
        Installed("C:\\Apps\\ZELO").check(context)
        backup = context.prefix.unix_path("C:\\Apps\\ZELO\\ZELO.exe.bak")
        assert backup.read_bytes() == OLD_PLAYER, "ZELO.exe.bak does not hold the old file"


class OldFileInPlace(State):
    """Checked from the files alone: reading the registry would stop the prefix's programs,
    the holder among them."""

    name = "the old ZELO.exe in place, held open"

    def check(self, context: Context):
        path = context.prefix.unix_path("C:\\Apps\\ZELO\\ZELO.exe")
        assert path.read_bytes() == OLD_PLAYER


class StillInstalled(State):
    name = "installed"

    def check(self, context: Context):
        InstalledBesideTheOldFile().check(context)


SCENARIO = Scenario(
    name="locked_file",
    description="an old ZELO.exe held open -> setup.exe /AUTO /SILENT -> replaced, old one .bak",
    start=Clean(),
    steps=[
        (HoldFile("C:\\Apps\\ZELO\\ZELO.exe", OLD_PLAYER), OldFileInPlace()),
        (RunSetup("demo/setup.exe", "/AUTO=C:\\Apps\\ZELO\\ /SILENT"), InstalledBesideTheOldFile()),
        (ReleaseFiles(), StillInstalled()),
    ],
)
