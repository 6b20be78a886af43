"""A user updates with /AUTO (the wizard shows the progress) while the player is running and
keeps refusing to close. While Setup waits for it, the user closes the wizard and confirms:
the run stops after its current step, nothing of the installation is touched, and Setup ends
with 1602 (cancelled) instead of waiting out the player."""

import time

from e2e.harness.actions import RunSetup
from e2e.harness.running_programs import PlayerRunning, StartPlayerIn
from e2e.harness.scenario import Action, Context, Scenario
from e2e.harness.states import Clean, Installed
from e2e.harness.wizard import Wizard, start_demo_setup
from e2e.scenarios.wizard_close_asks import answer_close_question

FOLDER = "C:\\Apps\\ZELO\\"


class CloseWhileWaitingForThePlayer(Action):
    name = f"setup.exe /AUTO={FOLDER}; close the wizard while it waits for the player; OK"

    def __call__(self, context: Context):
        started = time.monotonic()
        launched = start_demo_setup(context, f"/AUTO={FOLDER}")
        wizard = Wizard(context, language_dialog=False)
        wizard.wait_for(lambda w: "Closing ZELO..." in w.visible_texts(),
                        what="the status of the close step")
        answer_close_question(context, wizard, "OK")
        exit_code = launched.wait(timeout=60)
        assert exit_code == 1602, f"exit code {exit_code}, expected 1602 (cancelled)"
        # The close step would give up on the player only after 30 seconds.
        assert time.monotonic() - started < 25, "Setup waited for the player instead of stopping"


SCENARIO = Scenario(
    name="wizard_cancel_during_run",
    description=f"installed in {FOLDER}, the player refuses to close -> setup.exe /AUTO, "
                "closed during the run -> 1602, the installation intact",
    start=Clean(),
    steps=[
        (RunSetup("demo/setup.exe", f"/AUTO={FOLDER} /SILENT"), Installed(FOLDER)),
        (StartPlayerIn(FOLDER, "/refuse-close=1000"), PlayerRunning(["TZELOMainForm"])),
        (CloseWhileWaitingForThePlayer(), Installed(FOLDER)),
    ],
    display=True,
)
