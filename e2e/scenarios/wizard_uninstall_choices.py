"""A user removes a used installation through Uninstall.exe's wizard, with each combination of
its two choices: the installed files go in every case; "Remove the backup copies" takes the
"!Backup" folder, "Remove my settings and playlists" the player's profiles, and both together
the whole installation folder, with the files the user added to it."""

from e2e.harness.actions import RunSetup
from e2e.harness.scenario import Action, Context, Scenario, State
from e2e.harness.states import PRODUCT_KEY, Clean, Installed
from e2e.harness.wizard import Wizard
from e2e.scenarios.uninstall_silent import (BACKUP, FOLDER, PROFILE_FILES, USER_FILES, InUse,
                                            UseThePlayer, profile_folder)

BACKUPS_BOX = "Remove the backup copies of earlier versions"
CONTENT_BOX = "Remove my settings and playlists"


class UninstallWithChoices(Action):
    def __init__(self, remove_backups: bool, remove_content: bool):
        self.choices = {BACKUPS_BOX: remove_backups, CONTENT_BOX: remove_content}
        chosen = [box for box, on in self.choices.items() if on] or ["nothing else"]
        self.name = f"Uninstall.exe through the wizard, removing: {', '.join(chosen)}"

    def __call__(self, context: Context):
        launched = context.driver.launch(f'"{FOLDER}Uninstall.exe"')
        wizard = Wizard(context)
        for box, on in self.choices.items():
            if on:
                wizard.click_text(box)
        context.screenshot("choices")
        wizard.press_next()
        wizard.wait_for(lambda w: w.next_button()["text"] == "Finish",
                        what="the uninstall-finish page")
        assert "ZELO has been uninstalled" in wizard.visible_texts(), wizard.visible_texts()
        wizard.press_finish()
        exit_code = launched.wait(timeout=60)
        assert exit_code == 0, f"Uninstall.exe ended with {exit_code}"


class RemovedAsChosen(State):
    def __init__(self, remove_backups: bool, remove_content: bool):
        self.remove_backups = remove_backups
        self.remove_content = remove_content
        self.name = "the program removed, the rest as chosen"

    def check(self, context: Context):
        folder = context.prefix.unix_path(FOLDER)
        problems = []
        if folder.joinpath("ZELO.exe").exists():
            problems.append("ZELO.exe is still there")
        whole_folder = self.remove_backups and self.remove_content
        if whole_folder and folder.exists():
            problems.append(f"{FOLDER} is still there")
        backup_left = folder.joinpath(*BACKUP.split("\\")).exists()
        if backup_left == (self.remove_backups or whole_folder):
            problems.append(f"backup {'left' if backup_left else 'removed'}")
        for relative in USER_FILES:
            if folder.joinpath(*relative.split("\\")).exists() == whole_folder:
                problems.append(f"the user's {relative} {'left' if not whole_folder else 'gone'}")
        profile = context.prefix.unix_path(profile_folder(context))
        for relative in PROFILE_FILES:
            if profile.joinpath(*relative.split("\\")).exists() == self.remove_content:
                problems.append(f"profile {relative} {'left' if self.remove_content else 'gone'}")
        assert not problems, "\n    ".join([""] + problems)
        assert not context.registry().has_key(PRODUCT_KEY), f"{PRODUCT_KEY} is still there"


TIMEOUT = 600

SCENARIOS = [
    Scenario(
        name=f"backups-{'on' if backups else 'off'}-content-{'on' if content else 'off'}",
        description=f"installed and used -> Uninstall.exe through the wizard (remove backups: "
                    f"{backups}, remove content: {content})",
        start=Clean(),
        steps=[(RunSetup("demo/setup.exe", f'/AUTO="{FOLDER}" /SILENT'), Installed(FOLDER)),
               (UseThePlayer(), InUse()),
               (UninstallWithChoices(backups, content), RemovedAsChosen(backups, content))],
        display=True,
    )
    for backups in (False, True) for content in (False, True)
]
