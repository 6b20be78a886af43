"""Unattended update of an older installation while the player runs (/AUTO=<folder> /SILENT):
the player is closed first; everything of the old installation goes into one backup archive,
the caches excepted; the folders an update keeps survive, obsolete plug-ins and files go;
the profile is migrated (copied to the new folder, files renamed, dropped caches deleted);
older backups are pruned to three; the integration choices are kept; 3.x leftovers
(registration, shortcuts) are removed, later versions' shortcuts stay. One case per version
that can be found in the field, and the portable kind."""

from e2e.harness import backup_archive, ini
from e2e.harness.actions import RunSetupTimed
from e2e.harness.demo import DemoProduct
from e2e.harness.old_installation import (CACHE_FILE_NAMES, KEPT_FOLDERS, OBSOLETE_PLUGINS,
                                          LayOutOldInstallation, OldInstallation,
                                          OldInstallationInPlace)
from e2e.harness.running_programs import PlayerClosedBySetup, PlayerRunning, StartPlayerIn
from e2e.harness.scenario import Context, Scenario, State
from e2e.harness.states import UNINSTALL_KEY, Clean, Installed
from e2e.harness.tree import differences, files_under, folders_under, parent_folders

NEW_VERSION = "5.00"
PLAYER_WINDOWS = ["TZELOMainForm", "TZELOConverterMainForm"]
OBSOLETE_SYSTEM_FILE = "C:\\windows\\system32\\OptimFROG.dll"

# Renamed in the profile by an update from 3.x.
RENAMED_FROM_3 = {"ZELO3-cat.db": "ZELO-cat.db", "zelo3_menu.ini": "ZELO-ContextMenu.ini",
                  "ZELO3.ini": "ZELO.ini", "ZELO3ac.ini": "ZELOac.ini",
                  "ZELO3ate.ini": "ZELOate.ini"}
DELETED_FROM_3 = ("ZELO3-SkinLayout.ini", "ZELO3.bak", "ZELO3ac.bak", "ZELO3ate.bak")


def file_name(relative: str) -> str:
    return relative.rsplit("\\", 1)[-1]


def migrated_profile(old: OldInstallation) -> dict:
    """What the profile folder of the new version must hold after the update."""
    profile = dict(old.profile_files())
    if old.version < 4000:
        for name in DELETED_FROM_3:
            profile.pop(name, None)
        for source, target in RENAMED_FROM_3.items():
            if source in profile:
                profile[target] = profile.pop(source)
    if old.version < 4600:
        profile.pop("AlbumArts.db", None)
    if old.version < 5020:
        profile.pop("AlbumArtCache.db", None)
        profile["AlbumArts.Custom.db"] = profile.pop("AlbumArtsForURLs.db")
    return profile


def kept_program_files(old: OldInstallation, player: bytes) -> dict:
    kept = {}
    for relative, content in old.program_files(player).items():
        if not relative.startswith(KEPT_FOLDERS):
            continue
        obsolete = [folder for folder, dropped_in in OBSOLETE_PLUGINS.items()
                    if relative.startswith(folder) and (dropped_in is None
                                                         or old.version < dropped_in)]
        ember = relative in ("Skins\\Ember Noir.qsk4", "Skins\\Noir Ember.qsk4")
        if not obsolete and not (ember and old.version < 4500):
            kept[relative] = content
    return kept


def archived_files(old: OldInstallation, player: bytes, user: str) -> dict:
    """{archive name: content} of everything the update must back up."""
    program = {r: c for r, c in old.program_files(player).items()
               if file_name(r) not in CACHE_FILE_NAMES}
    profile = {r: c for r, c in old.profile_files().items()
               if file_name(r) not in CACHE_FILE_NAMES}
    if old.portable:
        return {**program, **{"Profile\\" + r: c for r, c in profile.items()}}
    return {**{f"Profiles\\{user}\\" + r: c for r, c in profile.items()},
            **{"Program\\" + r: c for r, c in program.items()}}


class PlaceObsoleteSystemFile(LayOutOldInstallation):
    """The layout, plus a codec library earlier versions put into the system folder."""

    def __call__(self, context: Context):
        super().__call__(context)
        path = context.prefix.unix_path(OBSOLETE_SYSTEM_FILE)
        path.write_bytes(b"MZ an old codec library")


