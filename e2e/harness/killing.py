"""Killing a run at a chosen moment, the way a crash, the task manager or a power cut ends it:
without warning, no clean-up code of the program runs. The moment is read from the log the run
writes with /LOG (one entry per action started and per file written, moved or deleted), which
is followed while the program runs; when the wanted point is reached, every process of the
program in the prefix gets SIGKILL from Linux (a Wine process is a Linux process; the
wineserver then ends it as Windows' TerminateProcess would, handles and locks released)."""

import os
import signal
import time
from dataclasses import dataclass
from pathlib import Path, PureWindowsPath

from .scenario import Action, Context
from .setup_log import STAMP, STAMP_WIDTH
from .wine import prefix_processes


class LogFollower:
    """The entries of a log that is still being written, read as they come: only complete lines
    count, and each read starts where the last one ended."""

    def __init__(self, path: Path):
        self._path = path
        self._offset = 0
        self._rest = b""
        self.entries = []

    def poll(self):
        try:
            with open(self._path, "rb") as log:
                log.seek(self._offset)
                data = log.read()
        except FileNotFoundError:
            return self.entries
        self._offset += len(data)
        data = self._rest + data
        lines = data.split(b"\r\n")
        self._rest = lines.pop()
        for raw in lines:
            line = raw.decode("utf-8", errors="replace").lstrip("\ufeff")
            if STAMP.match(line):
                self.entries.append(line[STAMP_WIDTH:])
            elif self.entries:
                self.entries[-1] += "\n" + line[STAMP_WIDTH:]
        return self.entries


@dataclass
class KillPoint:
    """Where a run is killed. `reached(entries, context)` says whether the run has got there;
    `label` names the point in the scenario's name."""

    label: str
    reached: object  # callable(entries, context) -> bool


def action_started(action: str) -> KillPoint:
    """Right after an action begins: a boundary between two steps."""
    wanted = f"Action started: {action}"
    return KillPoint(f"at the start of {action}", lambda entries, _: wanted in entries)


def changes_within(action: str, prefix: str, count: int, label: str) -> KillPoint:
    """Once `count` entries starting with `prefix` appeared after `action` started: in the middle
    of a long action. Counts as the entries come, so that each poll costs only the new ones."""
    started = f"Action started: {action}"
    seen = {"scanned": 0, "inside": False, "count": 0}

    def reached(entries, _):
        if len(entries) < seen["scanned"]:  # another run's log: start over
            seen.update(scanned=0, inside=False, count=0)
        for entry in entries[seen["scanned"]:]:
            if entry == started:
                seen["inside"] = True
            elif seen["inside"] and entry.startswith(prefix):
                seen["count"] += 1
        seen["scanned"] = len(entries)
        return seen["count"] >= count

    return KillPoint(label, reached)


def program_processes(prefix_path: Path, image_names) -> list:
    """The Linux pids of the Windows programs of this prefix whose image file name (any folder)
    is one of `image_names`, letter case ignored."""
    wanted = {name.lower() for name in image_names}
    return [pid for pid, _ in prefix_processes(
        prefix_path, lambda program: PureWindowsPath(program).name.lower() in wanted)]


def kill_programs(prefix_path: Path, image_names) -> list:
    """SIGKILL for every process of those programs in the prefix; the pids killed."""
    pids = program_processes(prefix_path, image_names)
    for pid in pids:
        try:
            os.kill(pid, signal.SIGKILL)
        except ProcessLookupError:
            pass
    return pids


class RunAndKill(Action):
    """Starts a command line (a function of the context, so that it may name a file copied into
    the prefix first) with /LOG="<log>" appended, follows the log, and kills every process of
    `image_names` the moment the kill point is reached. Fails when the program ends first: the
    point was never reached, and the case would prove nothing. Afterwards waits until nothing of
    the prefix runs any more, so that the state seen is the state the kill left."""

    def __init__(self, command_line, log: str, point: KillPoint, image_names, label: str):
        self.command_line = command_line
        self.log = log
        self.point = point
        self.image_names = tuple(image_names)
        self.name = f"{label}, killed {point.label}"

    def __call__(self, context: Context):
        log_path = context.prefix.unix_path(self.log)
        log_path.unlink(missing_ok=True)
        follower = LogFollower(log_path)
        launched = context.driver.launch(f'{self.command_line(context)} /LOG="{self.log}"')
        deadline = time.monotonic() + 300
        while True:
            entries = follower.poll()
            if self.point.reached(entries, context):
                killed = kill_programs(context.prefix.path, self.image_names)
                break
            if launched.ended():
                raise AssertionError(f"the run ended before the kill point ({self.point.label});"
                                     f" its last entries: {entries[-5:]}")
            if time.monotonic() > deadline:
                raise AssertionError(f"the kill point ({self.point.label}) was not reached")
            time.sleep(0.002)
        assert killed, f"no process of {self.image_names} to kill"
        launched.wait(timeout=60)
        assert context.prefix.wait_until_idle(timeout=60), "something still runs after the kill"
        entries = follower.poll()
        context.kill_entries = entries
        print(f"    killed {len(killed)} process(es) after {len(entries)} log entries; "
              f"the last: {entries[-1] if entries else None!r}")
        assert not any(entry.startswith("Exit code:") for entry in entries), \
            "the run ended on its own before it was killed"
