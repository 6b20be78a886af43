"""The destination page driven as a user does: a folder typed into the box; one chosen with
Browse...; folders the run cannot use (a missing drive, a relative path) refused with the
reason on the page; the portable kind
chosen while the box names a program-files folder (the destination moves to the desktop and
the integration page drops out); an older installation found by its registration (update and
backup boxes checked, the kind fixed, the warning that it will be updated; clearing the update
box turns it into the warning that an installation stays). Each ends installed where the page
said, the ready page's summary naming that folder."""

from e2e.harness.old_installation import (LayOutOldInstallation, OldInstallation,
                                          OldInstallationInPlace, user_folders)
from e2e.harness.scenario import Action, Context, Scenario, State
from e2e.harness.states import Clean, Installed
from e2e.harness.wizard import Wizard, start_demo_setup

TIMEOUT = 600

ACCEPT = "I accept the terms of the License Agreement"
W1 = "This folder holds an installed version of ZELO. It will be updated and keep your settings."
W3 = ("ZELO is already installed on this computer. This installation does not update it; "
      "choose its folder to update it.")
UPDATE_BOX = "Update the installed version"
BACKUP_BOX = "Keep a backup copy of the installed version"
OLD = OldInstallation(4510, "C:\\Apps\\ZELO\\")


def visible(wizard: Wizard, class_name: str):
    return {c["text"]: c for c in wizard.window["controls"]
            if c["class"].lower() == class_name.lower() and c["visible"]}


def page_title(wizard: Wizard) -> str:
    """The page on show, told by a text only it has."""
    texts = wizard.visible_texts()
    for marker, page in (("Destination folder", "setup"), ("Shortcuts", "integration")):
        if marker in texts:
            return page
    return "other"


def summary_lines(wizard: Wizard):
    viewer = next(c for c in wizard.window["controls"]
                  if c["class"].lower() == "richedit50w" and c["visible"])
    return viewer["text"].replace("\r\n", "\n").replace("\r", "\n").strip().split("\n")


def warnings(wizard: Wizard):
    return [c["text"] for c in wizard.window["controls"]
            if c["class"] == "TVYNValidationLabel" and c["visible"]]


def to_setup_page(context: Context) -> tuple:
    launched = start_demo_setup(context)
    wizard = Wizard(context)
    wizard.press_next()
    wizard.click_text(ACCEPT)
    wizard.press_next()
    assert page_title(wizard) == "setup", wizard.visible_texts()
    return launched, wizard


def install_from_ready(context: Context, launched, wizard: Wizard, destination: str):
    assert summary_lines(wizard)[:2] == ["Destination folder", "    " + destination], \
        summary_lines(wizard)
    context.screenshot("ready")
    wizard.press_next()
    wizard.wait_for_finish_page()
    wizard.finish_starting_nothing()
    assert launched.wait(timeout=120) == 0


class TypeTheFolder(Action):
    name = "type C:\\Apps\\Typed into the folder box and install"

    def __call__(self, context: Context):
        launched, wizard = to_setup_page(context)
        wizard.type_text("C:\\Apps\\Typed")
        # The box keeps what was typed; the installer cleans the folder up for itself.
        assert list(visible(wizard, "Edit")) == ["C:\\Apps\\Typed"], visible(wizard, "Edit")
        context.screenshot("typed")
        wizard.press_next()
        assert page_title(wizard) == "integration"
        wizard.press_next()
        install_from_ready(context, launched, wizard, "C:\\Apps\\Typed\\")


class ChoosePortable(Action):
    name = "choose the portable kind while the box names C:\\Program Files\\ZELO\\"

    def __call__(self, context: Context):
        launched, wizard = to_setup_page(context)
        wizard.click_text("Portable installation")
        desktop = user_folders(context.prefix.user_name())["desktop"] + "ZELO\\"
        assert list(visible(wizard, "Edit")) == [desktop], visible(wizard, "Edit")
        radios = visible(wizard, "Button")
        assert radios["Portable installation"]["checked"], radios
        context.screenshot("portable")
        wizard.press_next()  # the integration page is skipped: straight to the summary
        assert "Portable installation" in "\n".join(summary_lines(wizard)), summary_lines(wizard)
        install_from_ready(context, launched, wizard, desktop)
        context.portable_folder = desktop


