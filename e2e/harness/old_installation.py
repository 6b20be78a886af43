"""Older installations of the player, laid out by the test itself the way those versions left
them: the program folder with its configuration, kept and obsolete plug-in folders, skins,
icons and data; the user's profile (per user in the application-data folder, or "Profile\\"
inside a portable installation); earlier backup archives; the uninstall registration and the
shortcuts an installation of that version made.

Every file gets content of its own, so that a check can tell which file went where.
"""

import io
import zipfile
from dataclasses import dataclass, field

from .scenario import Action, Context, State

UNINSTALL_KEY = r"HKEY_LOCAL_MACHINE\Software\Microsoft\Windows\CurrentVersion\Uninstall"
COMMON_DESKTOP = "C:\\users\\Public\\Desktop\\"
COMMON_START_MENU = "C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\"
COMMON_PROGRAMS = COMMON_START_MENU + "Programs\\"

# Removed from the backup (but deleted all the same): caches the player rebuilds by itself.
CACHE_FILE_NAMES = ("AlbumArts.cache", "AlbumArts.db", "AlbumArtsCache.db", "AlbumArtCache.db",
                    "UpdateInstaller.exe")

# Plug-in folders later versions no longer ship, with the first version that dropped them
# (None: dropped by every version being installed).
OBSOLETE_PLUGINS = {
    "Plugins\\zelo_Cirrow\\": 4002, "Plugins\\zelo_Handova\\": 4002, "Plugins\\Crestica\\": 4002,
    "Plugins\\Shuvelle\\": 4002, "Plugins\\Blendrix\\": 4002, "Plugins\\Vessora\\": 4699,
    "Plugins\\zelo_Tessaline\\": 5030, "Plugins\\zelo_Tallyo\\": None,
    "Plugins\\zelo_Tagwell\\": None,
}

# Folders an update leaves as they are.
KEPT_FOLDERS = ("Plugins\\", "Icons\\", "System\\Data\\", "System\\Encoders\\", "Skins\\")

OLD_BACKUPS = 5


def user_folders(user: str):
    profile = f"C:\\users\\{user}\\"
    return {
        "app_data": profile + "AppData\\Roaming\\",
        "desktop": profile + "Desktop\\",
        "start_menu": profile + "AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\",
    }


def version_text(version: int) -> str:
    return f"{version // 1000}.{version % 1000 // 10:02d}"


def ini_text(sections) -> str:
    lines = []
    for name, entries in sections:
        lines.append(f"[{name}]")
        lines += [f"{key}={value}" for key, value in entries]
        lines.append("")
    return "\r\n".join(lines) + "\r\n"


def tiny_zip(name: str, content: bytes) -> bytes:
    buffer = io.BytesIO()
    with zipfile.ZipFile(buffer, "w", zipfile.ZIP_DEFLATED) as archive:
        archive.writestr(name, content)
    return buffer.getvalue()


