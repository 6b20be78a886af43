"""An unattended update of an older installation (/AUTO=<folder> /SILENT), killed without
warning at one moment of its run, then started again with the same command. Right after the
kill nothing of the old installation may be lost: each of its files is in place, in a complete
backup archive, or one the new version replaces. The run started again ends with exit code 0
and leaves what one uninterrupted update leaves: the new version installed and registered, what
an update keeps kept, the profile migrated, the old integration choices in force, no file under
a temporary name, no unfinished archive, and every old file in a backup. One case per moment:
each boundary between the actions, and halfway through the backup, the deletion of the old
files and the extraction of the new ones."""

import zipfile
from dataclasses import dataclass

from e2e.harness import ini
from e2e.harness.big_setup import (BuildBigSetup, big_setup_command, big_setup_folder)
from e2e.harness.demo import DemoProduct, clean_path
from e2e.harness.killing import KillPoint, RunAndKill, action_started, changes_within
from e2e.harness.old_installation import (CACHE_FILE_NAMES, LayOutOldInstallation,
                                          OldInstallation, OldInstallationInPlace)
from e2e.harness.scenario import Action, Context, Scenario, State
from e2e.harness.states import UNINSTALL_KEY, Clean, Installed
from e2e.harness.tree import differences, files_under
from e2e.scenarios.update_from_older import kept_program_files, migrated_profile

TIMEOUT = 1200

FOLDER = "C:\\Apps\\ZELO\\"
# Enough files that the backup, the deletion and the extraction each last about a second.
OLD_PAGES = 1500
NEW_PAGES = 1500
KILLED_LOG = "C:\\Logs\\killed.txt"
RERUN_LOG = "C:\\Logs\\again.txt"
ARGUMENTS = f"/AUTO={FOLDER} /SILENT"
SETUP_NAMES = ("setup.exe",)


def player(context: Context) -> bytes:
    return (context.build / "demo" / "product" / "ZELO.exe").read_bytes()


def file_name(relative: str) -> str:
    return relative.rsplit("\\", 1)[-1]


def complete_archives(context: Context, old: OldInstallation):
    """{(entry name with backslashes, bytes)} of every backup in "!Backup\\" that is a whole
    ZIP archive, and the names of the files there that are not."""
    entries = set()
    broken = []
    folder = context.prefix.unix_path(old.folder + "!Backup")
    for path in sorted(folder.iterdir()) if folder.is_dir() else []:
        try:
            with zipfile.ZipFile(path) as archive:
                for info in archive.infolist():
                    entries.add((info.filename.replace("/", "\\"), archive.read(info)))
        except (zipfile.BadZipFile, OSError):
            broken.append(path.name)
    return entries, broken


def old_files(context: Context, old: OldInstallation):
    """(Windows path, name in a backup, bytes, in the profile) of every file of the old
    installation that a backup must hold: the caches excepted."""
    user = context.prefix.user_name()
    files = []
    for relative, content in old.program_files(player(context)).items():
        if file_name(relative) not in CACHE_FILE_NAMES:
            files.append((old.folder + relative,
                          relative if old.portable else "Program\\" + relative, content, False))
    profile = old.profile_folder(user)
    for relative, content in old.profile_files().items():
        if file_name(relative) not in CACHE_FILE_NAMES:
            saved = ("Profile\\" if old.portable else f"Profiles\\{user}\\") + relative
            files.append((profile + relative, saved, content, True))
    return files


def profile_contents(context: Context, old: OldInstallation) -> set:
    """The bytes of every file in the old and the new profile folder: a migrated profile file
    may be there under its new name."""
    user = context.prefix.user_name()
    folders = {old.profile_folder(user), f"C:\\users\\{user}\\AppData\\Roaming\\ZELO\\"}
    return {content for folder in folders
            for content in files_under(context.prefix.unix_path(folder)).values()}


