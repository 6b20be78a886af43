"""Setups a maker got wrong, started by a user: a setup without the wizard's header picture
stops with the one "Setup" box naming the missing file before any window appears (exit 1603);
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


def plain_text_licence(setup, _product):
    (setup / "License.rtf").write_bytes(PLAIN_LICENCE.encode("ascii"))


class NoWizardWindow(Action):
    name = "no wizard window was shown"

    def __call__(self, context: Context):
        found = context.driver.find_window(window_class=WIZARD_CLASS, timeout_ms=0,
                                           required=False)
        assert found is None, "a wizard window is open"


class ExpectBox(Action):
    name = 'run it, choose the language -> box "Cannot locate "header.png" file in setup ' \
           'archive", 1603'

    def __call__(self, context: Context):
        setup = context.copy_into_prefix(context.custom_setup,
                                         context.downloads_folder() + "\\setup.exe")
        launched = context.driver.launch(f'"{setup}"')
        LanguageDialog(context).confirm()
        box = context.driver.find_window(window_class="#32770", caption="Setup")
        texts = [c["text"] for c in box["controls"] if c["class"].lower() == "static"]
        assert 'Cannot locate "header.png" file in setup archive' in texts, texts
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
                    (ExpectBox(), Clean())],
             display=True),
    Scenario(name="plain-text-licence",
             description="a setup whose License.rtf is plain text -> shown as text",
             start=Clean(),
             steps=[(BuildSetup("License.rtf holds plain text", plain_text_licence), Clean()),
                    (ReadPlainLicence(), Clean())],
             display=True),
]
