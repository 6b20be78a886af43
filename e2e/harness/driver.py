"""The Win32 test driver (e2e-driver.exe) as seen from Python: start a program and learn its
full exit code, find a window and read its controls, press a button."""

import json
import re
import time
from pathlib import Path

from .wine import WinePrefix, stop_process, wait_for


class LaunchedProgram:
    """A Windows program started through the driver, which records its 32-bit exit code."""

    def __init__(self, process, result_file: Path):
        self._process = process
        self._result_file = result_file

    def wait(self, timeout=60) -> int:
        if not wait_for(lambda: self._result_text() is not None, timeout=timeout):
            raise AssertionError(f"the program did not end within {timeout} s")
        stop_process(self._process)
        result = self._result_text()
        if not result.startswith("exit="):
            raise AssertionError("the program could not be started: " + result)
        return int(result[5:])

    def ended(self) -> bool:
        """Whether the program has ended (its exit code is known), without waiting."""
        return self._result_text() is not None

    def _result_text(self):
        if not self._result_file.exists():
            return None
        text = self._result_file.read_text().strip()
        return text or None


# The destination a command line names: /AUTO=<folder>, quoted or not, in any letter case.
_AUTO_FOLDER = re.compile(r'[/-]AUTO=(?:"([^"]+)"|(\S+))', re.IGNORECASE)


