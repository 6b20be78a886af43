"""The demo product's programs as scenarios use them: the product folder put into a prefix,
the player started and asked to close, Elevator.exe run as Setup runs it, and what their logs
and the registry show afterwards. The programs log into the scenario's output folder
(Context.demo_log)."""

import shutil

from .scenario import Action, Context, State

DEMO_FOLDER = r"C:\Program Files\ZELO"
PLAYER = DEMO_FOLDER + r"\ZELO.exe"
# The command the file types and the "Open with" entry run.
OPEN_COMMAND = f'"{PLAYER}" "%1"'

CLASSES = r"HKCU\Software\Classes"
# Extension -> file type, as Elevator.exe registers them.
FILE_TYPES = {ext: "ZELO.AssocFile." + ext[1:].upper()
              for ext in (".mp3", ".flac", ".ogg", ".opus", ".m4a", ".wav", ".m3u", ".m3u8")}
MENU_KEYS = [CLASSES + owner + verb
             for owner in (r"\Directory\shell", r"\SystemFileAssociations\audio\shell")
             for verb in (r"\ZELO.Play", r"\ZELO.Enqueue")]
REGISTERED_APPLICATIONS = r"HKCU\Software\RegisteredApplications"


class PlaceDemoProduct(Action):
    """Copies the built product folder (build/demo/product) to DEMO_FOLDER, with the settings
    file Setup's configuration step would write for a language: UTF-16LE with a byte order
    mark, as Setup saves it."""

    def __init__(self, language="English.lng"):
        self.language = language
        self.name = f"place the demo product in {DEMO_FOLDER} ({language})"

    def __call__(self, context: Context):
        target = context.prefix.unix_path(DEMO_FOLDER)
        shutil.copytree(context.build / "demo" / "product", target, dirs_exist_ok=True)
        settings = f"[System]\r\nUserMode=1\r\nDefaultLang={self.language}\r\nVersion=5000\r\n"
        (target / "ZELO.ini").write_bytes(settings.encode("utf-16"))


class StartPlayer(Action):
    """Starts ZELO.exe with the given arguments; it keeps running until the scenario closes
    it (CloseWindow) and checks its end (PlayerEnded)."""

    def __init__(self, arguments: str):
        self.command_line = f'"{PLAYER}" {arguments}'.rstrip()
        self.name = f"start {self.command_line}"

    def __call__(self, context: Context):
        context.player = context.driver.launch(self.command_line)
        context.player_command_line = self.command_line


class CloseWindow(Action):
    """Sends WM_CLOSE to the top-level window of a class, as Setup's first step does."""

    def __init__(self, window_class: str):
        self.window_class = window_class
        self.name = f"ask the {window_class} window to close"

    def __call__(self, context: Context):
        window = context.driver.find_window(window_class=self.window_class)
        context.driver.close(window)


class PlayerWindows(State):
    """The player's windows that are open and those that are not; the main window's text
    starts with `text` (what it plays, in the language of its settings)."""

    def __init__(self, open_classes, closed_classes=(), text=None):
        self.open_classes = list(open_classes)
        self.closed_classes = list(closed_classes)
        self.text = text
        self.name = f"player windows open: {', '.join(self.open_classes)}"

    def check(self, context: Context):
        for window_class in self.open_classes:
            window = context.driver.find_window(window_class=window_class)
            if window_class == "TZELOMainForm" and self.text is not None:
                texts = [c["text"] for c in window["controls"]]
                assert texts and texts[0].startswith(self.text), \
                    f"main window shows {texts}, expected it to start with {self.text!r}"
        for window_class in self.closed_classes:
            try:
                context.driver.find_window(window_class=window_class, timeout_ms=0)
            except AssertionError:
                continue
            raise AssertionError(f"a {window_class} window is still open")


class PlayerEnded(State):
    """The player has ended with exit code 0, and its log tells its run: how it was started,
    the settings it read, then `events` (refusals and closes), then its end."""

    def __init__(self, settings: str, events):
        self.settings = settings
        self.events = list(events)
        self.name = "player ended"

    def check(self, context: Context):
        exit_code = context.player.wait(timeout=30)
        assert exit_code == 0, f"the player ended with {exit_code}"
        expected = [f"started: {context.player_command_line}", f"settings: {self.settings}",
                    *self.events, "ended: 0"]
        log = context.demo_log("ZELO")
        assert log == expected, f"ZELO.log:\n{log}\nexpected:\n{expected}"


