"""An elevated setup hands its post-install commands back to the first process: a window of
another process, named with SKIPUAC, receives them as WM_COPYDATA and the setup itself starts
nothing. Here an automatic update with RUN starts every command by default."""

import time

from e2e.harness.actions import RunSetup
from e2e.harness.scenario import Action, Context, Scenario, State
from e2e.harness.states import Clean, Installed
from e2e.harness.wine import stop_process, wait_for

FOLDER = "C:\\Apps\\ZELO\\"


class PlayOlderInstallation(Action):
    """An updatable installation at the destination, told by its configuration file."""

    name = "an installation of version 4.51 at " + FOLDER

    def __call__(self, context: Context):
        path = context.prefix.unix_path(FOLDER + "ZELO.ini")
        path.parent.mkdir(parents=True, exist_ok=True)
        path.write_bytes(b"[System]\r\nUserMode=1\r\nVersion=4510\r\n")


class StartFirstProcessWindow(Action):
    name = "the first process's spawn window"

    def __call__(self, context: Context):
        log = context.output / "spawn-window.out"
        context.spawn_requests = context.output / "spawn-requests.txt"
        context.spawn_stop = context.output / "spawn-stop"
        context.spawn_window = context.prefix.start(
            context.build / "e2e-driver.exe", "spawn-window", f"Z:{context.spawn_requests}",
            f"Z:{context.spawn_stop}", log=log)
        assert wait_for(lambda: log.exists() and log.read_text().strip().isdigit(), timeout=30)
        context.spawn_handle = log.read_text().strip()


class RunElevatedCopy(Action):
    def __init__(self):
        self.name = "setup.exe /SKIPUAC=<window> /AUTO=... /RUN /SILENT"

    def __call__(self, context: Context):
        RunSetup("demo/setup.exe",
                 f"/SKIPUAC={context.spawn_handle} /AUTO={FOLDER} /RUN /SILENT")(context)
        time.sleep(1)
        context.spawn_stop.write_text("stop")
        stop_process(context.spawn_window, timeout=30)


class Waiting(State):
    name = "first process waiting"

    def check(self, context: Context):
        assert context.spawn_window.poll() is None


class CommandsHandedBack(State):
    name = "updated in place; the post-install commands arrived at the first process"

    def check(self, context: Context):
        requests = context.spawn_requests.read_text(encoding="utf-8").splitlines()
        # The script's "$DEST\ZELO.exe" after a destination that ends in a backslash, then
        # the home page ("$LINK").
        assert requests == [FOLDER + "\\ZELO.exe", "https://www.example.com/zelo/"], requests
        # Handing the commands back is worth nothing if the update itself did not happen: the
        # files, the uninstaller and the registration, and the configuration of the new version.
        Installed(FOLDER).check(context)
        config = context.prefix.unix_path(FOLDER + "ZELO.ini").read_bytes()
        text = config.decode("utf-16") if config[:2] in (b"\xff\xfe", b"\xfe\xff") \
            else config.decode("cp1252")
        assert "Version=5" in text, f"ZELO.ini does not name the new version: {text!r}"


SCENARIO = Scenario(
    name="spawn_hand_back",
    description="an elevated copy hands the player and the home page back to its first process",
    start=Clean(),
    steps=[
        (PlayOlderInstallation(), Clean()),
        (StartFirstProcessWindow(), Waiting()),
        (RunElevatedCopy(), CommandsHandedBack()),
    ],
)