@dataclass
class OldInstallation:
    """An installation of `version` (3600 is 3.60) in `folder`; portable or per user."""

    version: int
    folder: str
    portable: bool = False
    # What the installation's configuration holds in "Integration", kept by an update.
    integration: list = field(default_factory=lambda: [
        ("IntegrateToWindows", "1"), ("RegisterContextMenu", "0"), ("AssociateWithFiles", "1"),
        ("ShortcutDesktop", "0"), ("ShortcutStartMenu", "1")])

    # More files of the program folder (manual pages), each of its own content: enough of them
    # make the backup and the deletion last long enough to be caught halfway.
    extra_files: int = 0

    def __post_init__(self):
        self.folder = self.folder.rstrip("\\") + "\\"

    @property
    def name(self) -> str:
        return f"{version_text(self.version)}{' portable' if self.portable else ''}"

    @property
    def config_name(self) -> str:
        return "ZELO3.ini" if self.version < 4000 else "ZELO.ini"

    def profile_folder(self, user: str) -> str:
        """The installed version's profile folder (Windows path, trailing backslash)."""
        if self.portable:
            return self.folder + "Profile\\"
        name = "ZELO3" if self.version < 4000 else "ZELO"
        return user_folders(user)["app_data"] + name + "\\"

    def config(self) -> bytes:
        text = ini_text([
            ("System", [("UserMode", "0" if self.portable else "1"),
                        ("Version", str(self.version)), ("DefaultLang", "Russian.lng"),
                        ("LastSkin", "Old.zsk")]),
            ("Integration", self.integration),
            ("Player", [("Volume", "80")]),
        ])
        # 3.x wrote its settings in the ANSI code page, later versions in UTF-16.
        return text.encode("cp1252") if self.version < 4000 else text.encode("utf-16")

    def program_files(self, player: bytes):
        """{path relative to the folder: content} of the program folder, profile and backups
        excepted. `player` is the program that stands in for the old ZELO.exe."""
        files = {
            "ZELO.exe": player,
            self.config_name: self.config(),
            "Changes.txt": b"Changes of the old version\r\n",
            "OldReadme.txt": b"read me, from the old version\r\n",
            "UpdateInstaller.exe": b"MZ old update helper",
            "Langs\\English.lng": b"[File]\r\nFamily=EN\r\n; old\r\n",
            "Langs\\Old.lng": b"[File]\r\nFamily=XX\r\n",
            "Plugins\\zelo_aac.dll": b"MZ aac plug-in",
            "Icons\\mp3.ico": b"\0\0\1\0 old icon",
            "Skins\\Old.zsk": b"old skin",
            "Skins\\Ember Noir.qsk4": b"ember noir",
            "Skins\\Noir Ember.qsk4": b"noir ember",
            "System\\Data\\genres.dat": b"genres",
            "System\\Encoders\\encoder.exe": b"MZ encoder",
            "System\\zelo_old.dll": b"MZ old library",
        }
        for folder in OBSOLETE_PLUGINS:
            plug_in = folder.rstrip("\\").rsplit("\\", 1)[1]
            files[folder + plug_in + ".dll"] = f"MZ {plug_in}".encode()
            files[folder + "settings.ini"] = f"[{plug_in}]\r\n".encode()
        for number in range(self.extra_files):
            files[f"Manual\\page{number:04d}.txt"] = \
                "".join(f"{self.name}, page {number}, line {line}\r\n"
                        for line in range(40)).encode()
        return files

    def profile_files(self):
        """{path relative to the profile folder: content}."""
        if self.version < 4000:
            names = ["ZELO3.ini", "ZELO3-cat.db", "zelo3_menu.ini", "ZELO3ac.ini", "ZELO3ate.ini",
                     "ZELO3-SkinLayout.ini", "ZELO3.bak", "ZELO3ac.bak", "ZELO3ate.bak"]
        else:
            names = ["ZELO.ini", "ZELO-cat.db", "ZELO-ContextMenu.ini", "ZELOac.ini"]
        names += ["AlbumArts.db", "AlbumArtCache.db", "AlbumArtsCache.db", "AlbumArts.cache",
                  "AlbumArtsForURLs.db", "Playlists\\Любимое.m3u8", "Playlists\\Default.m3u8"]
        return {name: f"{self.name} profile: {name}".encode("utf-8") for name in names}

    def old_backups(self):
        """{archive name: content} of the archives earlier runs left in "!Backup\\"."""
        return {f"z Before install {version_text(self.version)} [2021.0{n}.01 10-00-00].zip":
                tiny_zip("Program/OldReadme.txt", f"backup {n}".encode())
                for n in range(1, OLD_BACKUPS + 1)}

    def shortcuts(self, user: str):
        """Shortcut files (Windows paths) an installation of this version made; an update from
        3.x removes them, later updates leave them alone."""
        if self.portable:
            return []
        name = "ZELO3" if self.version < 4000 else "ZELO"
        folders = user_folders(user)
        return [folders["desktop"] + name + ".lnk", COMMON_DESKTOP + name + ".lnk",
                folders["start_menu"] + name + "\\" + name + ".lnk",
                COMMON_PROGRAMS + name + "\\" + name + ".lnk",
                COMMON_START_MENU + name + "\\" + name + ".lnk"]

    def uninstall_key_name(self):
        if self.portable:
            return None
        return "ZELO3" if self.version < 4000 else "ZELO"

    def registration(self) -> str:
        """The uninstall registration as a .reg file, empty for a portable installation."""
        key = self.uninstall_key_name()
        if key is None:
            return ""

        def quoted(text):
            return '"' + text.replace("\\", "\\\\").replace('"', '\\"') + '"'

        exe = self.folder + "Uninstall.exe"
        values = [("DisplayName", quoted("ZELO")), ("DisplayVersion", quoted(self.name)),
                  ("DisplayIcon", quoted(exe)), ("InstallPath", quoted(self.folder)),
                  ("UninstallString", quoted(exe)), ("Publisher", quoted("ZELO Team")),
                  ("NoModify", "dword:00000001"), ("NoRepair", "dword:00000001")]
        lines = ["Windows Registry Editor Version 5.00", "", f"[{UNINSTALL_KEY}\\{key}]"]
        lines += [f"{quoted(name)}={value}" for name, value in values]
        return "\r\n".join(lines) + "\r\n"


class LayOutOldInstallation(Action):
    """Writes an OldInstallation into the prefix: its files, profile, old backups, shortcuts
    and registration. The player stand-in is the demo player, so that it can run."""

    def __init__(self, installation: OldInstallation):
        self.installation = installation
        self.name = f"an installation of {installation.name} in {installation.folder}"

    def __call__(self, context: Context):
        installation = self.installation
        user = context.prefix.user_name()
        player = (context.build / "demo" / "product" / "ZELO.exe").read_bytes()

        def write(windows_path: str, content: bytes):
            path = context.prefix.unix_path(windows_path)
            path.parent.mkdir(parents=True, exist_ok=True)
            path.write_bytes(content)

        for relative, content in installation.program_files(player).items():
            write(installation.folder + relative, content)
        profile = installation.profile_folder(user)
        for relative, content in installation.profile_files().items():
            write(profile + relative, content)
        for name, content in installation.old_backups().items():
            write(installation.folder + "!Backup\\" + name, content)
        for shortcut in installation.shortcuts(user):
            write(shortcut, b"an old shortcut")
        registration = installation.registration()
        if registration:
            reg_file = context.output / "old-installation.reg"
            reg_file.write_bytes(registration.encode("utf-16"))
            status = context.prefix.run("reg", "import", f"Z:{reg_file}",
                                        log=context.output / "reg.log")
            assert status == 0, f"reg import ended with {status}"


class OldInstallationInPlace(State):
    def __init__(self, installation: OldInstallation):
        self.installation = installation
        self.name = f"{installation.name} installed in {installation.folder}"

    def check(self, context: Context):
        installation = self.installation
        config = context.prefix.unix_path(installation.folder + installation.config_name)
        assert config.read_bytes() == installation.config(), f"{config} is not the old one"
