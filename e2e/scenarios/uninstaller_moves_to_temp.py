"""Uninstall.exe started from the installation folder copies itself and its data into a new
folder of its own in the temporary folder, named "Uninstall-" and 16 random hexadecimal digits
(the files and the folder deleted at the next restart, the folder last), starts the copy there
with PATH naming the installation folder, and ends; the copy, finding that folder, runs to its
end without a box.

With files of the copy's names planted in the temporary folder beforehand (a program of the
user's, or anybody who can write there, waiting for an elevated uninstaller to start them), the
planted program is never started and neither file is touched: the copy runs from its own
folder."""

import re

from e2e.harness.actions import RunProgram, RunSetup
from e2e.harness.pending_renames import pending_operations
from e2e.harness.scenario import Action, Context, Scenario, State
from e2e.harness.states import PRODUCT_KEY, Clean, Installed

COPY_FOLDER = re.compile(r"^Uninstall-[0-9a-f]{16}$")
PLANTED_DATA = b"planted data, not a package"


def temporary_folder(context: Context) -> str:
    return f"C:\\users\\{context.prefix.user_name()}\\Temp\\"


def copy_folders(context: Context):
    """The names of the uninstaller copies' folders in the temporary folder."""
    root = context.prefix.unix_path(temporary_folder(context))
    return sorted(p.name for p in root.iterdir() if p.is_dir() and COPY_FOLDER.match(p.name))


class UninstallerCopiedToTemp(State):
    name = "uninstaller copied into a folder of its own in Temp, all deleted at the next restart"

    def check(self, context: Context):
        folders = copy_folders(context)
        assert len(folders) == 1, f"expected one copy folder in Temp, found {folders}"
        folder = temporary_folder(context) + folders[0] + "\\"
        setup = (context.build / "demo" / "setup.exe").read_bytes()
        assert context.prefix.unix_path(folder + "Uninstall.exe").read_bytes() == setup
        assert context.prefix.unix_path(folder + "Uninstall.dat").is_file()
        deletions = [source.upper() for source, target in pending_operations(context.registry())
                     if not target]
        order = []
        for path in (folder + "Uninstall.exe", folder + "Uninstall.dat", folder.rstrip("\\")):
            matches = [i for i, entry in enumerate(deletions) if entry.rstrip("\\") == path.upper()]
            assert matches, f"{path} is not scheduled for deletion: {deletions}"
            order.append(matches[0])
        assert order == sorted(order), f"the folder is deleted before its files: {deletions}"


class PlantCopyNamesInTemp(Action):
    name = "a program named Uninstall.exe and an Uninstall.dat are planted in Temp"

    def __call__(self, context: Context):
        temp = temporary_folder(context)
        context.copy_into_prefix("canaries/canary_program.exe", temp + "Uninstall.exe")
        context.prefix.unix_path(temp + "Uninstall.dat").write_bytes(PLANTED_DATA)


class UninstalledPlantedUntouched(State):
    name = "uninstalled by a copy in its own folder; the planted files neither run nor touched"

    def check(self, context: Context):
        temp = temporary_folder(context)
        canary = (context.build / "canaries" / "canary_program.exe").read_bytes()
        assert context.prefix.unix_path(temp + "Uninstall.exe").read_bytes() == canary, \
            "the planted Uninstall.exe was replaced"
        assert context.prefix.unix_path(temp + "Uninstall.dat").read_bytes() == PLANTED_DATA, \
            "the planted Uninstall.dat was replaced"
        ran = context.prefix.unix_path("C:\\canary\\Uninstall.exe.ran")
        assert not ran.exists(), f"the planted program ran: {ran.read_text('utf-16-le')}"
        assert len(copy_folders(context)) == 1, copy_folders(context)
        assert not context.registry().has_key(PRODUCT_KEY), f"{PRODUCT_KEY} still exists"


INSTALL = (RunSetup("demo/setup.exe", "/AUTO=C:\\Apps\\ZELO\\ /SILENT"),
           Installed("C:\\Apps\\ZELO"))

SCENARIOS = [
    Scenario(
        name="copy_runs_from_its_own_folder",
        description="installed -> Uninstall.exe /AUTO /SILENT from the folder -> copy runs from "
                    "Temp\\Uninstall-<random>",
        start=Clean(),
        steps=[
            INSTALL,
            (RunProgram("C:\\Apps\\ZELO\\Uninstall.exe", "/AUTO /SILENT"),
             UninstallerCopiedToTemp()),
        ],
    ),
    Scenario(
        name="planted_copy_is_not_run",
        description="installed; Uninstall.exe and .dat planted in Temp -> Uninstall.exe /AUTO "
                    "/SILENT -> the planted ones neither run nor replaced",
        start=Clean(),
        steps=[
            INSTALL,
            (PlantCopyNamesInTemp(), Installed("C:\\Apps\\ZELO")),
            (RunProgram("C:\\Apps\\ZELO\\Uninstall.exe", "/AUTO /SILENT"),
             UninstalledPlantedUntouched()),
        ],
    ),
]
