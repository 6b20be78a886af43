"""A silent uninstallation (Uninstall.exe /AUTO /SILENT) killed without warning, both of its
processes (the one started from the installation folder and its copy in the temporary folder),
at one moment of its run, then started again: with the registered QuietUninstallString while the
registration is still there, else with the Uninstall.exe the folder still holds. The second run
ends with exit code 0, the product is gone (every installed file and the folders emptied with
them) and so is its registration; only the settings file, which the installation never listed,
stays. One case per moment: the start of each action, and halfway through the installed
files."""

from dataclasses import dataclass

from e2e.harness.big_setup import BuildBigSetup, RunBigSetup, big_setup_folder
from e2e.harness.demo import DemoProduct
from e2e.harness.killing import KillPoint, RunAndKill, action_started, changes_within
from e2e.harness.scenario import Action, Context, Scenario, State
from e2e.harness.states import PRODUCT_KEY, Clean, Installed
from e2e.harness.tree import differences, files_under, folders_under, parent_folders

TIMEOUT = 900

FOLDER = "C:\\Apps\\ZELO\\"
PAGES = 1500
KILLED_LOG = "C:\\Logs\\killed.txt"
UNINSTALLER_NAMES = ("Uninstall.exe",)


class UninstallerLeft(State):
    """After the kill: the uninstaller and its data are still in the folder, so that it can be
    started again."""

    name = "Uninstall.exe and Uninstall.dat still in the folder"

    def check(self, context: Context):
        for name in ("Uninstall.exe", "Uninstall.dat"):
            path = context.prefix.unix_path(FOLDER + name)
            assert path.is_file(), f"{name} is gone: the uninstallation cannot be run again"


class RunUninstallAgain(Action):
    """Starts the uninstallation again as an administrator would: the registered
    QuietUninstallString when the registration is still there, else the folder's
    Uninstall.exe /AUTO /SILENT. Expects exit code 0 once everything has ended."""

    name = "run the uninstallation again (QuietUninstallString, else Uninstall.exe)"

    def __call__(self, context: Context):
        registry = context.registry()
        command = None
        if registry.has_key(PRODUCT_KEY):
            command = registry.values(PRODUCT_KEY).get("QuietUninstallString")
        if not command:
            command = f'"{FOLDER}Uninstall.exe" /AUTO /SILENT'
        print(f"    {command}")
        launched = context.driver.launch(command)
        exit_code = launched.wait(timeout=300)
        assert context.prefix.wait_until_idle(timeout=120), "a program is still running"
        assert exit_code == 0, f"exit code {exit_code}"


class Removed(State):
    name = "removed: no installed file, no folder emptied, no registration"

    def check(self, context: Context):
        demo = DemoProduct(context.build, big_setup_folder(context))
        folder = context.prefix.unix_path(FOLDER)
        # The settings file is written after the list of installed files is made.
        expected = {"ZELO.ini": None}
        found = files_under(folder)
        problems = differences(found, expected)
        listed = {relative for relative, _ in demo.installed_files(FOLDER)}
        problems += [f"installed file left: {r}" for r in sorted(listed & set(found))]
        empty = sorted(folders_under(folder) - parent_folders(expected))
        if empty:
            problems.append(f"folders left: {empty[:10]}")
        assert not problems, "\n    ".join([""] + problems[:20])
        assert not context.registry().has_key(PRODUCT_KEY), f"{PRODUCT_KEY} is still there"


@dataclass
class Case:
    name: str
    point: KillPoint


def killed_uninstall(case: Case) -> Scenario:
    arguments = "/AUTO /SILENT"
    return Scenario(
        name="killed_uninstall_" + case.name,
        description=f"installed in {FOLDER} -> Uninstall.exe {arguments} killed "
                    f"{case.point.label} -> run again -> removed",
        start=Clean(),
        steps=[
            (BuildBigSetup(PAGES), Clean()),
            (RunBigSetup(f"/AUTO={FOLDER} /SILENT"),
             Installed(FOLDER, demo_folder=big_setup_folder)),
            (RunAndKill(lambda _: f'"{FOLDER}Uninstall.exe" {arguments}', KILLED_LOG, case.point,
                        UNINSTALLER_NAMES, f"run {FOLDER}Uninstall.exe {arguments}"),
             UninstallerLeft()),
            (RunUninstallAgain(), Removed()),
        ],
    )


SCENARIOS = [killed_uninstall(case) for case in (
    Case("at_uninstall_integration", action_started("TInstallerActionUninstallIntegration")),
    Case("at_uninstall_files", action_started("TInstallerActionUninstallFiles")),
    Case("halfway_files", changes_within("TInstallerActionUninstallFiles",
                                         f"File deleted: {FOLDER}", PAGES // 2,
                                         "halfway through the installed files")),
)]