class SetExtensionOwner(Action):
    """Gives an extension to another program for the current user, as a player installed
    before ZELO would have."""

    def __init__(self, extension: str, owner: str):
        self.extension = extension
        self.owner = owner
        self.name = f"let {owner} own {extension}"

    def __call__(self, context: Context):
        status = context.prefix.run("reg", "add", rf"HKCU\Software\Classes\{self.extension}",
                                    "/ve", "/d", self.owner, "/f",
                                    log=context.output / "reg.log")
        assert status == 0, f"reg add ended with {status}"


class RunElevator(Action):
    """Runs Elevator.exe from DEMO_FOLDER with its path quoted, as Setup starts it, and checks
    its exit code (all 32 bits)."""

    def __init__(self, switches: str, exit_code: int = 0):
        self.switches = switches
        self.exit_code = exit_code
        self.name = f"run Elevator.exe {switches}"

    def __call__(self, context: Context):
        launched = context.driver.launch(f'"{DEMO_FOLDER}\\Elevator.exe" ' + self.switches)
        exit_code = launched.wait()
        assert exit_code == self.exit_code, \
            f"Elevator.exe {self.switches} ended with {exit_code}, expected {self.exit_code}"
        log = context.demo_log("Elevator")
        expected = f"{self.switches} => {self.exit_code}"
        assert log and log[-1] == expected, f"Elevator.log ends with {log[-1:]}, not {expected!r}"


class Integrated(State):
    """Everything Elevator.exe registers with every integration switch: the application, its
    Default Programs entry, the file types, the extensions (their former owners kept), and the
    shell-menu library's context menu in the menu's language."""

    name = "integrated"

    def __init__(self, previous_owners: dict, menu_texts: dict):
        self.previous_owners = previous_owners
        self.menu_texts = menu_texts

    def check(self, context: Context):
        registry = context.registry()
        expected = {
            (r"HKCU\Software\Microsoft\Windows\CurrentVersion\App Paths\ZELO.exe", ""): PLAYER,
            (CLASSES + r"\Applications\ZELO.exe\shell\open\command", ""): OPEN_COMMAND,
            (REGISTERED_APPLICATIONS, "ZELO"): r"Software\ZELO\Capabilities",
            (r"HKCU\Software\ZELO\Capabilities", "ApplicationName"): "ZELO",
        }
        for extension, file_type in FILE_TYPES.items():
            expected[(CLASSES + "\\" + extension, "")] = file_type
            expected[(CLASSES + "\\" + file_type + r"\shell\open\command", "")] = OPEN_COMMAND
            expected[(r"HKCU\Software\ZELO\Capabilities\FileAssociations", extension)] = file_type
        for extension, owner in self.previous_owners.items():
            expected[(r"HKCU\Software\ZELO\Elevator\PreviousOwners", extension)] = owner
        for key in MENU_KEYS:
            verb = key.rsplit(".", 1)[1]
            expected[(key, "")] = self.menu_texts[verb]
            switch = "/play" if verb == "Play" else "/add"
            expected[(key + r"\command", "")] = f'"{PLAYER}" {switch} "%1"'
        wrong = {place: registry.value(*place) for place, value in expected.items()
                 if registry.value(*place) != value}
        assert not wrong, f"registry values differ from the expected ones: {wrong}"
        for extension, file_type in FILE_TYPES.items():
            offered = registry.values(CLASSES + "\\" + extension + r"\OpenWithProgids")
            assert file_type in offered, f"{file_type} is not offered for {extension}"
        assert context.demo_log("zelo_menu64")[-1:] == ["DllRegisterServer => 0x00000000"], \
            f"zelo_menu64.log: {context.demo_log('zelo_menu64')}"


class NotIntegrated(State):
    """Nothing of ZELO in the user's registry; the extensions that had other owners have them
    back."""

    name = "not integrated"

    def __init__(self, owners: dict):
        self.owners = owners

    def check(self, context: Context):
        registry = context.registry()
        left = [key for key in registry.keys("HKCU") if "zelo" in key.lower()]
        assert not left, f"keys left behind: {left}"
        assert registry.value(REGISTERED_APPLICATIONS, "ZELO") is None, \
            "the RegisteredApplications entry is still there"
        for extension in FILE_TYPES:
            owner = registry.value(CLASSES + "\\" + extension, "")
            assert owner == self.owners.get(extension), \
                f"{extension} belongs to {owner!r}, expected {self.owners.get(extension)!r}"
