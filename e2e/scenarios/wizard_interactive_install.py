"""A user double-clicks the demo setup and walks the wizard: Welcome, License (Next stays
disabled until the terms are accepted, and follows the box both ways), Integration (all five
choices on; the user clears the desktop shortcut), Ready (the summary of the run, exact; Back
returns through the pages, which keep their choices), Install, Finish (the
post-install choices decide what starts: the player, not the home page). Back and Next show and
hide as the pages allow; once the run has ended the close box does nothing."""

import time

from e2e.harness.old_installation import COMMON_DESKTOP, COMMON_PROGRAMS
from e2e.harness.scenario import Action, Context, Scenario, State
from e2e.harness.states import DEFAULT_FOLDER, Clean, Installed
from e2e.harness.wizard import VK_RETURN, VK_SPACE, VK_TAB, Wizard, start_demo_setup

ACCEPT = "I accept the terms of the License Agreement"
SUMMARY = [
    "Destination folder",
    "    C:\\Program Files\\ZELO\\",
    "",
    "Installation Options",
    "    Normal installation (recommended)",
    "    Keep a backup copy of the installed version",
    "",
    "Windows integration",
    "    Register ZELO with Windows",
    "    Add \"Play with ZELO\" and \"Add to ZELO playlist\" to the context menu of folders and "
    "audio files",
    "    Associate audio files and playlists with ZELO",
    "",
    "Shortcuts",
    "    Create a shortcut in the Start menu",
]
INTEGRATION_BOXES = {
    "Create a shortcut on the desktop": True,
    "Create a shortcut in the Start menu": True,
    "Register ZELO with Windows": True,
    "Associate audio files and playlists with ZELO": True,
    "Add \"Play with ZELO\" and \"Add to ZELO playlist\" to the context menu of folders and "
    "audio files": True,
}


def expect_buttons(wizard: Wizard, page: str, back_visible: bool, next_text: str,
                   next_enabled: bool):
    back, next_ = wizard.back_button(), wizard.next_button()
    found = (back["visible"], next_["text"], next_["enabled"])
    assert found == (back_visible, next_text, next_enabled), \
        f"{page}: Back visible, Next text, Next enabled = {found}, expected " \
        f"{(back_visible, next_text, next_enabled)}"


def rich_text_lines(wizard: Wizard):
    viewers = [c for c in wizard.window["controls"]
               if c["class"].lower() == "richedit50w" and c["visible"]]
    assert len(viewers) == 1, f"{len(viewers)} visible viewers"
    text = viewers[0]["text"].replace("\r\n", "\n").replace("\r", "\n")
    return text.rstrip("\n").split("\n")


class WalkTheWizard(Action):
    name = "double-click setup.exe and walk Welcome -> License -> Ready -> Install -> Finish"

    def __call__(self, context: Context):
        launched = start_demo_setup(context)
        wizard = Wizard(context)
        assert wizard.window["caption"] == "ZELO Setup", wizard.window["caption"]
        assert "Welcome to the ZELO Setup Wizard" in wizard.visible_texts()
        expect_buttons(wizard, "welcome", False, "Next >", True)

        # By keyboard: Enter presses Next; on the licence page the viewer has the focus, Tab
        # moves on to the box and Space checks it.
        assert wizard.press_key(VK_RETURN).lower() == "button"
        assert ACCEPT in wizard.visible_texts(), wizard.visible_texts()
        assert rich_text_lines(wizard)[0] == "ZELO License Agreement", rich_text_lines(wizard)
        expect_buttons(wizard, "license", False, "Next >", False)
        assert wizard.press_key(VK_TAB).lower() == "richedit50w"
        wizard.press_key(VK_SPACE)
        expect_buttons(wizard, "license, accepted", False, "Next >", True)
        wizard.click_text(ACCEPT)
        expect_buttons(wizard, "license, unchecked again", False, "Next >", False)
        wizard.click_text(ACCEPT)

        wizard.press_next()
        expect_buttons(wizard, "setup", True, "Next >", True)
        context.screenshot("setup")
        edits = [c["text"] for c in wizard.window["controls"]
                 if c["class"].lower() == "edit" and c["visible"]]
        assert edits == [DEFAULT_FOLDER + "\\"], edits
        wizard.press_next()
        expect_buttons(wizard, "integration", True, "Next >", True)
        boxes = wizard.check_boxes()
        assert boxes == INTEGRATION_BOXES, boxes
        wizard.click_text("Create a shortcut on the desktop")

        wizard.press_next()
        expect_buttons(wizard, "ready", True, "Install", True)
        assert rich_text_lines(wizard) == SUMMARY, rich_text_lines(wizard)
        wizard.press_back()
        expect_buttons(wizard, "integration again", True, "Next >", True)
        assert not wizard.check_boxes()["Create a shortcut on the desktop"]
        wizard.press_back()
        expect_buttons(wizard, "setup again", True, "Next >", True)
        wizard.press_back()
        expect_buttons(wizard, "license again", False, "Next >", True)
        wizard.press_next()
        wizard.press_next()
        wizard.press_next()
        expect_buttons(wizard, "ready again", True, "Install", True)

        wizard.press_next()
        wizard.wait_for(lambda w: w.next_button()["text"] == "Finish", what="the finish page")
        expect_buttons(wizard, "finish", False, "Finish", True)
        boxes = wizard.check_boxes()
        assert boxes == {"Start ZELO now": True, "Visit the ZELO home page": True}, boxes
        context.screenshot("finish")
        # After the run only Finish leaves: the close box (Alt+F4) does nothing, asks nothing.
        context.driver.close(wizard.window, as_user=True)
        time.sleep(1)
        assert context.driver.find_window(window_class="#32770", timeout_ms=0,
                                          required=False) is None, "closing asked a question"
        expect_buttons(wizard.refresh(), "finish after the close box", False, "Finish", True)
        wizard.click_text("Visit the ZELO home page")
        wizard.press_finish()
        exit_code = launched.wait(timeout=60)
        assert exit_code == 0, f"exit code {exit_code}"


class InstalledAndPlayerRuns(State):
    name = "installed in the default folder; the player runs (Start ZELO now)"

    def check(self, context: Context):
        # Before the installation is checked: reading the registry stops every program.
        player = context.driver.find_window(window_class="TZELOMainForm")
        log = context.demo_log("ZELO")
        assert log and log[0].startswith("started: "), f"ZELO.log: {log}"
        context.driver.close(player)
        assert context.prefix.wait_until_idle(timeout=60), "a program still runs"
        Installed(DEFAULT_FOLDER).check(context)
        assert not context.prefix.unix_path(COMMON_DESKTOP + "ZELO.lnk").exists(), \
            "the desktop shortcut was made though the user cleared its box"
        assert context.prefix.unix_path(COMMON_PROGRAMS + "ZELO").is_dir(), \
            "no Start menu folder"


SCENARIO = Scenario(
    name="wizard_interactive_install",
    description="clean -> walk the wizard -> installed in the default folder, the player runs",
    start=Clean(),
    steps=[(WalkTheWizard(), InstalledAndPlayerRuns())],
    display=True,
)
