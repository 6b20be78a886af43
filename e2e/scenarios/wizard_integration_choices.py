"""The integration page's five choices decide what an interactive installation does: a table of
cases, each clearing some boxes, checked against the ready page's summary (exact), the
shortcuts made, the switches the registration tool was started with (or that it was not
started) and the "Integration" section the settings file keeps for later updates."""

from e2e.harness import ini
from e2e.harness.old_installation import COMMON_DESKTOP, COMMON_PROGRAMS
from e2e.harness.scenario import Action, Context, Scenario, State
from e2e.harness.states import DEFAULT_FOLDER, Clean, Installed
from e2e.harness.wizard import Wizard, start_demo_setup

TIMEOUT = 600

DESKTOP = "Create a shortcut on the desktop"
START_MENU = "Create a shortcut in the Start menu"
REGISTER = "Register ZELO with Windows"
ASSOCIATE = "Associate audio files and playlists with ZELO"
CONTEXT_MENU = ('Add "Play with ZELO" and "Add to ZELO playlist" to the context menu of folders '
                "and audio files")
KEYS = {DESKTOP: "ShortcutDesktop", START_MENU: "ShortcutStartMenu", REGISTER: "IntegrateToWindows",
        ASSOCIATE: "AssociateWithFiles", CONTEXT_MENU: "RegisterContextMenu"}
SUMMARY_START = ["Destination folder", "    " + DEFAULT_FOLDER + "\\", "", "Installation Options",
                 "    Normal installation (recommended)",
                 "    Keep a backup copy of the installed version"]


class InstallWithChoices(Action):
    def __init__(self, cleared, summary_end):
        self.cleared = list(cleared)
        self.summary_end = list(summary_end)
        self.name = "install through the wizard, clearing: " + (", ".join(
            KEYS[box] for box in self.cleared) or "nothing")

    def __call__(self, context: Context):
        launched = start_demo_setup(context)
        wizard = Wizard(context)
        wizard.press_next()
        wizard.click_text("I accept the terms of the License Agreement")
        wizard.press_next()  # setup
        wizard.press_next()  # integration
        for box in self.cleared:
            wizard.click_text(box)
        context.screenshot("integration")
        wizard.press_next()
        viewer = next(c for c in wizard.window["controls"]
                      if c["class"].lower() == "richedit50w" and c["visible"])
        lines = viewer["text"].replace("\r\n", "\n").replace("\r", "\n").strip().split("\n")
        assert lines == SUMMARY_START + self.summary_end, lines
        wizard.press_next()
        wizard.wait_for_finish_page()
        wizard.finish_starting_nothing()
        assert launched.wait(timeout=120) == 0


class IntegratedAsChosen(State):
    def __init__(self, cleared, elevator):
        self.cleared = set(cleared)
        self.elevator = elevator
        self.name = "installed; shortcuts, registration tool and settings as chosen"

    def check(self, context: Context):
        problems = []
        for box, place in ((DESKTOP, COMMON_DESKTOP + "ZELO.lnk"),
                           (START_MENU, COMMON_PROGRAMS + "ZELO")):
            if context.prefix.unix_path(place).exists() == (box in self.cleared):
                problems.append(f"{place} {'made' if box in self.cleared else 'missing'}")
        log = context.demo_log("Elevator")
        if log != self.elevator:
            problems.append(f"Elevator.exe log {log}, expected {self.elevator}")
        settings = ini.sections(context.prefix.unix_path(DEFAULT_FOLDER + "\\ZELO.ini")
                                .read_bytes())
        wanted = sorted((key, "0" if box in self.cleared else "1") for box, key in KEYS.items())
        if self.cleared and sorted(settings.get("Integration", [])) != wanted:
            problems.append(f"ZELO.ini [Integration] {settings.get('Integration')}, "
                            f"expected {wanted}")
        assert not problems, "\n    ".join([""] + problems)
        Installed(DEFAULT_FOLDER).check(context)


CASES = [
    ("none", [DESKTOP, START_MENU, REGISTER, ASSOCIATE, CONTEXT_MENU], [], []),
    ("start-menu-and-context-menu", [DESKTOP, REGISTER, ASSOCIATE],
     ["", "Windows integration", "    " + CONTEXT_MENU, "", "Shortcuts", "    " + START_MENU],
     ["/REG=M1 => 0"]),
    ("registered-without-shortcuts", [DESKTOP, START_MENU, CONTEXT_MENU],
     ["", "Windows integration", "    " + REGISTER, "    " + ASSOCIATE],
     ["/REG=L1 /REG=D1 /REG=R1 /REG=R2 /REG_UI => 0"]),
]

SCENARIOS = [
    Scenario(name=name, description=f"clean -> the wizard, integration: {name}", start=Clean(),
             steps=[(InstallWithChoices(cleared, summary_end),
                     IntegratedAsChosen(cleared, elevator))],
             display=True)
    for name, cleared, summary_end, elevator in CASES
]
