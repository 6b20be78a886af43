"""The log an administrator asks for with /LOG, read line by line after an install, an update
and an uninstallation: what the run was asked and found, each action with its duration, every
file, registry value and program it touched, and its exit code. Without a file name the log
goes to the temporary folder under the next free number."""

import re

from e2e.harness.actions import RunProgram, RunSetup
from e2e.harness.demo import DemoProduct
from e2e.harness.old_installation import (LayOutOldInstallation, OldInstallation,
                                          OldInstallationInPlace)
from e2e.harness.scenario import Context, Scenario, State
from e2e.harness.setup_log import assert_in_order, read_entries
from e2e.harness.states import PRODUCT_KEY, AllOf, Clean, Installed

FOLDER = "C:\\Apps\\ZELO\\"
# In a folder that does not exist yet, with a blank in its name.
INSTALL_LOG = "C:\\Logs\\Deploy\\install log.txt"
UPDATE_LOG = "C:\\Logs\\update.txt"
UNINSTALL_LOG = "C:\\Logs\\uninstall.txt"


def ended(action: str):
    return re.compile(rf"Action ended: {action} after \d+\.\d{{3}} s")


def no_errors(entries):
    errors = [entry for entry in entries if entry.startswith("Error")]
    assert not errors, f"the log reports errors: {errors}"


class InstallLogged(State):
    name = f"{INSTALL_LOG} tells the whole install"

    def check(self, context: Context):
        entries = read_entries(context.prefix.unix_path(INSTALL_LOG))
        files = [FOLDER + relative
                 for relative, _ in DemoProduct(context.build).installed_files(FOLDER)]
        setup = context.downloads_folder() + "\\setup.exe"
        assert_in_order(entries, [
            f"Started: {setup}",
            f'Command line: /AUTO={FOLDER} /SILENT /LOG="{INSTALL_LOG}"',
            "Mode: install; options: AUTO SILENT",
            f"Destination: {FOLDER}",
            "Product: ZELO 5.00",
            "Installed version found: none",
            "Language: English",
            "Action started: TInstallerActionCloseApplications",
            ended("TInstallerActionCloseApplications"),
            "Action started: TInstallerActionPrepare", ended("TInstallerActionPrepare"),
            "Action started: TInstallerActionExtract",
            *[f"File written: {file}" for file in files],
            f"File copied: {setup} -> {FOLDER}Uninstall.exe",
            f"File written: {FOLDER}Uninstall.dat",
            f'Registry value written: {PRODUCT_KEY}: DisplayName = "ZELO"',
            f'Registry value written: {PRODUCT_KEY}: QuietUninstallString = '
            f'""{FOLDER}Uninstall.exe" /AUTO /SILENT /SUPPRESSMSGBOXES"',
            re.compile(rf"Registry value written: {re.escape(PRODUCT_KEY)}: EstimatedSize = \d+"),
            ended("TInstallerActionExtract"),
            "Action started: TInstallerActionConfig",
            f"File written: {FOLDER}ZELO.ini",
            ended("TInstallerActionConfig"),
            "Action started: TInstallerActionIntegrate",
            re.compile(rf'Process started: "{re.escape(FOLDER)}Elevator\.exe" .*'),
            ended("TInstallerActionIntegrate"),
            "Action started: TInstallerActionShortcuts",
            re.compile(r"File written: .*\\ZELO\.lnk"),
            ended("TInstallerActionShortcuts"),
            "Exit code: 0",
        ])
        assert entries[-1] == "Exit code: 0", entries[-1]
        no_errors(entries)


OLD = OldInstallation(4510, FOLDER)


class UpdateLogged(State):
    name = f"{UPDATE_LOG} tells the update: the version found, the backup, the old files"

    def check(self, context: Context):
        entries = read_entries(context.prefix.unix_path(UPDATE_LOG))
        assert_in_order(entries, [
            "Mode: update; options: AUTO SILENT UPDATE",
            f"Destination: {FOLDER}",
            "Installed version found: 4.51",
            "Action started: TInstallerActionPrepare",
            re.compile(rf"File written: {re.escape(FOLDER)}!Backup\\z Before install 5\.00 "
                       r"\[\d{4}\.\d\d\.\d\d \d\d-\d\d-\d\d\]\.zip"),
            f"File deleted: {FOLDER}OldReadme.txt",
            ended("TInstallerActionPrepare"),
            "Action started: TInstallerActionExtract",
            f"File written: {FOLDER}ZELO.exe",
            ended("TInstallerActionExtract"),
            "Exit code: 0",
        ])
        no_errors(entries)


