"""Wine prefixes and private X servers for one scenario.

A scenario gets its own clone of the build tree's template prefix (scripts/wine/prefix.sh), its
own wineserver, and, when it takes screenshots, its own Xvfb. Everything is stopped and removed
when the scenario ends, pass or fail.
"""

import os
import re
import shutil
import signal
import subprocess
import time
from pathlib import Path, PureWindowsPath

REPO = Path(__file__).resolve().parents[2]
PREFIX_SCRIPT = REPO / "scripts" / "wine" / "prefix.sh"


class Xvfb:
    """A private X server; it picks a free display number itself (-displayfd)."""

    def __init__(self, log_path: Path):
        read_end, write_end = os.pipe()
        self._log = open(log_path, "wb")
        self._process = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1280x1024x24",
             "-nolisten", "tcp"],
            pass_fds=[write_end], stdout=self._log, stderr=subprocess.STDOUT)
        os.close(write_end)
        with os.fdopen(read_end) as reader:
            number = reader.readline().strip()
        if not number:
            self.stop()
            raise RuntimeError("Xvfb did not start; see " + str(log_path))
        self.display = ":" + number

    def screenshot(self, path: Path):
        subprocess.run(["import", "-display", self.display, "-window", "root", str(path)],
                       check=True, timeout=30, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL)

    def stop(self):
        if self._process.poll() is None:
            self._process.terminate()
            try:
                self._process.wait(timeout=10)
            except subprocess.TimeoutExpired:
                self._process.kill()
                self._process.wait()
        self._log.close()


class WinePrefix:
    """One Wine prefix cloned from the template; `run` and `start` execute Windows programs."""

    def __init__(self, wine_root: Path, place: Path, graphics: str = "null", display=None,
                 environment=None):
        self.place = place
        self.path = place / "prefix"
        self.drive_c = self.path / "drive_c"
        self._display = display
        self._extra_environment = dict(environment or {})
        subprocess.run([str(PREFIX_SCRIPT), "clone", str(wine_root), str(place), graphics],
                       check=True)

    def _command(self, program, arguments):
        return [str(PREFIX_SCRIPT), "run", str(self.path), str(program), *map(str, arguments)]

    def _environment(self):
        environment = dict(os.environ)
        environment.pop("DISPLAY", None)
        if self._display:
            environment["UINSTALLER_WINE_DISPLAY"] = self._display
        # Wine hands the Linux environment on to every Windows program it starts.
        environment.update(self._extra_environment)
        return environment

    def run(self, program, *arguments, log: Path, timeout=120):
        """Runs a program to its end; output goes to a file, never a pipe (Wine helpers that
        outlive the program would hold a pipe open). Returns Linux's view of the exit code,
        which is only its low 8 bits."""
        with open(log, "ab") as output:
            completed = subprocess.run(self._command(program, arguments), stdout=output,
                                       stderr=subprocess.STDOUT, timeout=timeout,
                                       env=self._environment())
        return completed.returncode

    def start(self, program, *arguments, log: Path, error_log: Path = None):
        """Starts a program and returns at once. Its output goes to log; with error_log its
        error output (and Wine's own messages, which arrive there too) goes to a file apart,
        for a caller that reads the program's output byte for byte."""
        output = open(log, "ab")
        errors = open(error_log, "ab") if error_log else None
        process = subprocess.Popen(self._command(program, arguments), stdout=output,
                                   stderr=errors or subprocess.STDOUT, env=self._environment(),
                                   start_new_session=True)
        process.log_file = output
        if errors:
            # Popen holds its own copy of the descriptor; the program keeps writing into it.
            errors.close()
        return process

    def user_name(self):
        users = [p.name for p in (self.drive_c / "users").iterdir()
                 if p.is_dir() and p.name != "Public"]
        return users[0]

    def unix_path(self, windows_path: str) -> Path:
        """C:\\dir\\file as a Linux path inside this prefix; another drive letter through the
        prefix's own mapping of it (dosdevices), as a scenario that adds a drive sets it up."""
        path = PureWindowsPath(windows_path)
        drive = path.drive.upper()
        if drive == "C:":
            return self.drive_c.joinpath(*path.parts[1:])
        mapped = self.path / "dosdevices" / drive.lower()
        if len(drive) != 2 or drive[1] != ":" or drive == "Z:" or not mapped.is_symlink():
            raise ValueError("no drive of this prefix holds " + windows_path)
        return mapped.resolve().joinpath(*path.parts[1:])

    def wait_until_idle(self, timeout=120) -> bool:
        """Waits until every process of the prefix has ended (the wineserver exits then).
        False when something still runs after Timeout, such as a program waiting for a click."""
        try:
            subprocess.run(["/usr/lib/wine/wineserver", "-w"], env={**os.environ,
                           "WINEPREFIX": str(self.path)}, timeout=timeout, check=False)
            return True
        except subprocess.TimeoutExpired:
            return False

    def process_states(self):
        """One line per Linux process of this prefix: its program and, per thread, the state
        and the kernel function it waits in. A failed scenario prints them, so that a program
        that shows no window tells whether it waits (and where) or is busy."""
        lines = []
        for pid, program in prefix_processes(self.path):
            try:
                threads = []
                for task in sorted(os.listdir(f"/proc/{pid}/task"), key=int):
                    with open(f"/proc/{pid}/task/{task}/stat") as stat:
                        state = stat.read().rsplit(")", 1)[1].split()[0]
                    with open(f"/proc/{pid}/task/{task}/wchan") as wchan:
                        threads.append(f"{state}:{wchan.read().strip() or '-'}")
            except OSError:  # ended meanwhile
                continue
            lines.append(f"{pid} {program}: {' '.join(threads)}")
        return lines

    def backtraces(self, output: Path):
        """Writes every thread's stack of every process of the prefix into output (winedbg's
        "bt all") and returns one line per thread of the programs under test, leaving Wine's
        own services out: where a program that hangs waits, inside the program or in Wine."""
        try:
            with open(output, "wb") as file:
                subprocess.run([str(PREFIX_SCRIPT), "backtraces", str(self.path)], stdout=file,
                               stderr=subprocess.STDOUT, timeout=60, env=self._environment())
        except subprocess.TimeoutExpired:
            return [f"winedbg did not finish within 60 s; see {output}"]
        return summarize_backtraces(output.read_text(encoding="utf-8", errors="replace"))

    def stop_server(self):
        """Stops every process of the prefix and its wineserver, which also writes the
        registry files out."""
        subprocess.run([str(PREFIX_SCRIPT), "teardown", str(self.path)], check=False)

    def remove(self):
        self.stop_server()
        shutil.rmtree(self.place, ignore_errors=True)


