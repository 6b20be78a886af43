"""An uninstaller whose list was tampered with (Uninstall.dat is a file in the installation
folder, which a user or a program may have changed) touches nothing outside the installation
folder: entries that climb out of it, name another drive's path, or a sibling folder whose
name merely starts like the installation's, delete nothing; the genuine entries are still
removed."""

from e2e.harness.actions import RunSetup, RunUninstaller
from e2e.harness.demo import DemoProduct
from e2e.harness.scenario import Action, Context, Scenario, State
from e2e.harness.states import Clean, Installed
from e2e.harness.uninstall_list import ChangeUninstallList, read_list

FOLDER = "C:\\Apps\\ZELO\\"

# A listed entry -> the file outside the installation it would reach if taken at its word.
HOSTILE = {
    "..\\..\\x": "C:\\x",
    "C:\\windows\\win.ini": "C:\\windows\\win.ini",
    "..\\keep.txt": "C:\\Apps\\keep.txt",
    "Help\\..\\..\\Sibling\\keep.txt": "C:\\Apps\\Sibling\\keep.txt",
    "..\\ZELO Backup\\keep.txt": "C:\\Apps\\ZELO Backup\\keep.txt",
    "../../y": "C:\\y",
    "\\\\?\\C:\\z": "C:\\z",
    "\\z2": "C:\\z2",
}


class PlaceFilesOutside(Action):
    name = "files outside the installation that a hostile list names"

    def __call__(self, context: Context):
        context.outside = {}
        for target in set(HOSTILE.values()):
            path = context.prefix.unix_path(target)
            if not path.exists():
                path.parent.mkdir(parents=True, exist_ok=True)
                path.write_bytes(f"not the installer's: {target}".encode())
            context.outside[target] = path.read_bytes()


class HostileListInPlace(State):
    name = "the list names files outside the installation"

    def check(self, context: Context):
        listed = read_list(context.prefix.unix_path(FOLDER + "Uninstall.dat"))
        assert listed[-len(HOSTILE):] == list(HOSTILE), listed


class OnlyTheInstallationRemoved(State):
    name = "the installation removed, everything outside it untouched"

    def check(self, context: Context):
        problems = []
        for target, content in context.outside.items():
            path = context.prefix.unix_path(target)
            if not path.is_file():
                problems.append(f"{target} was deleted")
            elif path.read_bytes() != content:
                problems.append(f"{target} was changed")
        for relative, _ in DemoProduct(context.build).installed_files(FOLDER):
            if context.prefix.unix_path(FOLDER + relative).exists():
                problems.append(f"the installed {relative} is still there")
        assert not problems, "\n    ".join([""] + problems)


SCENARIO = Scenario(
    name="hostile_uninstall_list",
    description=f"installed in {FOLDER}, Uninstall.dat listing paths outside it -> "
                "Uninstall.exe /AUTO /SILENT -> nothing outside touched",
    start=Clean(),
    steps=[
        (RunSetup("demo/setup.exe", f"/AUTO={FOLDER} /SILENT"), Installed(FOLDER)),
        (PlaceFilesOutside(), Installed(FOLDER)),
        (ChangeUninstallList(FOLDER, list(HOSTILE), "list paths outside the installation"),
         HostileListInPlace()),
        (RunUninstaller(FOLDER, "/AUTO /SILENT", watched=[FOLDER + "ZELO.exe"]),
         OnlyTheInstallationRemoved()),
    ],
)
