"""A user chooses Russian in the language dialog (in the dark app mode at 144 DPI, where the
add-ons page is kept as a screenshot): the add-ons page appears (between the destination and the
integration), offers the picture viewer with its three
choices checked and the links to its licence and privacy policy; the user declines its file
types, and the add-on's installer is started with exactly the switches chosen."""

from e2e.harness.scenario import Action, Context, Scenario, State
from e2e.harness.states import DEFAULT_FOLDER, Clean, Installed
from e2e.harness.wizard import LanguageDialog, SetLook, Wizard, start_demo_setup

ACCEPT = "Я принимаю условия лицензионного соглашения"
ADDON_BOXES = {
    "Установить программу просмотра изображений": True,
    "Открывать в ней изображения по умолчанию": True,
    "Создать её ярлыки на рабочем столе": True,
}
LINKS = ('Устанавливая её, вы принимаете её <a href="https://www.example.com/picta/license">'
         'лицензионное соглашение</a> и <a href="https://www.example.com/picta/privacy">'
         'политику конфиденциальности</a>.')


class InstallDecliningTheFileTypes(Action):
    name = "walk the wizard in Russian; on the add-ons page clear the viewer's file types"

    def __call__(self, context: Context):
        launched = start_demo_setup(context)
        dialog = LanguageDialog(context)
        dialog.choose("Русский")
        context.screenshot("language")
        dialog.confirm()
        wizard = Wizard(context, language_dialog=False)
        wizard.press_next()
        wizard.click_text(ACCEPT)
        wizard.press_next()  # setup
        wizard.press_next()
        context.screenshot("addons")
        assert wizard.check_boxes() == ADDON_BOXES, wizard.check_boxes()
        links = [c["text"] for c in wizard.window["controls"]
                 if c["class"].lower() == "syslink" and c["visible"]]
        assert sorted(links) == sorted(["Picta Viewer — бесплатная программа другого издателя.",
                                        LINKS]), links
        wizard.click_text("Открывать в ней изображения по умолчанию")
        # Back and forth keeps the choice.
        wizard.press_back()
        wizard.press_next()
        assert not wizard.check_boxes()["Открывать в ней изображения по умолчанию"]
        wizard.press_next()  # integration
        wizard.press_next()  # ready
        wizard.press_next()  # install
        wizard.wait_for_finish_page()
        context.screenshot("finish")
        wizard.finish_starting_nothing()
        assert launched.wait(timeout=120) == 0


class AddonInstalledAsChosen(State):
    name = "installed; the add-on's installer ran with the chosen switches"

    def check(self, context: Context):
        log = context.demo_log("PictaSetup")
        assert log, "the add-on's installer did not run"
        print(f"    PictaSetup: {log}")
        assert "/NOASSOC" in log[0] and "/VIEWER" in log[0] and "/SHORTCUTS" in log[0], log
        Installed(DEFAULT_FOLDER, family="RU").check(context)


SCENARIO = Scenario(
    name="wizard_addons",
    description="clean -> Russian chosen -> the wizard with its add-ons page -> the "
                "add-on installed with the chosen switches",
    start=Clean(),
    steps=[(SetLook(dark=True, dpi=144), Clean()),
           (InstallDecliningTheFileTypes(), AddonInstalledAsChosen())],
    display=True,
)
