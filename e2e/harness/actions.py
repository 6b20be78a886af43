"""What a user or an admin does, as the scenarios do it."""

from pathlib import Path

from .scenario import Action, Context


class RunSetupExpectingErrorBox(Action):
    """Starts a setup executable from the Downloads folder and expects the one error box of the
    program entry: caption "Setup", the message, the error icon, a single OK button. Presses OK
    and checks the process's exit code."""

    def __init__(self, program: str, arguments: str, message: str, exit_code: int):
        self.program = program
        self.arguments = arguments
        self.message = message
        self.exit_code = exit_code
        self.name = f"run {program} {arguments}".rstrip() + f" -> box \"{message}\""

    def __call__(self, context: Context):
        setup = context.copy_into_prefix(
            self.program, context.downloads_folder() + "\\" + Path(self.program).name)
        launched = context.driver.launch(f'"{setup}" {self.arguments}'.rstrip())
        box = context.driver.find_window(window_class="#32770", caption="Setup")
        texts = [c["text"] for c in box["controls"] if c["class"].lower() == "static"]
        buttons = [c for c in box["controls"] if c["class"].lower() == "button" and c["visible"]]
        icons = [c.get("icon") for c in box["controls"] if c.get("icon")]
        assert self.message in texts, f"box texts {texts}, expected {self.message!r}"
        assert [b["text"] for b in buttons] == ["OK"], f"buttons {[b['text'] for b in buttons]}"
        if context.display is not None:  # icons are told apart by their pixels on screen
            assert icons == ["error"], f"icons {icons}, expected the error icon"
        context.screenshot("error-box")
        context.driver.click(box, text="OK")
        exit_code = launched.wait()
        assert exit_code == self.exit_code, f"exit code {exit_code}, expected {self.exit_code}"


class RunSetup(Action):
    """Starts a setup executable from the Downloads folder with switches and expects it to end
    without any window, with the given exit code."""

    def __init__(self, program: str, arguments: str, exit_code: int = 0):
        self.program = program
        self.arguments = arguments
        self.exit_code = exit_code
        self.name = f"run {Path(program).name} {arguments}".rstrip()

    def __call__(self, context: Context):
        setup = context.copy_into_prefix(
            self.program, context.downloads_folder() + "\\" + Path(self.program).name)
        launched = context.driver.launch(f'"{setup}" {self.arguments}'.rstrip())
        exit_code = launched.wait(timeout=300)
        if exit_code != self.exit_code:
            boxes = context.driver.find_window(caption="Setup", timeout_ms=0, required=False)
            raise AssertionError(f"exit code {exit_code}, expected {self.exit_code}; "
                                 f"window: {boxes}")


class RunProgram(Action):
    """Starts a program inside the prefix (a Windows path) and expects an exit code; then waits
    until every process it started has ended too."""

    def __init__(self, program: str, arguments: str = "", exit_code: int = 0):
        self.program = program
        self.arguments = arguments
        self.exit_code = exit_code
        self.name = f"run {program} {arguments}".rstrip()

    def __call__(self, context: Context):
        launched = context.driver.launch(f'"{self.program}" {self.arguments}'.rstrip())
        exit_code = launched.wait(timeout=300)
        assert exit_code == self.exit_code, f"exit code {exit_code}, expected {self.exit_code}"
        if not context.prefix.wait_until_idle(timeout=120):
            window = context.driver.find_window(caption="Setup", timeout_ms=0, required=False)
            raise AssertionError(f"a program is still running; window: {window}")


class HoldFile(Action):
    """Puts a file with some content at a path and keeps it open the way Windows keeps a running
    program's file (readable and renamable, not writable) until ReleaseFiles. Exclusive shares
    nothing: the file can then be neither read, replaced, renamed nor deleted."""

    def __init__(self, windows_path: str, content: bytes, exclusive: bool = False):
        self.windows_path = windows_path
        self.content = content
        self.exclusive = exclusive
        self.name = f"hold {windows_path} open" + (" exclusively" if exclusive else "")

    def __call__(self, context: Context):
        path = context.prefix.unix_path(self.windows_path)
        path.parent.mkdir(parents=True, exist_ok=True)
        path.write_bytes(self.content)
        stop = context.output / "release-files"
        stop.unlink(missing_ok=True)
        options = ["--exclusive"] if self.exclusive else []
        process = context.prefix.start(context.build / "e2e-driver.exe", "hold", *options,
                                       self.windows_path, f"Z:{stop}",
                                       log=context.output / "hold.log")
        context.holders.append(process)
        from .wine import wait_for
        assert wait_for(lambda: "holding" in (context.output / "hold.log").read_text(errors="replace"),
                        timeout=30), "the holder could not open the file"


class ReleaseFiles(Action):
    name = "release the held files"

    def __call__(self, context: Context):
        from .wine import stop_process
        (context.output / "release-files").write_text("stop")
        for process in context.holders:
            stop_process(process, timeout=30)
        context.holders.clear()


class RunSetupTimed(RunSetup):
    """RunSetup that notes when the run started and ended (local time, as the archive names
    it writes carry), for the states that look for what the run made."""

    def __call__(self, context: Context):
        from datetime import datetime
        context.run_started = datetime.now()
        super().__call__(context)
        context.run_ended = datetime.now()


class RunUninstaller(Action):
    """Starts Folder\\Uninstall.exe as an administrator or the system's list of programs
    does, and expects the process it started (the one that hands over to a copy in the
    temporary folder) to end with Exit code only after the work is done: when it ends, none of
    Watched (Windows paths) may exist any more. Then waits for every program to end, unless
    the scenario keeps one running on purpose (a file holder)."""

    def __init__(self, folder: str, arguments: str, watched, exit_code: int = 0,
                 wait_for_all: bool = True):
        self.program = folder.rstrip("\\") + "\\Uninstall.exe"
        self.arguments = arguments
        self.watched = list(watched)
        self.exit_code = exit_code
        self.wait_for_all = wait_for_all
        self.name = f"run {self.program} {arguments}".rstrip()

    def __call__(self, context: Context):
        launched = context.driver.launch(f'"{self.program}" {self.arguments}'.rstrip())
        exit_code = launched.wait(timeout=300)
        still_there = [path for path in self.watched if context.prefix.unix_path(path).exists()]
        if self.wait_for_all and not context.prefix.wait_until_idle(timeout=120):
            window = context.driver.find_window(caption="Setup", timeout_ms=0, required=False)
            raise AssertionError(f"a program is still running; window: {window}")
        assert exit_code == self.exit_code, f"exit code {exit_code}, expected {self.exit_code}"
        assert not still_there, \
            f"Uninstall.exe ended before its work was done: {still_there} still existed"
