"""Programs running inside an installation while Setup works on it: the player (the demo
player, standing in for whichever version is installed) and a helper that keeps its own
program file in use, as a running companion program does. And the restart that carries out
what Windows was told to do at the next start."""

import shutil

from .scenario import Action, Context, State
from .wine import wait_for

HELPER_HOLDS = "C:\\held-by-helper.txt"


class StartPlayerIn(Action):
    """Starts Folder\\ZELO.exe with Arguments; it runs until Setup closes it."""

    def __init__(self, folder: str, arguments: str = ""):
        self.command_line = f'"{folder.rstrip(chr(92))}\\ZELO.exe" {arguments}'.rstrip()
        self.name = f"start {self.command_line}"

    def __call__(self, context: Context):
        context.player = context.driver.launch(self.command_line)
        context.player_command_line = self.command_line


class PlayerRunning(State):
    def __init__(self, window_classes):
        self.window_classes = list(window_classes)
        self.name = "player running: " + ", ".join(self.window_classes)

    def check(self, context: Context):
        for window_class in self.window_classes:
            context.driver.find_window(window_class=window_class)


class PlayerClosedBySetup(State):
    """Every window of the player is gone, and the player ended with 0 after a close request
    for each of them."""

    def __init__(self, window_classes):
        self.window_classes = list(window_classes)
        self.name = "the player was closed"

    def check(self, context: Context):
        for window_class in self.window_classes:
            window = context.driver.find_window(window_class=window_class, timeout_ms=0,
                                                required=False)
            assert window is None, f"a {window_class} window is still open"
        exit_code = context.player.wait(timeout=30)
        assert exit_code == 0, f"the player ended with {exit_code}"
        log = context.demo_log("ZELO")
        closed = [line for line in log if line.startswith("closed: ")]
        assert sorted(closed) == sorted(f"closed: {c}" for c in self.window_classes), log
        assert log[-1:] == ["ended: 0"], log


class StartHelperIn(Action):
    """Puts a copy of the test driver at a Windows path inside the installation and runs it:
    Windows keeps a running program's file from being deleted (it can still be renamed). The
    helper holds a file outside the installation until ReleaseFiles."""

    def __init__(self, windows_path: str):
        self.windows_path = windows_path
        self.name = f"run a helper from {windows_path}"

    def __call__(self, context: Context):
        helper = context.prefix.unix_path(self.windows_path)
        helper.parent.mkdir(parents=True, exist_ok=True)
        shutil.copyfile(context.build / "e2e-driver.exe", helper)
        held = context.prefix.unix_path(HELPER_HOLDS)
        held.write_bytes(b"held by the helper")
        stop = context.output / "release-files"
        stop.unlink(missing_ok=True)
        log = context.output / "helper.log"
        process = context.prefix.start(helper, "hold", HELPER_HOLDS, f"Z:{stop}", log=log)
        context.holders.append(process)
        assert wait_for(lambda: "holding" in log.read_text(errors="replace"), timeout=30), \
            "the helper did not start"


class Restart(Action):
    """Ends every program of the prefix and starts Windows again, which carries out the
    pending renames and deletions."""

    name = "restart Windows"

    def __call__(self, context: Context):
        context.prefix.stop_server()
        status = context.prefix.run("wineboot", "-r", log=context.output / "wineboot.log")
        assert status == 0, f"wineboot -r ended with {status}"
        context.prefix.stop_server()