def lost_files(context: Context, old: OldInstallation, replaced_ones_count: bool):
    """The old files that are neither in place, nor in a complete archive, nor (when
    `replaced_ones_count`) replaced by a file of the new package."""
    archived, _ = complete_archives(context, old)
    in_profiles = profile_contents(context, old)
    demo = DemoProduct(context.build, big_setup_folder(context))
    replaced = {clean_path(c.destination.replace("$DEST", old.folder)).upper()
                for c in demo.components()}
    lost = []
    for path, saved, content, in_profile in old_files(context, old):
        unix = context.prefix.unix_path(path)
        if unix.is_file() and unix.read_bytes() == content:
            continue
        if in_profile and content in in_profiles:
            continue
        if (saved, content) in archived:
            continue
        if replaced_ones_count and path.upper() in replaced:
            continue
        lost.append(path)
    return lost


class NothingLost(State):
    """Right after the kill: every old file is in place, in a complete backup, or about to be
    replaced."""

    def __init__(self, old: OldInstallation):
        self.old = old
        self.name = "every old file in place, in a complete backup or being replaced"

    def check(self, context: Context):
        lost = lost_files(context, self.old, replaced_ones_count=True)
        assert not lost, f"{len(lost)} old files are nowhere: {lost[:10]}"


class UpdateCompleted(State):
    """What one uninterrupted update leaves, and every old file saved in a backup."""

    def __init__(self, old: OldInstallation):
        self.old = old
        self.name = f"updated from {old.name} as if never interrupted"

    def check(self, context: Context):
        old = self.old
        user = context.prefix.user_name()
        Installed(old.folder, registered=not old.portable,
                  demo_folder=big_setup_folder).check(context)
        folder = context.prefix.unix_path(old.folder)
        found = files_under(folder)
        problems = []

        kept = kept_program_files(old, player(context))
        problems += [f"kept file {p}" for p in differences(
            {r: c for r, c in found.items() if r in kept}, kept)]
        sections = ini.sections(found.get("ZELO.ini", b""))
        wanted_system = [("UserMode", "0" if old.portable else "1"),
                         ("DefaultLang", "English.lng"), ("Version", "5000")]
        if sections.get("System") != wanted_system:
            problems.append(f"ZELO.ini [System] is {sections.get('System')}")
        if sections.get("Integration") != old.integration:
            problems.append(f"ZELO.ini [Integration] is {sections.get('Integration')}, "
                            f"not the old choices {old.integration}")
        if not old.portable:
            profile = f"C:\\users\\{user}\\AppData\\Roaming\\ZELO\\"
            problems += [f"profile {p}" for p in differences(
                files_under(context.prefix.unix_path(profile)), migrated_profile(old))]

        temporary = sorted(name for name in found if file_name(name).startswith("~"))
        if temporary:
            problems.append(f"files under a temporary name: {temporary}")
        _, broken = complete_archives(context, old)
        if broken:
            problems.append(f"in !Backup, not a complete archive: {broken}")
        archives = [name for name in found if name.startswith("!Backup\\")]
        if len(archives) > 3:
            problems.append(f"more than three backups: {archives}")
        lost = lost_files(context, old, replaced_ones_count=False)
        if lost:
            problems.append(f"{len(lost)} old files in no backup: {lost[:10]}")

        # An update neither integrates nor makes shortcuts; from 4.x it leaves the old ones.
        if context.demo_log("Elevator"):
            problems.append(f"Elevator.exe ran: {context.demo_log('Elevator')}")
        for shortcut in old.shortcuts(user):
            path = context.prefix.unix_path(shortcut)
            still_old = path.is_file() and path.read_bytes() == b"an old shortcut"
            if old.version >= 4000 and not still_old:
                problems.append(f"the shortcut {shortcut} was replaced or removed")
            if old.version < 4000 and path.exists():
                problems.append(f"the 3.x shortcut {shortcut} is still there")
        assert not problems, "\n    ".join([""] + problems)
        if old.version < 4000:
            assert not context.registry().has_key(UNINSTALL_KEY + "\\ZELO3"), \
                "the 3.x uninstall registration is still there"


