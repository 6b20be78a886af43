"""A fresh installation as an administrator deploys it (/AUTO=<folder> /SILENT) sets the player
up completely: its settings file says per-user mode, the language and the version and nothing
else; Elevator.exe ran once with every integration switch (no settings dialog in an automatic
run); the shortcuts to the player and the uninstaller are on the all-users desktop and in the
all-users Start menu and point at the installed programs; the help shortcut is not made,
shortcuts to documents being left out from Windows 8 on."""

from e2e.harness import lnk
from e2e.harness.actions import RunSetup
from e2e.harness.demo_programs import Integrated
from e2e.harness.old_installation import COMMON_DESKTOP, COMMON_PROGRAMS, user_folders
from e2e.harness.scenario import Context, Scenario, State
from e2e.harness.states import Clean, Installed
from e2e.harness.tree import files_under

FOLDER = "C:\\Program Files\\ZELO\\"

SETTINGS = "[System]\r\nUserMode=1\r\nDefaultLang=English.lng\r\nVersion=5000\r\n\r\n"
ELEVATOR_SWITCHES = "/REG=L1 /REG=D1 /REG=R1 /REG=M1 /REG=R2"
ENGLISH_MENU = {"Play": "Play with ZELO", "Enqueue": "Add to ZELO playlist"}

# Shortcut file -> the program it must start.
SHORTCUTS = {
    COMMON_DESKTOP + "ZELO.lnk": FOLDER + "ZELO.exe",
    COMMON_PROGRAMS + "ZELO\\ZELO.lnk": FOLDER + "ZELO.exe",
    COMMON_PROGRAMS + "ZELO\\Uninstall ZELO.lnk": FOLDER + "Uninstall.exe",
}


class InstalledAndSetUp(State):
    name = f"installed in {FOLDER}, configured, integrated, with shortcuts"

    def check(self, context: Context):
        settings = context.prefix.unix_path(FOLDER + "ZELO.ini").read_bytes()
        assert settings == b"\xff\xfe" + SETTINGS.encode("utf-16-le"), \
            f"ZELO.ini holds {settings!r}"

        log = context.demo_log("Elevator")
        assert log == [f"{ELEVATOR_SWITCHES} => 0"], f"Elevator.log: {log}"

        found = {}
        for place in (COMMON_DESKTOP, COMMON_PROGRAMS + "ZELO\\"):
            for relative in files_under(context.prefix.unix_path(place)):
                if relative.lower().endswith(".lnk") and "\\" not in relative:
                    found[place + relative] = lnk.read(
                        context.prefix.unix_path(place + relative)).target
        user = user_folders(context.prefix.user_name())
        for place in (user["desktop"], user["start_menu"]):
            links = [n for n in files_under(context.prefix.unix_path(place)) if n.endswith(".lnk")]
            assert not links, f"shortcuts made for one user only: {place}{links}"
        assert found == SHORTCUTS, f"shortcuts {found}, expected {SHORTCUTS}"

        Installed(FOLDER).check(context)
        Integrated(previous_owners={}, menu_texts=ENGLISH_MENU).check(context)


SCENARIO = Scenario(
    name="install_integrates",
    description=f"clean -> setup.exe /AUTO=\"{FOLDER}\" /SILENT -> configured and integrated",
    start=Clean(),
    steps=[(RunSetup("demo/setup.exe", f'/AUTO="{FOLDER}" /SILENT'), InstalledAndSetUp())],
)
