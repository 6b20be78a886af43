"""A user starts the demo setup with /AUTO but without /SILENT: the wizard shows only its install
page (no Back, Next disabled until the run ends), then closes by itself after a run without
errors, and the run ends with 0. When an action fails, the wizard stays on its finish page with
the red title, the error list and no post-install choices, and ends with 1603."""

from e2e.harness.scenario import Action, Context, Scenario, State
from e2e.harness.states import Clean, Installed
from e2e.harness.wizard import Wizard, start_demo_setup

FOLDER = "C:\\Apps\\ZELO\\"


class RunAutoWithWizard(Action):
    name = f"run setup.exe /AUTO={FOLDER} (the wizard shows, then closes by itself)"

    def __call__(self, context: Context):
        launched = start_demo_setup(context, f"/AUTO={FOLDER}")
        wizard = Wizard(context, language_dialog=False)
        context.screenshot("install-page")
        back, next_ = wizard.back_button(), wizard.next_button()
        assert not back["visible"], "Back is visible on the install page"
        if next_["text"] != "Finish":  # not yet at the end of the run
            assert next_["text"] == "Next >" and not next_["enabled"], next_
        exit_code = launched.wait(timeout=300)
        assert exit_code == 0, f"exit code {exit_code}"


class BlockTheFolder(Action):
    name = f"a file named like the folder {FOLDER} is in the way"

    def __call__(self, context: Context):
        path = context.prefix.unix_path(FOLDER.rstrip("\\"))
        path.parent.mkdir(parents=True, exist_ok=True)
        path.write_bytes(b"not a folder")


class RunAutoThatFails(Action):
    name = f"run setup.exe /AUTO={FOLDER}: the finish page lists the error, exit 1603"

    def __call__(self, context: Context):
        launched = start_demo_setup(context, f"/AUTO={FOLDER}")
        wizard = Wizard(context, language_dialog=False)
        wizard.wait_for(lambda w: w.next_button()["text"] == "Finish", what="the finish page")
        context.screenshot("finish-with-errors")
        texts = wizard.visible_texts()
        assert "The installation has failed" in texts, texts
        memo = [c for c in wizard.window["controls"]
                if c["class"].lower() == "edit" and c["visible"]]
        assert len(memo) == 1 and memo[0]["text"].strip(), f"error memo: {memo}"
        boxes = [c["text"] for c in wizard.window["controls"]
                 if c["class"].lower() == "button" and c["visible"] and c["id"] >= 1000]
        assert boxes == [], f"post-install choices shown beside errors: {boxes}"
        wizard.press_finish()
        exit_code = launched.wait(timeout=60)
        assert exit_code == 1603, f"exit code {exit_code}, expected 1603"


class FolderStillBlocked(State):
    name = "the file is still there; nothing registered"

    def check(self, context: Context):
        assert context.prefix.unix_path(FOLDER.rstrip("\\")).read_bytes() == b"not a folder"
        Clean().check(context)


SCENARIOS = [
    Scenario(
        name="succeeds",
        description=f"clean -> setup.exe /AUTO={FOLDER} -> install page, closes, installed",
        start=Clean(),
        steps=[(RunAutoWithWizard(), Installed(FOLDER))],
        display=True,
    ),
    Scenario(
        name="fails",
        description=f"{FOLDER} blocked by a file -> setup.exe /AUTO -> finish page with errors",
        start=Clean(),
        steps=[(BlockTheFolder(), Clean()), (RunAutoThatFails(), FolderStillBlocked())],
        display=True,
    ),
]
