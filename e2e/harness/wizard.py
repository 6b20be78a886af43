"""The wizard as a user sees it: its window, the page on show, its buttons; driven through the
Win32 driver in the same prefix."""

import time
from pathlib import Path

from .scenario import Action, Context
from .screen import Screenshot

WIZARD_CLASS = "TInstallerForm"
BACK_ID = 10
NEXT_ID = 11
VERSION_ID = 12
VK_TAB, VK_RETURN, VK_SPACE = 0x09, 0x0D, 0x20


def start_demo_setup(context: Context, arguments: str = ""):
    """Starts the demo setup.exe from the Downloads folder, as a user who double-clicked it
    (no arguments) or typed a command; returns the launched program."""
    setup = context.copy_into_prefix("demo/setup.exe", context.downloads_folder() + "\\setup.exe")
    return context.driver.launch(f'"{setup}" {arguments}'.rstrip())


LANGUAGE_DIALOG_CLASS = "TVYNLanguageDialog"


class LanguageDialog:
    """The language choice an interactive run starts with."""

    def __init__(self, context: Context, timeout_ms=30000):
        self.context = context
        self.window = context.driver.find_window(window_class=LANGUAGE_DIALOG_CLASS,
                                                 timeout_ms=timeout_ms)

    def combo(self):
        return next(c for c in self.window["controls"] if c["class"].lower() == "combobox")

    def languages(self):
        return self.combo()["items"]

    def selected(self):
        return self.combo()["text"]

    def choose(self, language: str):
        self.context.driver.select(self.window, language)
        self.window = self.context.driver.find_window(window_class=LANGUAGE_DIALOG_CLASS,
                                                      timeout_ms=2000)

    def confirm(self):
        self.context.driver.click(self.window, text="OK")


class Wizard:
    """The wizard's window. An interactive run asks for the language first: Language names the
    entry to choose, None keeps the preselected one; an automatic run has no such step
    (language_dialog=False)."""

    def __init__(self, context: Context, timeout_ms=30000, language_dialog=True, language=None):
        self.context = context
        if language_dialog:
            dialog = LanguageDialog(context, timeout_ms)
            if language is not None:
                dialog.choose(language)
            dialog.confirm()
        self.window = context.driver.find_window(window_class=WIZARD_CLASS, timeout_ms=timeout_ms)

    def refresh(self):
        self.window = self.context.driver.find_window(window_class=WIZARD_CLASS, timeout_ms=2000)
        return self

    def control(self, control_id):
        for control in self.window["controls"]:
            if control["id"] == control_id:
                return control
        raise AssertionError(f"no control {control_id} in the wizard")

    def visible_texts(self, class_name=None):
        """The texts of the visible controls (of one window class), in creation order."""
        return [c["text"] for c in self.window["controls"]
                if c["visible"] and c["text"] and
                (class_name is None or c["class"].lower() == class_name.lower())]

    def next_button(self):
        return self.control(NEXT_ID)

    def back_button(self):
        return self.control(BACK_ID)

    def press_next(self):
        self.context.driver.click(self.window, control_id=NEXT_ID)
        time.sleep(0.3)
        return self.refresh()

    def check_boxes(self):
        """The page's visible check boxes (not the form's buttons) and whether each is checked."""
        return {c["text"]: c["checked"] for c in self.window["controls"]
                if c["class"].lower() == "button" and c["visible"] and c["id"] >= 1000}

    def wait_for_finish_page(self, timeout=120):
        """Waits until the run has ended and the finish page shows, in any language: Next
        enabled, no progress bars, no Back."""
        return self.wait_for(
            lambda w: w.next_button()["enabled"] and not w.back_button()["visible"] and not any(
                c["class"] == "TVYNProgressBar" and c["visible"] for c in w.window["controls"]),
            timeout=timeout, what="the finish page")

    def finish_starting_nothing(self):
        """Clears the finish page's post-install choices and presses Finish."""
        for box, checked in self.check_boxes().items():
            if checked:
                self.click_text(box)
        self.press_finish()

    def press_finish(self):
        """Presses Next on the last page, which closes the window."""
        self.context.driver.click(self.window, control_id=NEXT_ID)

    def type_text(self, text: str):
        """Types Text into the page's edit box (replacing what it held)."""
        self.context.driver.set_text(self.window, text)
        time.sleep(0.3)
        return self.refresh()

    def press_key(self, virtual_key: int) -> str:
        """Presses a key where the focus is; returns the focused control's class."""
        focus = self.context.driver.key(self.window, virtual_key)
        time.sleep(0.3)
        self.refresh()
        return focus

    def press_back(self):
        self.context.driver.click(self.window, control_id=BACK_ID)
        time.sleep(0.3)
        return self.refresh()

    def click_text(self, text):
        self.context.driver.click(self.window, text=text)
        time.sleep(0.3)
        return self.refresh()

    def wait_for(self, condition, timeout=60, what="the wizard to change"):
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            self.refresh()
            if condition(self):
                return self
            time.sleep(0.3)
        raise AssertionError(f"timed out waiting for {what}; visible: {self.visible_texts()}")


