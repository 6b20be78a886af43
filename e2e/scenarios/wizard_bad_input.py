"""Setups a maker got wrong, started by a user: a setup without the wizard's header picture, or
(for a user who chooses Russian) with an "addons.ini" that names no picture or whose picture is
missing, stops with the one "Setup" box naming the problem before the wizard appears (1603);
a licence saved as plain text instead of RTF is shown as the text it is."""

from e2e.harness.custom_setup import build_custom_setup
from e2e.harness.scenario import Action, Context, Scenario
from e2e.harness.states import Clean
from e2e.harness.wizard import WIZARD_CLASS, LanguageDialog, Wizard

PLAIN_LICENCE = "This licence is plain text.\r\nIt has two lines.\r\n"


class BuildSetup(Action):
    def __init__(self, name: str, change):
        self.name = f"build a setup: {name}"
        self.change = change

    def __call__(self, context: Context):
        built = build_custom_setup(context.build, context.output / "custom", self.change)
        # The actions take paths relative to the build tree.
        context.custom_setup = str(built.relative_to(context.build))


def without_header(setup, _product):
    (setup / "header.png").unlink()


def addons_without_picture_name(setup, _product):
    text = (setup / "addons.ini").read_text(encoding="utf-8")
    (setup / "addons.ini").write_text(
        "\n".join(line for line in text.splitlines() if not line.startswith("I0=")),
        encoding="utf-8")


def addons_picture_missing(setup, _product):
    (setup / "addons.png").unlink()


def plain_text_licence(setup, _product):
    (setup / "License.rtf").write_bytes(PLAIN_LICENCE.encode("ascii"))


class NoWizardWindow(Action):
    name = "no wizard window was shown"

    def __call__(self, context: Context):
        found = context.driver.find_window(window_class=WIZARD_CLASS, timeout_ms=0,
                                           required=False)
        assert found is None, "a wizard window is open"


class ExpectBox(Action):
    def __init__(self, message: str, language: str = None):
        self.message = message
        self.language = language
        self.name = f'run it, choose {language or "the preselected language"} -> box ' \
                    f'"{message}", 1603'

    def __call__(self, context: Context):
        setup = context.copy_into_prefix(context.custom_setup,
                                         context.downloads_folder() + "\\setup.exe")
        launched = context.driver.launch(f'"{setup}"')
        dialog = LanguageDialog(context)
        if self.language:
            dialog.choose(self.language)
        dialog.confirm()
        box = context.driver.find_window(window_class="#32770", caption="Setup")
        texts = [c["text"] for c in box["controls"] if c["class"].lower() == "static"]
        assert self.message in texts, texts
        NoWizardWindow()(context)
        context.screenshot("error-box")
        context.driver.click(box, text="OK")
        assert launched.wait(timeout=60) == 1603


class ReadPlainLicence(Action):
    name = "run it, go to the licence page: the plain text is shown"

    def __call__(self, context: Context):
        setup = context.copy_into_prefix(context.custom_setup,
                                         context.downloads_folder() + "\\setup.exe")
        launched = context.driver.launch(f'"{setup}"')
        wizard = Wizard(context)
        wizard.press_next()
        viewers = [c["text"] for c in wizard.window["controls"]
                   if c["class"].lower() == "richedit50w" and c["visible"]]
        lines = viewers[0].replace("\r\n", "\n").replace("\r", "\n").strip().split("\n")
        assert lines == ["This licence is plain text.", "It has two lines."], lines
        context.screenshot("plain-licence")
        context.driver.close(wizard.window, as_user=True)
        box = context.driver.find_window(window_class="#32770", caption="ZELO Setup")
        context.driver.click(box, text="OK")
        assert launched.wait(timeout=60) == 1602


SCENARIOS = [
    Scenario(name="no-header-picture",
             description="a setup without header.png -> error box before any window, 1603",
             start=Clean(),
             steps=[(BuildSetup("without header.png", without_header), Clean()),
                    (ExpectBox('Cannot locate "header.png" file in setup archive'), Clean())],
             display=True),
    Scenario(name="addons-without-picture-name",
             description='an "addons.ini" without "I0", Russian chosen -> error box, 1603',
             start=Clean(),
             steps=[(BuildSetup('addons.ini without "I0"', addons_without_picture_name), Clean()),
                    (ExpectBox('"addons.ini" names no picture ("I0")', "Русский"), Clean())],
             display=True),
    Scenario(name="addons-picture-missing",
             description="the add-ons picture missing, Russian chosen -> error box, 1603",
             start=Clean(),
             steps=[(BuildSetup("without addons.png", addons_picture_missing), Clean()),
                    (ExpectBox('Cannot locate "addons.png" file in setup archive', "Русский"),
                     Clean())],
             display=True),
    Scenario(name="plain-text-licence",
             description="a setup whose License.rtf is plain text -> shown as text",
             start=Clean(),
             steps=[(BuildSetup("License.rtf holds plain text", plain_text_licence), Clean()),
                    (ReadPlainLicence(), Clean())],
             display=True),
]