_THREAD_HEADER = re.compile(r"^Backtracing for thread (\w+) in process \w+ \((.*)\):$")
# "1 0x7b075550 WaitForMultipleObjectsEx+0xc8(count=0x1, ...) [sync.c:343] in kernelbase (...)"
_NAMED_FRAME = re.compile(r"^\s*(?:=>)?\s*\d+ 0x[0-9a-f]+ ([^\s(]+)\(.* in (\S+) \(")
# "0 0x14000c32f in setup (+0xc32f) (...)": a stripped program gives its offsets only.
_BARE_FRAME = re.compile(r"^\s*(?:=>)?\s*\d+ 0x[0-9a-f]+ in (\S+) \((\+0x[0-9a-f]+)\)")


def summarize_backtraces(text: str, frames_per_thread=8) -> list:
    """One line per thread of a program outside the Windows folder: its innermost frames as
    module!function+offset, or module+offset where there are no symbols."""
    lines = []
    current = None
    for line in text.splitlines():
        header = _THREAD_HEADER.match(line)
        if header:
            thread, program = header.groups()
            current = None
            if not program.lower().startswith("c:\\windows\\"):
                current = []
                lines.append((f"thread {thread} of {program}:", current))
            continue
        if current is None or len(current) >= frames_per_thread:
            continue
        named = _NAMED_FRAME.match(line)
        bare = _BARE_FRAME.match(line)
        if named:
            current.append(f"{named.group(2)}!{named.group(1)}")
        elif bare:
            current.append(f"{bare.group(1)}{bare.group(2)}")
    return [f"{title} {' < '.join(frames)}" for title, frames in lines]


def prefix_processes(prefix_path: Path, wanted=lambda program: True) -> list:
    """(pid, program) of each Linux process that runs in the prefix and whose program passes
    `wanted`. Wine shows a program's Windows path as the process's first argument; the name is
    tested first, since reading every process's environment costs more."""
    marker = f"WINEPREFIX={prefix_path}".encode()
    found = []
    for entry in os.scandir("/proc"):
        if not entry.name.isdigit():
            continue
        try:
            with open(f"/proc/{entry.name}/cmdline", "rb") as cmdline:
                program = cmdline.read().split(b"\0", 1)[0].decode("utf-8", errors="replace")
            if not wanted(program):
                continue
            with open(f"/proc/{entry.name}/environ", "rb") as environ:
                if marker not in environ.read().split(b"\0"):
                    continue
        except OSError:  # ended meanwhile, or not ours to read
            continue
        found.append((int(entry.name), program))
    return found


def stop_process(process, timeout=10):
    """Ends a background program started with WinePrefix.start and closes its log."""
    if process.poll() is None:
        try:
            process.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            os.killpg(process.pid, signal.SIGKILL)
            process.wait()
    process.log_file.close()


def wait_for(predicate, timeout=30, interval=0.1):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        if predicate():
            return True
        time.sleep(interval)
    return predicate()
