"""The exit codes a deployment tool acts on, each produced for real:
- 3010: a file of the product held so that nobody may replace it; with /SUPPRESSMSGBOXES
  nobody is asked, the new file waits beside it and replaces it at the restart.
- 1618: a second setup while the first one waits on its question does nothing.
- 1603 without any window: a destination that cannot be made, under /SILENT
  /SUPPRESSMSGBOXES; the log says why."""

import time

from e2e.harness.actions import HoldFile, ReleaseFiles, RunSetup
from e2e.harness.demo import DemoProduct
from e2e.harness.pending_renames import pending_operations
from e2e.harness.running_programs import Restart
from e2e.harness.scenario import Action, Context, Scenario, State
from e2e.harness.setup_log import assert_in_order, read_entries
from e2e.harness.states import Clean, Installed

FOLDER = "C:\\Apps\\ZELO\\"
OLD_PLAYER = b"MZ an older player held by another program"
LOG = "C:\\Logs\\setup.txt"


def new_player(context: Context) -> bytes:
    return dict(DemoProduct(context.build).installed_files(FOLDER))["ZELO.exe"]


class ReplacementWaiting(State):
    """Checked from the files alone while the holder still runs (reading the registry would
    stop the prefix's programs, the holder among them)."""

    name = "ZELO.exe still the old one, ZELO.exe.new the new one"

    def check(self, context: Context):
        folder = context.prefix.unix_path(FOLDER)
        assert (folder / "ZELO.exe").read_bytes() == OLD_PLAYER
        assert (folder / "ZELO.exe.new").read_bytes() == new_player(context)
        entries = read_entries(context.prefix.unix_path(LOG))
        assert_in_order(entries, [
            f"Scheduled for replacement at restart: {FOLDER}ZELO.exe <- {FOLDER}ZELO.exe.new",
            f"In use, replaced at the next restart: {FOLDER}ZELO.exe",
            "Exit code: 3010",
        ])


class ReplacementPending(State):
    name = "the replacement is among the operations of the next start"

    def check(self, context: Context):
        operations = pending_operations(context.registry())
        wanted = ((FOLDER + "ZELO.exe.new").upper(), (FOLDER + "ZELO.exe").upper())
        assert wanted in [(s.upper(), t.upper()) for s, t in operations], operations


class ReplacedAfterRestart(State):
    name = "after the restart: installed, the new ZELO.exe in place"

    def check(self, context: Context):
        assert not context.prefix.unix_path(FOLDER + "ZELO.exe.new").exists()
        # When the entry was written, ZELO.exe was still the old program without an icon.
        Installed(FOLDER, display_icon="Uninstall.exe").check(context)


class SecondSetupWhileFirstAsks(Action):
    """The first setup stops on its question about the held file (boxes are not suppressed);
    a second one, silent and without boxes, must end at once with 1618 and change nothing.
    Then the first one's question is answered with Abort: 1603."""

    name = "setup A waits on its question; setup B /SUPPRESSMSGBOXES -> 1618; A aborted -> 1603"

    def __call__(self, context: Context):
        setup = context.copy_into_prefix("demo/setup.exe",
                                         context.downloads_folder() + "\\setup.exe")
        first = context.driver.launch(f'"{setup}" /AUTO={FOLDER} /SILENT /NOBACKUP')
        question = context.driver.find_window(window_class="#32770", timeout_ms=60000)
        texts = [c["text"] for c in question["controls"]]
        assert any("ZELO.exe" in text for text in texts), f"the question: {texts}"
        second = context.driver.launch(
            f'"{setup}" /AUTO={FOLDER} /SILENT /SUPPRESSMSGBOXES /NOBACKUP /LOG="{LOG}"')
        assert second.wait(timeout=60) == 1618, "the second setup did not end with 1618"
        entries = read_entries(context.prefix.unix_path(LOG))
        assert_in_order(entries, ["Error: Another setup or uninstaller of ZELO is running. Try "
                                  "again when it has ended.", "Exit code: 1618"])
        assert not any(e.startswith("Action started") for e in entries), "the second one ran"
        context.driver.click(question, text="Abort")
        # Its boxes are not suppressed: the failure is shown before it ends.
        box = context.driver.find_window(window_class="#32770", caption="Setup")
        context.driver.click(box, text="OK")
        assert first.wait(timeout=120) == 1603, "the first setup was not aborted"