class Updated(State):
    def __init__(self, old: OldInstallation):
        self.old = old
        self.name = f"updated from {old.name}: backed up, migrated, cleaned, kept"

    def check(self, context: Context):
        old = self.old
        user = context.prefix.user_name()
        demo = DemoProduct(context.build)
        player = (context.build / "demo" / "product" / "ZELO.exe").read_bytes()
        folder = context.prefix.unix_path(old.folder)
        problems = []

        # The backup archive of this run, and the three archives left in all.
        backups = folder / "!Backup"
        archive = backup_archive.find_new_archive(backups, NEW_VERSION, context.run_started,
                                                  context.run_ended)
        backup_archive.check_archive(archive, archived_files(old, player, user))
        old_names = sorted(old.old_backups())
        left = backup_archive.archives(backups)
        if left != sorted(old_names[-2:] + [archive.name]):
            problems.append(f"backups left: {left}, expected the two newest old ones and "
                            f"{archive.name}")

        # The program folder holds the new version, what an update keeps, and nothing else.
        expected = {relative: content for relative, content in demo.installed_files(old.folder)}
        expected.update({"Uninstall.exe": None, "Uninstall.dat": None, "ZELO.ini": None})
        expected.update(kept_program_files(old, player))
        expected.update({"!Backup\\" + name: None for name in left})
        profile = migrated_profile(old)
        if old.portable:
            expected.update({"Profile\\" + r: c for r, c in profile.items()})
        found = files_under(folder)
        problems += differences(found, expected)
        empty = sorted(folders_under(folder) - parent_folders(expected))
        if empty:
            problems.append(f"folders left empty: {empty}")

        # Settings: the new version's mode, language and number; the old integration choices.
        sections = ini.sections(found.get("ZELO.ini", b""))
        system = sections.get("System")
        wanted_system = [("UserMode", "0" if old.portable else "1"),
                         ("DefaultLang", "English.lng"), ("Version", "5000")]
        if system != wanted_system:
            problems.append(f"ZELO.ini [System] is {system}, expected {wanted_system}")
        if sections.get("Integration") != old.integration:
            problems.append(f"ZELO.ini [Integration] is {sections.get('Integration')}, "
                            f"expected {old.integration}")

        if not old.portable:
            new_profile = f"C:\\users\\{user}\\AppData\\Roaming\\ZELO\\"
            problems += [f"profile {p}" for p in differences(
                files_under(context.prefix.unix_path(new_profile)), profile)]
            old_profile = context.prefix.unix_path(old.profile_folder(user))
            if old.version < 4000 and old_profile.exists():
                problems.append(f"the 3.x profile is still there: {files_under(old_profile)}")

        if context.prefix.unix_path(OBSOLETE_SYSTEM_FILE).exists():
            problems.append(f"{OBSOLETE_SYSTEM_FILE} was not removed")
        for shortcut in old.shortcuts(user):
            exists = context.prefix.unix_path(shortcut).exists()
            if exists and old.version < 4000:
                problems.append(f"the 3.x shortcut {shortcut} is still there")
            if not exists and old.version >= 4000:
                problems.append(f"the shortcut {shortcut} was removed by an update")
        if context.demo_log("Elevator"):
            problems.append(f"Elevator.exe ran on an update: {context.demo_log('Elevator')}")
        assert not problems, "\n    ".join([""] + problems)

        PlayerClosedBySetup(PLAYER_WINDOWS).check(context)
        Installed(old.folder, registered=not old.portable).check(context)
        registry = context.registry()
        if old.version < 4000:
            assert not registry.has_key(UNINSTALL_KEY + "\\ZELO3"), \
                "the 3.x uninstall registration is still there"


def update_case(old: OldInstallation) -> Scenario:
    return Scenario(
        name="update_from_" + old.name.replace(" ", "_"),
        description=f"{old.name} in {old.folder}, player running -> setup.exe "
                    f"/AUTO={old.folder} /SILENT -> updated",
        start=Clean(),
        steps=[
            (PlaceObsoleteSystemFile(old), OldInstallationInPlace(old)),
            (StartPlayerIn(old.folder, "/window=TZELOConverterMainForm"),
             PlayerRunning(PLAYER_WINDOWS)),
            (RunSetupTimed("demo/setup.exe", f"/AUTO={old.folder} /SILENT"), Updated(old)),
        ],
    )


SCENARIOS = [update_case(old) for old in (
    OldInstallation(3600, "C:\\Apps\\ZELO\\"),
    OldInstallation(4510, "C:\\Apps\\ZELO\\"),
    OldInstallation(5020, "C:\\Apps\\ZELO\\"),
    OldInstallation(3600, "C:\\Portable\\ZELO\\", portable=True),
)]
