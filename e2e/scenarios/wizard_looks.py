"""Every page of the wizard in the light and the dark app mode, at 96 and at 144 DPI: a user
chooses the language, installs the demo through Welcome, License, Setup, Integration, Ready,
Install and Finish, then removes it through the uninstaller's parameters, Uninstall and
Uninstall-finish pages. Each page is kept as a screenshot, and
the frame's colours (footer, header line, step strip, page background) are read from the
screen at the places the layout puts them, scaled for the DPI."""

from e2e.harness.scenario import Action, Context, Scenario, State
from e2e.harness.states import DEFAULT_FOLDER, PRODUCT_KEY, Clean, Installed
from e2e.harness.wizard import (ACCENT, PAGE_BACKGROUND, STRIP_BACKGROUND, FramePixels,
                                LanguageDialog, SetLook, Wizard, start_demo_setup)

# Four installations and removals under Xvfb.
TIMEOUT = 900

# Welcome, License, Setup, Integration, Ready, Install, Finish.
INSTALL_PAGES = 7


def look_name(dark: bool, dpi: int) -> str:
    return f"{'dark' if dark else 'light'}-{dpi}"


class InstallThroughTheWizard(Action):
    def __init__(self, dark: bool, dpi: int):
        self.dark = dark
        self.dpi = dpi
        self.name = "double-click setup.exe and install through every page"

    def shot(self, context: Context, wizard: Wizard, page: str) -> FramePixels:
        path = context.screenshot(f"{look_name(self.dark, self.dpi)}-{page}")
        return FramePixels(wizard, path, self.dpi)

    def __call__(self, context: Context):
        dark = self.dark
        launched = start_demo_setup(context)
        dialog = LanguageDialog(context)
        assert dialog.languages() == ["Deutsch", "English", "Русский"], dialog.languages()
        assert dialog.selected() == "English", dialog.selected()
        context.screenshot(f"{look_name(self.dark, self.dpi)}-language")
        dialog.confirm()

        wizard = Wizard(context, language_dialog=False)
        frame = self.shot(context, wizard, "welcome")
        frame.expect("footer", 300, 470, ACCENT[dark])
        frame.expect("welcome page background", 620, 400, PAGE_BACKGROUND[dark])

        wizard.press_next()
        frame = self.shot(context, wizard, "license")
        frame.expect("line under the header", 300, 52, ACCENT[dark])
        frame.expect("page background", 320, 80, PAGE_BACKGROUND[dark])
        frame.expect("strip background", 630, 58, STRIP_BACKGROUND[dark])
        frame.expect_strip_segment(1, INSTALL_PAGES, dark)

        wizard.click_text("I accept the terms of the License Agreement")
        wizard.press_next()
        frame = self.shot(context, wizard, "setup")
        frame.expect_strip_segment(2, INSTALL_PAGES, dark)

        wizard.press_next()
        frame = self.shot(context, wizard, "integration")
        frame.expect_strip_segment(3, INSTALL_PAGES, dark)
        frame.expect("page background", 320, 80, PAGE_BACKGROUND[dark])

        wizard.press_next()
        frame = self.shot(context, wizard, "ready")
        frame.expect_strip_segment(4, INSTALL_PAGES, dark)

        wizard.press_next()
        self.shot(context, wizard, "install")
        wizard.wait_for(lambda w: w.next_button()["text"] == "Finish", what="the finish page")
        frame = self.shot(context, wizard, "finish")
        frame.expect("finish page background", 620, 400, PAGE_BACKGROUND[dark])
        wizard.finish_starting_nothing()
        exit_code = launched.wait(timeout=60)
        assert exit_code == 0, f"setup.exe ended with {exit_code}"


class UninstallThroughTheWizard(Action):
    def __init__(self, dark: bool, dpi: int):
        self.dark = dark
        self.dpi = dpi
        self.name = "start Uninstall.exe: its parameters, Uninstall and Uninstall-finish pages"

    def __call__(self, context: Context):
        look = look_name(self.dark, self.dpi)
        launched = context.driver.launch(f'"{DEFAULT_FOLDER}\\Uninstall.exe"')
        wizard = Wizard(context)
        path = context.screenshot(f"{look}-uninstall-params")
        FramePixels(wizard, path, self.dpi).expect_strip_segment(0, 3, self.dark)
        assert wizard.next_button()["text"] == "Uninstall", wizard.next_button()
        wizard.press_next()
        context.screenshot(f"{look}-uninstall")
        wizard.wait_for(lambda w: w.next_button()["text"] == "Finish",
                        what="the uninstall-finish page")
        path = context.screenshot(f"{look}-uninstall-finish")
        FramePixels(wizard, path, self.dpi).expect("footer", 300, 470, ACCENT[self.dark])
        assert "ZELO has been uninstalled" in wizard.visible_texts(), wizard.visible_texts()
        wizard.press_finish()
        exit_code = launched.wait(timeout=60)
        assert exit_code == 0, f"Uninstall.exe ended with {exit_code}"


class Removed(State):
    name = "removed: no registration, no program"

    def check(self, context: Context):
        assert not context.prefix.unix_path(DEFAULT_FOLDER + "\\ZELO.exe").exists()
        assert not context.registry().has_key(PRODUCT_KEY), f"{PRODUCT_KEY} is still there"


SCENARIOS = [
    Scenario(
        name=look_name(dark, dpi),
        description=f"{look_name(dark, dpi)}: install and uninstall through every page",
        start=Clean(),
        steps=[(SetLook(dark, dpi), Clean()),
               (InstallThroughTheWizard(dark, dpi), Installed(DEFAULT_FOLDER)),
               (UninstallThroughTheWizard(dark, dpi), Removed())],
        display=True,
    )
    for dark in (False, True) for dpi in (96, 144)
]
