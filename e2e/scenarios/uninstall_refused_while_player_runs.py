"""A player that keeps turning down the request to close stops an uninstallation before
anything is removed: after Setup's time limit the copy in the temporary folder reports the
running program in the one "Setup" box and ends with 1603, and the Uninstall.exe that was
started, which waits for its copy, ends with that same code. The installation is intact."""

from e2e.harness.actions import RunSetup
from e2e.harness.running_programs import PlayerRunning, StartPlayerIn
from e2e.harness.scenario import Action, Context, Scenario
from e2e.harness.states import Clean, Installed

FOLDER = "C:\\Apps\\ZELO\\"
MESSAGE = "ZELO.exe is still running. Close it and run the setup again."


class RunUninstallerExpectingBox(Action):
    name = f"run {FOLDER}Uninstall.exe /AUTO /SILENT -> box \"{MESSAGE}\", exit code 1603"

    def __call__(self, context: Context):
        launched = context.driver.launch(f'"{FOLDER}Uninstall.exe" /AUTO /SILENT')
        # The close action gives up after about 30 seconds of refusals.
        box = context.driver.find_window(window_class="#32770", caption="Setup",
                                         timeout_ms=90000)
        texts = [c["text"] for c in box["controls"] if c["class"].lower() == "static"]
        assert MESSAGE in texts, f"box texts {texts}, expected {MESSAGE!r}"
        context.driver.click(box, text="OK")
        exit_code = launched.wait(timeout=60)
        assert exit_code == 1603, f"Uninstall.exe ended with {exit_code}, expected 1603"


SCENARIO = Scenario(
    name="uninstall_refused_while_player_runs",
    description=f"installed in {FOLDER}, the player refuses to close -> Uninstall.exe /AUTO "
                "/SILENT -> box, 1603 from the first process, nothing removed",
    start=Clean(),
    steps=[
        (RunSetup("demo/setup.exe", f"/AUTO={FOLDER} /SILENT"), Installed(FOLDER)),
        (StartPlayerIn(FOLDER, "/refuse-close=1000"), PlayerRunning(["TZELOMainForm"])),
        (RunUninstallerExpectingBox(), Installed(FOLDER)),
    ],
)
