"""An installation, used for a while (a skin and a playlist of the user's own in the program
folder, a profile, an old backup), removed silently with the uninstaller its own folder holds
(Uninstall.exe /AUTO /SILENT): every listed file goes and every folder left empty with it;
the backups go too (an automatic run removes them); the uninstall registration, the
shortcuts and the shell integration are gone; the user's profile and files stay, and so does
the settings file, which is written after the list of installed files is made, and with it
the program folder. The process started ends only once all of this is done."""

from e2e.harness.actions import RunSetup, RunUninstaller
from e2e.harness.demo import DemoProduct
from e2e.harness.demo_programs import NotIntegrated
from e2e.harness.old_installation import COMMON_DESKTOP, COMMON_PROGRAMS, tiny_zip
from e2e.harness.scenario import Action, Context, Scenario, State
from e2e.harness.states import PRODUCT_KEY, Clean, Installed
from e2e.harness.tree import differences, files_under, folders_under, parent_folders

FOLDER = "C:\\Program Files\\ZELO\\"

USER_FILES = {
    "Skins\\Mine.zsk": b"a skin the user made",
    "Playlists\\Party.m3u8": b"#EXTM3U\r\n",
}
BACKUP = "!Backup\\z Before install 4.51 [2024.03.05 14-07-09].zip"
PROFILE_FILES = {"ZELO.ini": b"[Player]\r\nVolume=70\r\n", "Playlists\\Default.m3u8": b"#"}


def profile_folder(context: Context) -> str:
    return f"C:\\users\\{context.prefix.user_name()}\\AppData\\Roaming\\ZELO\\"


def write_files(context: Context, folder: str, files: dict):
    for relative, content in files.items():
        path = context.prefix.unix_path(folder + relative)
        path.parent.mkdir(parents=True, exist_ok=True)
        path.write_bytes(content)


class UseThePlayer(Action):
    name = "the user adds a skin, a playlist and a profile; an old backup lies in !Backup"

    def __call__(self, context: Context):
        write_files(context, FOLDER, USER_FILES)
        write_files(context, FOLDER, {BACKUP: tiny_zip("Program/ZELO.exe", b"MZ old")})
        write_files(context, profile_folder(context), PROFILE_FILES)


class InUse(State):
    name = "installed, with the user's files"

    def check(self, context: Context):
        Installed(FOLDER).check(context)
        assert context.prefix.unix_path(FOLDER + BACKUP).is_file()


class Removed(State):
    name = "removed; the user's files, the profile and ZELO.ini stay"

    def check(self, context: Context):
        demo = DemoProduct(context.build)
        folder = context.prefix.unix_path(FOLDER)
        settings = b"\xff\xfe" + ("[System]\r\nUserMode=1\r\nDefaultLang=English.lng\r\n"
                                  "Version=5000\r\n\r\n").encode("utf-16-le")
        expected = {**USER_FILES, "ZELO.ini": settings}
        found = files_under(folder)
        problems = differences(found, expected)
        listed = [relative for relative, _ in demo.installed_files(FOLDER)]
        problems += [f"listed file left: {r}" for r in listed if r in found]
        empty = sorted(folders_under(folder) - parent_folders(expected))
        if empty:
            problems.append(f"folders left: {empty}")
        problems += [f"profile {p}" for p in differences(
            files_under(context.prefix.unix_path(profile_folder(context))), PROFILE_FILES)]
        for place in (COMMON_DESKTOP + "ZELO.lnk", COMMON_PROGRAMS + "ZELO"):
            if context.prefix.unix_path(place).exists():
                problems.append(f"shortcut left: {place}")
        elevator = context.demo_log("Elevator")
        if elevator[-1:] != ["/REG=U => 0"]:
            problems.append(f"Elevator.exe /REG=U did not run last: {elevator}")
        menu = context.demo_log("zelo_menu64")
        if menu[-1:] != ["DllUnregisterServer => 0x00000000"]:
            problems.append(f"the shell menu was not unregistered: {menu}")
        assert not problems, "\n    ".join([""] + problems)
        registry = context.registry()
        assert not registry.has_key(PRODUCT_KEY), f"{PRODUCT_KEY} is still there"
        NotIntegrated(owners={}).check(context)


SCENARIO = Scenario(
    name="uninstall_silent",
    description=f"installed in {FOLDER} and used -> Uninstall.exe /AUTO /SILENT -> removed",
    start=Clean(),
    steps=[
        (RunSetup("demo/setup.exe", f'/AUTO="{FOLDER}" /SILENT'), Installed(FOLDER)),
        (UseThePlayer(), InUse()),
        (RunUninstaller(FOLDER, "/AUTO /SILENT",
                        watched=[FOLDER + "ZELO.exe", FOLDER + "Help\\Help.txt", FOLDER + BACKUP,
                                 FOLDER + "Uninstall.dat"]),
         Removed()),
    ],
)