class Driver:
    def __init__(self, prefix: WinePrefix, driver_exe: Path, output: Path):
        self._prefix = prefix
        self._exe = driver_exe
        self._output = output
        self._launches = 0
        self._launch_processes = []  # the Linux process of each launch, in order
        # Every folder a program was told to install into, in the order of the launches: the
        # state "clean" looks there too, not only at the default folder.
        self.named_folders = []

    def launch(self, command_line: str) -> LaunchedProgram:
        """Starts a raw Windows command line exactly as written."""
        for quoted, plain in _AUTO_FOLDER.findall(command_line):
            folder = quoted or plain
            if folder not in self.named_folders:
                self.named_folders.append(folder)
        self._launches += 1
        command_file = self._output / f"launch-{self._launches}.cmd.txt"
        result_file = self._output / f"launch-{self._launches}.result.txt"
        command_file.write_text(command_line, encoding="utf-8")
        result_file.unlink(missing_ok=True)
        process = self._prefix.start(self._exe, "launch", f"Z:{result_file}",
                                     f"Z:{command_file}",
                                     log=self._output / f"launch-{self._launches}.log",
                                     error_log=self._output / f"launch-{self._launches}.err.log")
        self._launch_processes.append(process)
        return LaunchedProgram(process, result_file)

    def launch_outcomes(self):
        """Each program launched so far, and how it ended or that it still runs: a failed
        scenario says whether the program it drove crashed (an exception code) or hung."""
        lines = []
        for number in range(1, self._launches + 1):
            command = (self._output / f"launch-{number}.cmd.txt").read_text(encoding="utf-8")
            result_file = self._output / f"launch-{number}.result.txt"
            result = result_file.read_text().strip() if result_file.exists() else ""
            if result.startswith("exit="):
                code = int(result[5:])
                result = f"exit={code} (0x{code:08X})"
            if not result:
                # No result yet: either the program still runs, or the Wine process that was to
                # start it is gone without a word.
                ended = self._launch_processes[number - 1].poll()
                result = "still running" if ended is None else \
                    f"no result; the driver's Linux process ended with {ended}"
            lines.append(f"launch {number}: {command} -> {result}")
            # What the program or Wine said on the error output, the last lines only.
            error_log = self._output / f"launch-{number}.err.log"
            if error_log.exists():
                said = error_log.read_text(encoding="utf-8", errors="replace").splitlines()
                lines += [f"  stderr: {line}" for line in said[-5:]]
        return lines

    def last_exchange(self) -> str:
        """The driver's last command and its answer, as driver.log holds them: a failed
        scenario shows what the driver saw last (a window missing, or Wine not answering)."""
        log = self._output / "driver.log"
        if not log.exists():
            return ""
        text = log.read_text(encoding="utf-8", errors="replace")
        start = text.rfind("$ e2e-driver ")
        return text[start:].strip() if start >= 0 else ""

    def find_window(self, window_class=None, caption=None, timeout_ms=20000, required=True):
        arguments = ["find-window", "--timeout", str(timeout_ms)]
        if window_class:
            arguments += ["--class", window_class]
        if caption:
            arguments += ["--caption", caption]
        answer = self._call(arguments, timeout=timeout_ms / 1000 + 30)
        if answer is None:
            if not required:
                return None
            raise AssertionError(f"no window of class {window_class!r} caption {caption!r}")
        return json.loads(answer)

    def click(self, window: dict, control_id=None, text=None):
        arguments = ["click", "--window", str(window["window"])]
        if control_id is not None:
            arguments += ["--id", str(control_id)]
        if text is not None:
            arguments += ["--text-hex", text.encode("utf-8").hex()]
        if self._call(arguments) is None:
            raise AssertionError(f"cannot press {text or control_id} in {window['caption']!r}")

    def select(self, window: dict, text: str):
        """Chooses the item with that text in the window's combo box, as a user would."""
        arguments = ["select", "--window", str(window["window"]), "--text-hex",
                     text.encode("utf-8").hex()]
        if self._call(arguments) is None:
            raise AssertionError(f"no item {text!r} in {window['caption']!r}")

    def set_text(self, window: dict, text: str, window_class: str = "Edit"):
        """Replaces the text of the window's first visible control of a class, as typing does."""
        arguments = ["set-text", "--window", str(window["window"]), "--class", window_class,
                     "--text-hex", text.encode("utf-8").hex()]
        if self._call(arguments) is None:
            raise AssertionError(f"cannot type into a {window_class} of {window['caption']!r}")

    def key(self, window: dict, virtual_key: int) -> str:
        """Presses a key (a Windows virtual-key code) in the control that has the focus in the
        window; returns that control's class."""
        answer = self._call(["key", "--window", str(window["window"]), "--vk", str(virtual_key)])
        if answer is None:
            raise AssertionError(f"cannot press key {virtual_key} in {window['caption']!r}")
        return json.loads(answer)["focus"]

    def setting_changed(self, area: str):
        """Broadcasts WM_SETTINGCHANGE naming the changed area, as Windows does."""
        if self._call(["setting-changed", area]) is None:
            raise AssertionError(f"cannot broadcast the change of {area}")

    def close(self, window: dict, timeout_ms=10000, as_user=False):
        """Asks a window to close with WM_CLOSE, sent and answered as Setup sends it; as_user
        posts what the title bar's close box (or Alt+F4) posts and returns at once."""
        arguments = ["close", "--window", str(window["window"]), "--timeout", str(timeout_ms),
                     "--as-user", "1" if as_user else "0"]
        if self._call(arguments, timeout=timeout_ms / 1000 + 30) is None:
            raise AssertionError(f"{window['class']!r} did not take the close request")

    def _call(self, arguments, timeout=60):
        # The driver answers 0, or 1 when what it was asked for is not there. Any other status
        # means Wine did not run it at all (a busy machine, a server being restarted): asked
        # again, as a user would click again.
        for attempt in range(3):
            stamp = f"{time.monotonic_ns()}"
            answer_file = self._output / f"driver-{stamp}.json"
            log = self._output / "driver.log"
            status = self._prefix.run(self._exe, *arguments, log=answer_file, timeout=timeout)
            text = answer_file.read_text(encoding="utf-8", errors="replace")
            answer_file.unlink()
            with open(log, "a", encoding="utf-8") as out:
                out.write(f"$ e2e-driver {' '.join(arguments)}\n[status {status}]\n{text}\n")
            if status in (0, 1):
                break
            time.sleep(1)
        if status != 0:
            return None
        lines = [line for line in text.splitlines() if line.startswith("{")]
        return lines[-1] if lines else ""
