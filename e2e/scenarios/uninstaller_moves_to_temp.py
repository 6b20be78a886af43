"""Uninstall.exe started from the installation folder copies itself and its data into the
temporary folder (both to be deleted at the next restart), starts the copy with PATH naming the
installation folder, and ends; the copy, finding that folder, runs to its end without a box."""

from e2e.harness.actions import RunProgram, RunSetup
from e2e.harness.scenario import Context, Scenario, State
from e2e.harness.states import Clean, Installed

SESSION_MANAGER = r"HKLM\System\CurrentControlSet\Control\Session Manager"


class UninstallerCopiedToTemp(State):
    name = "uninstaller copied into the temporary folder, deleted at the next restart"

    def check(self, context: Context):
        temp = f"C:\\users\\{context.prefix.user_name()}\\Temp\\"
        setup = (context.build / "demo" / "setup.exe").read_bytes()
        assert context.prefix.unix_path(temp + "Uninstall.exe").read_bytes() == setup
        assert context.prefix.unix_path(temp + "Uninstall.dat").is_file()
        pending = context.registry().value(SESSION_MANAGER, "PendingFileRenameOperations") or []
        for name in ("Uninstall.exe", "Uninstall.dat"):
            entry = "\\??\\" + temp + name
            assert entry.upper() in (item.upper() for item in pending), \
                f"{entry} is not scheduled for deletion: {pending}"


SCENARIO = Scenario(
    name="uninstaller_moves_to_temp",
    description="installed -> Uninstall.exe /AUTO /SILENT from the folder -> copy runs from Temp",
    start=Clean(),
    steps=[
        (RunSetup("demo/setup.exe", "/AUTO=C:\\Apps\\ZELO\\ /SILENT"), Installed("C:\\Apps\\ZELO")),
        (RunProgram("C:\\Apps\\ZELO\\Uninstall.exe", "/AUTO /SILENT"), UninstallerCopiedToTemp()),
    ],
)