class UpdateTheOldInstallation(Action):
    name = f"run over {OLD.name} in {OLD.folder}: update it, with a backup"

    def __call__(self, context: Context):
        launched, wizard = to_setup_page(context)
        boxes = visible(wizard, "Button")
        assert list(visible(wizard, "Edit")) == [OLD.folder], visible(wizard, "Edit")
        assert boxes[UPDATE_BOX]["checked"] and boxes[BACKUP_BOX]["checked"], boxes
        assert not boxes["Normal installation (recommended)"]["enabled"], "the kind is not fixed"
        assert warnings(wizard) == [W1], warnings(wizard)
        context.screenshot("update")

        wizard.click_text(UPDATE_BOX)
        assert BACKUP_BOX not in visible(wizard, "Button"), "the backup box stays"
        assert visible(wizard, "Button")["Normal installation (recommended)"]["enabled"]
        assert warnings(wizard) == [W3], warnings(wizard)
        context.screenshot("no-update")
        wizard.click_text(UPDATE_BOX)
        assert warnings(wizard) == [W1], warnings(wizard)

        wizard.press_next()  # an update keeps its integration: no integration page
        install_from_ready(context, launched, wizard, OLD.folder)


class BrowseToAFolder(Action):
    name = "Browse... to C:\\Tools: the destination becomes C:\\Tools\\ZELO\\"

    def __call__(self, context: Context):
        context.prefix.unix_path("C:\\Tools").mkdir(parents=True, exist_ok=True)
        launched, wizard = to_setup_page(context)
        context.driver.click(wizard.window, text="Browse...")
        picker = context.driver.find_window(caption="Select Folder")
        context.screenshot("folder-picker")
        context.driver.set_text(picker, "C:\\Tools")
        context.driver.click(picker, text="OK")
        wizard.wait_for(lambda w: list(visible(w, "Edit")) == ["C:\\Tools\\ZELO\\"],
                        what="the browsed destination")
        wizard.press_next()  # integration
        wizard.press_next()
        install_from_ready(context, launched, wizard, "C:\\Tools\\ZELO\\")


class RefuseUnusableFolders(Action):
    name = "type a folder on a missing drive, then a relative one: Next stays off, the page says why"

    def __call__(self, context: Context):
        launched, wizard = to_setup_page(context)
        for typed, warning in (
                ("Q:\\Apps\\ZELO", "The drive Q: does not exist: choose a folder on another drive."),
                ("Apps\\ZELO", 'The destination folder "Apps\\ZELO\\" is not a full path: name its '
                                'drive or network share too.')):
            wizard.type_text(typed)
            assert warnings(wizard) == [warning], warnings(wizard)
            assert not wizard.next_button()["enabled"], f"Next is on for {typed}"
            context.screenshot("refused")
        wizard.type_text("C:\\Apps\\Fine")
        assert warnings(wizard) == [] and wizard.next_button()["enabled"], warnings(wizard)
        context.driver.close(wizard.window, as_user=True)
        box = context.driver.find_window(window_class="#32770", caption="ZELO Setup")
        context.driver.click(box, text="OK")
        assert launched.wait(timeout=60) == 1602


class PortableInstalled(State):
    name = "installed, portable, on the desktop"

    def check(self, context: Context):
        Installed(context.portable_folder, registered=False).check(context)


class UpdatedWithBackup(State):
    name = f"updated in {OLD.folder}, with a new backup"

    def check(self, context: Context):
        Installed(OLD.folder).check(context)
        backups = [p.name for p in context.prefix.unix_path(OLD.folder + "!Backup").iterdir()]
        new = [name for name in backups if name not in OLD.old_backups()]
        assert len(new) == 1 and new[0].endswith(".zip"), f"backups {backups}"


SCENARIOS = [
    Scenario(name="typed", description="clean -> a folder typed on the destination page",
             start=Clean(), steps=[(TypeTheFolder(), Installed("C:\\Apps\\Typed"))],
             display=True),
    Scenario(name="browsed", description="clean -> a folder chosen with Browse...",
             start=Clean(), steps=[(BrowseToAFolder(), Installed("C:\\Tools\\ZELO"))],
             display=True),
    Scenario(name="unusable", description="clean -> folders the run cannot use are refused",
             start=Clean(), steps=[(RefuseUnusableFolders(), Clean())], display=True),
    Scenario(name="portable-in-program-files",
             description="clean -> portable chosen while the folder is in Program Files",
             start=Clean(), steps=[(ChoosePortable(), PortableInstalled())], display=True),
    Scenario(name="update-older",
             description=f"{OLD.name} installed -> the destination page offers the update",
             start=Clean(),
             steps=[(LayOutOldInstallation(OLD), OldInstallationInPlace(OLD)),
                    (UpdateTheOldInstallation(), UpdatedWithBackup())],
             display=True),
]