PERSONALIZE_KEY = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Themes\Personalize"
DESKTOP_KEY = r"HKCU\Control Panel\Desktop"

# The wizard's palette (0xRRGGBB), light and dark.
ACCENT = {False: 0xDE8C33, True: 0xAC671C}
STRIP_BACKGROUND = {False: 0xFFFFFF, True: 0x2A2A2A}
PAGE_BACKGROUND = {False: 0xFFFFFF, True: 0x262626}


class SetLook(Action):
    """Sets the user's app mode (AppsUseLightTheme) and the screen's DPI (LogPixels) in the
    prefix, as the user would in Windows' settings; Wine reads them when it starts again."""

    def __init__(self, dark: bool, dpi: int):
        self.dark = dark
        self.dpi = dpi
        self.name = f"set the {'dark' if dark else 'light'} app mode and {dpi} DPI"

    def __call__(self, context: Context):
        set_app_mode(context, self.dark)
        set_dword(context, DESKTOP_KEY, "LogPixels", self.dpi)
        context.prefix.stop_server()


def set_dword(context: Context, key: str, value: str, data: int):
    status = context.prefix.run("reg", "add", key, "/v", value, "/t", "REG_DWORD", "/d",
                                str(data), "/f", log=context.output / "reg.log")
    assert status == 0, f"reg add {key} {value} ended with {status}"


def set_app_mode(context: Context, dark: bool):
    """The user's choice between light and dark apps; programs that run learn of it through
    the setting-change broadcast."""
    set_dword(context, PERSONALIZE_KEY, "AppsUseLightTheme", 0 if dark else 1)


class FramePixels:
    """Reads the wizard's frame from a screenshot: lengths at 96 DPI, scaled like the form."""

    def __init__(self, wizard: Wizard, screenshot: Path, dpi: int):
        self.client = wizard.window["client"]
        self.screen = Screenshot(screenshot)
        self.dpi = dpi
        width = self.client[2] - self.client[0]
        expected = 640 * dpi // 96
        assert width == expected, f"client width {width}, expected {expected} at {dpi} DPI"

    def at(self, x: int, y: int) -> int:
        scale = lambda length: (length * self.dpi + 48) // 96  # noqa: E731
        return self.screen.pixel(self.client[0] + scale(x), self.client[1] + scale(y))

    def expect(self, where: str, x: int, y: int, colour: int):
        found = self.at(x, y)
        assert found == colour, f"{where} at ({x}, {y}) is {found:06X}, expected {colour:06X}"

    def expect_strip_segment(self, index: int, pages: int, dark: bool):
        """The active page's segment of the step strip: the pages before it filled, its hatch
        marks 3 pixels wide every 6 (pixels of the screen, not scaled)."""
        width = self.client[2] - self.client[0]
        segment_left = index * (width // (pages - 1))
        y = self.client[1] + (58 * self.dpi + 48) // 96
        checks = [("hatch mark", segment_left + 1, ACCENT[dark]),
                  ("gap between hatch marks", segment_left + 4, STRIP_BACKGROUND[dark])]
        if index > 0:
            checks.append(("filled part", segment_left - 2, ACCENT[dark]))
        for where, x, colour in checks:
            found = self.screen.pixel(self.client[0] + x, y)
            assert found == colour, \
                f"strip {where} at pixel {x} is {found:06X}, expected {colour:06X}"