class UninstallLogged(State):
    """Both processes write into the one log: the uninstaller in the folder, which hands over,
    and its copy in the temporary folder, which does the work."""

    name = f"{UNINSTALL_LOG} tells the uninstallation from both of its processes"

    def check(self, context: Context):
        entries = read_entries(context.prefix.unix_path(UNINSTALL_LOG))
        temp = f"C:\\users\\{context.prefix.user_name()}\\Temp\\"
        # The copy runs from a folder of its own in Temp, named with 16 random digits.
        copy = re.escape(temp) + r"Uninstall-[0-9a-f]{16}\\Uninstall\.exe"
        assert_in_order(entries, [
            f"Started: {FOLDER}Uninstall.exe",
            "Mode: uninstall; options: AUTO SILENT SUPPRESSMSGBOXES",
            re.compile(rf"File copied: {re.escape(FOLDER)}Uninstall\.exe -> {copy}"),
            re.compile(rf'Process started: "{copy}" /PATH=.*'),
            re.compile(rf"Started: {copy}"),
            f"Destination: {FOLDER}",
            "Action started: TInstallerActionUninstallIntegration",
            f"Registry key deleted: {PRODUCT_KEY}",
            "Action started: TInstallerActionUninstallFiles",
            f"File deleted: {FOLDER}ZELO.exe",
            ended("TInstallerActionUninstallFiles"),
            "Exit code: 0",
        ])
        assert entries.count("Exit code: 0") == 2, "each process logs its exit code"
        no_errors(entries)


class DefaultLogsNumbered(State):
    name = "/LOG without a name: \"Setup Log yyyy-mm-dd #001.txt\", then #002, in Temp"

    def check(self, context: Context):
        temp = context.prefix.unix_path(f"C:\\users\\{context.prefix.user_name()}\\Temp")
        logs = sorted(path.name for path in temp.iterdir() if path.name.startswith("Setup Log "))
        assert len(logs) == 2, logs
        assert re.fullmatch(r"Setup Log \d{4}-\d\d-\d\d #001\.txt", logs[0]), logs
        assert logs[1] == logs[0].replace("#001", "#002"), logs
        for name in logs:
            entries = read_entries(temp / name)
            assert entries[-1] in ("Exit code: 0",), entries[-1]


SCENARIOS = [
    Scenario(
        name="deployment_log_install_uninstall",
        description="clean -> setup /LOG=file -> log checked -> Uninstall.exe /LOG=file -> both "
                    "processes logged",
        start=Clean(),
        steps=[
            (RunSetup("demo/setup.exe", f'/AUTO={FOLDER} /SILENT /LOG="{INSTALL_LOG}"'),
             AllOf(Installed(FOLDER), InstallLogged())),
            (RunProgram(FOLDER + "Uninstall.exe",
                        f'/AUTO /SILENT /SUPPRESSMSGBOXES /LOG="{UNINSTALL_LOG}"'),
             UninstallLogged()),
        ],
    ),
    Scenario(
        name="deployment_log_update",
        description="4.51 installed -> setup /LOG=file -> the update logged",
        start=Clean(),
        steps=[
            (LayOutOldInstallation(OLD), OldInstallationInPlace(OLD)),
            (RunSetup("demo/setup.exe", f'/AUTO={FOLDER} /SILENT /LOG="{UPDATE_LOG}"'),
             UpdateLogged()),
        ],
    ),
    Scenario(
        name="deployment_log_default_name",
        description="setup /LOG twice -> two numbered logs in the temporary folder",
        start=Clean(),
        steps=[
            (RunSetup("demo/setup.exe", f"/AUTO={FOLDER} /SILENT /LOG"), Installed(FOLDER)),
            (RunSetup("demo/setup.exe", f"/AUTO={FOLDER} /SILENT -log"), DefaultLogsNumbered()),
        ],
    ),
]