class RunSetupAgain(Action):
    name = f"run the same setup.exe {ARGUMENTS} again"

    def __call__(self, context: Context):
        launched = context.driver.launch(
            f'{big_setup_command(context)} {ARGUMENTS} /LOG="{RERUN_LOG}"')
        exit_code = launched.wait(timeout=300)
        assert exit_code == 0, f"exit code {exit_code}; see {RERUN_LOG} in the prefix"


def backup_halfway(old: OldInstallation) -> KillPoint:
    """Once the archive being written holds half of the files to save (its entries' local
    headers counted as it grows), whatever name it is written under."""
    start = f"File written: {old.folder}!Backup\\"
    header = b"PK\x03\x04"
    seen = {"file": None, "offset": 0, "tail": b"", "headers": 0}

    def reached(entries, context):
        written = [entry[len("File written: "):] for entry in entries if entry.startswith(start)]
        if not written:
            return False
        if seen["file"] != written[0]:
            seen.update(file=written[0], offset=0, tail=b"", headers=0)
        try:
            with open(context.prefix.unix_path(written[0]), "rb") as archive:
                archive.seek(seen["offset"])
                data = archive.read()
        except OSError:
            return False
        seen["offset"] += len(data)
        # A header split between two reads is counted once it is whole.
        data = seen["tail"] + data
        seen["headers"] += data.count(header)
        seen["tail"] = data[-(len(header) - 1):]
        return seen["headers"] >= OLD_PAGES // 2

    return KillPoint("halfway through the backup", reached)


def old_profile_starts_to_go(old: OldInstallation) -> KillPoint:
    """As the first file of the installed version's profile is deleted: after the profile was
    migrated, before the old one is gone."""

    def reached(entries, context):
        prefix = "File deleted: " + old.profile_folder(context.prefix.user_name())
        return any(entry.startswith(prefix) for entry in entries)

    return KillPoint("as the old profile starts to go", reached)


@dataclass
class Case:
    name: str
    old: OldInstallation
    point: KillPoint


def killed_update(case: Case) -> Scenario:
    old = case.old
    return Scenario(
        name="killed_update_" + case.name,
        description=f"{old.name} in {old.folder} -> setup.exe {ARGUMENTS} killed "
                    f"{case.point.label} -> the same again -> updated",
        start=Clean(),
        steps=[
            (LayOutOldInstallation(old), OldInstallationInPlace(old)),
            (BuildBigSetup(NEW_PAGES), OldInstallationInPlace(old)),
            (RunAndKill(lambda context: f"{big_setup_command(context)} {ARGUMENTS}", KILLED_LOG,
                        case.point, SETUP_NAMES, f"run setup.exe {ARGUMENTS}"),
             NothingLost(old)),
            (RunSetupAgain(), UpdateCompleted(old)),
        ],
    )


OLD_451 = OldInstallation(4510, FOLDER, extra_files=OLD_PAGES)
OLD_360 = OldInstallation(3600, FOLDER, extra_files=OLD_PAGES)

SCENARIOS = [killed_update(case) for case in (
    Case("at_close_applications", OLD_451, action_started("TInstallerActionCloseApplications")),
    Case("at_prepare", OLD_451, action_started("TInstallerActionPrepare")),
    Case("halfway_backup", OLD_451, backup_halfway(OLD_451)),
    Case("halfway_deletion", OLD_451,
         changes_within("TInstallerActionPrepare", f"File deleted: {FOLDER}", OLD_PAGES // 2,
                        "halfway through the deletion of the old files")),
    Case("at_extract", OLD_451, action_started("TInstallerActionExtract")),
    Case("halfway_extraction", OLD_451,
         changes_within("TInstallerActionExtract", f"File written: {FOLDER}Docs\\",
                        NEW_PAGES // 2, "halfway through the extraction")),
    Case("at_config", OLD_451, action_started("TInstallerActionConfig")),
    Case("at_shell_cache", OLD_451, action_started("TInstallerActionUpdateShellCache")),
    Case("from_3_60_as_old_profile_goes", OLD_360, old_profile_starts_to_go(OLD_360)),
)]