class FailsWithoutAnyWindow(Action):
    name = f"setup.exe /AUTO={FOLDER} /SILENT /SUPPRESSMSGBOXES with the folder blocked -> 1603"

    def __call__(self, context: Context):
        blocker = context.prefix.unix_path(FOLDER.rstrip("\\"))
        blocker.parent.mkdir(parents=True, exist_ok=True)
        blocker.write_bytes(b"a file where the folder should be")
        setup = context.copy_into_prefix("demo/setup.exe",
                                         context.downloads_folder() + "\\setup.exe")
        launched = context.driver.launch(
            f'"{setup}" /AUTO={FOLDER} /SILENT /SUPPRESSMSGBOXES /LOG="{LOG}"')
        # Watched while it runs: not a single window may appear.
        deadline = time.monotonic() + 120
        while launched._result_text() is None and time.monotonic() < deadline:
            window = context.driver.find_window(caption="Setup", timeout_ms=0, required=False)
            assert window is None, f"a window appeared: {window}"
            time.sleep(0.2)
        assert launched.wait(timeout=5) == 1603
        entries = read_entries(context.prefix.unix_path(LOG))
        errors = [entry for entry in entries if entry.startswith("Error")]
        assert errors and FOLDER.rstrip("\\") in "\n".join(errors), \
            f"the log does not name the folder: {errors}"
        assert entries[-1] == "Exit code: 1603", entries[-1]


class HeldFileInPlace(State):
    """Checked from the files alone: reading the registry would stop the prefix's programs,
    the holder among them."""

    name = "the old ZELO.exe in place, held open without any sharing"

    def check(self, context: Context):
        assert context.prefix.unix_path(FOLDER + "ZELO.exe").exists()
        assert not context.prefix.unix_path(FOLDER + "Uninstall.exe").exists()


class NothingInstalled(State):
    name = "nothing installed, the blocking file untouched"

    def check(self, context: Context):
        assert context.prefix.unix_path(FOLDER.rstrip("\\")).is_file()
        Clean().check(context)


SCENARIOS = [
    Scenario(
        name="deployment_exit_code_3010",
        description="ZELO.exe held exclusively -> setup /SILENT /SUPPRESSMSGBOXES -> 3010 -> "
                    "restart -> replaced",
        start=Clean(),
        steps=[
            (HoldFile(FOLDER + "ZELO.exe", OLD_PLAYER, exclusive=True), HeldFileInPlace()),
            # No backup: a file nobody may read could not be backed up, which fails the run.
            (RunSetup("demo/setup.exe",
                      f'/AUTO={FOLDER} /SILENT /SUPPRESSMSGBOXES /NOBACKUP /LOG="{LOG}"',
                      exit_code=3010), ReplacementWaiting()),
            (ReleaseFiles(), ReplacementPending()),
            (Restart(), ReplacedAfterRestart()),
        ],
    ),
    Scenario(
        name="deployment_exit_code_1618",
        description="setup A asking about a held file, setup B at the same time -> 1618",
        start=Clean(),
        steps=[
            (HoldFile(FOLDER + "ZELO.exe", OLD_PLAYER, exclusive=True), HeldFileInPlace()),
            (SecondSetupWhileFirstAsks(), HeldFileInPlace()),
            (ReleaseFiles(), HeldFileInPlace()),
        ],
    ),
    Scenario(
        name="deployment_exit_code_1603_no_window",
        description="destination blocked -> setup /SILENT /SUPPRESSMSGBOXES -> 1603, no window",
        start=Clean(),
        steps=[(FailsWithoutAnyWindow(), NothingInstalled())],
    ),
]
