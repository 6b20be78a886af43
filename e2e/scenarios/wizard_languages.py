"""The language dialog: it lists the setup's languages by display name and preselects the
user's display language (English, or German under a German Windows); the language chosen
speaks on every page, with the keys a partial translation lacks in English (German has no
hints on the destination page), and in the close question."""

from e2e.harness.scenario import Action, Context, Scenario
from e2e.harness.states import Clean
from e2e.harness.wizard import LanguageDialog, Wizard, start_demo_setup

TIMEOUT = 600

LANGUAGES = ["Deutsch", "English", "Русский"]
ENGLISH_HINT = ("The settings stay in the program's folder and Windows is left alone: no "
                "shortcuts, no file associations, no entry in the list of installed programs. "
                "Choose it to carry ZELO on a USB drive.")
GERMAN_QUESTION = ("Möchten Sie das Setup von ZELO beenden?\r\n"
                   "Wenn das Setup bereits arbeitet, hält es nach dem aktuellen Schritt an.")


class ChooseGerman(Action):
    def __init__(self, preselected: str, choose: str = None):
        self.preselected = preselected
        self.choose = choose
        self.name = f"the dialog preselects {preselected}" + (f"; choose {choose}"
                                                              if choose else "")

    def __call__(self, context: Context):
        launched = start_demo_setup(context)
        dialog = LanguageDialog(context)
        assert dialog.languages() == LANGUAGES, dialog.languages()
        assert dialog.selected() == self.preselected, dialog.selected()
        assert dialog.window["caption"] == "Select Language", dialog.window["caption"]
        if self.choose:
            dialog.choose(self.choose)
        context.screenshot("language")
        dialog.confirm()

        wizard = Wizard(context, language_dialog=False)
        assert wizard.window["caption"] == "ZELO Setup", wizard.window["caption"]
        assert "Willkommen beim Setup-Assistenten von ZELO" in wizard.visible_texts()
        assert wizard.next_button()["text"] == "Weiter >", wizard.next_button()
        wizard.press_next()
        wizard.click_text("Ich akzeptiere die Bedingungen des Lizenzvertrags")
        wizard.press_next()
        texts = wizard.visible_texts()
        assert "Portable Installation" in texts and ENGLISH_HINT in texts, texts
        context.screenshot("setup-page")

        context.driver.close(wizard.window, as_user=True)
        box = context.driver.find_window(window_class="#32770", caption="ZELO Setup")
        statics = [c["text"] for c in box["controls"] if c["class"].lower() == "static"]
        assert GERMAN_QUESTION in statics, statics
        context.driver.click(box, text="OK")
        assert launched.wait(timeout=60) == 1602


SCENARIOS = [
    Scenario(name="english-windows", description="English Windows: choose Deutsch",
             start=Clean(), steps=[(ChooseGerman("English", "Deutsch"), Clean())],
             display=True),
    Scenario(name="german-windows", description="German Windows: Deutsch preselected",
             start=Clean(), steps=[(ChooseGerman("Deutsch"), Clean())], display=True,
             environment={"LC_ALL": "de_DE.UTF-8"}),
]
