"""Scenarios as states and actions: a scenario starts from a state, then runs actions, each
followed by the state the machine must be in afterwards (clean -> install -> installed -> ...).
States check what a user or an admin would see; actions do what they would do."""

import shutil
import traceback
from dataclasses import dataclass, field
from pathlib import Path

from .driver import Driver
from .registry import Registry
from .wine import WinePrefix, Xvfb


class Context:
    """What actions and states work with: the prefix, the driver, the built programs, and the
    scenario's output folder (logs, screenshots, kept as test artifacts)."""

    def __init__(self, name: str, build: Path, output: Path, prefix: WinePrefix, driver: Driver,
                 display):
        self.name = name
        self.build = build
        self.output = output
        self.prefix = prefix
        self.driver = driver
        self.display = display
        self.holders = []  # background programs holding files open
        # Undone when the scenario ends, pass or fail, before its prefix goes (a drive mounted
        # for it, say); newest first.
        self.cleanups = []
        self._screenshots = 0

    def demo_log(self, program: str):
        """The lines a demo program (ZELO, Elevator, PictaSetup, zelo_menu64) has logged in
        this scenario; empty when it never ran."""
        path = demo_log_folder(self.output) / f"{program}.log"
        return path.read_text(encoding="utf-8").splitlines() if path.exists() else []

    def downloads_folder(self) -> str:
        return f"C:\\users\\{self.prefix.user_name()}\\Downloads"

    def copy_into_prefix(self, built_file: str, windows_path: str) -> str:
        """Places a file of the build tree at a Windows path of the prefix; returns that path."""
        target = self.prefix.unix_path(windows_path)
        target.parent.mkdir(parents=True, exist_ok=True)
        shutil.copyfile(self.build / built_file, target)
        return windows_path

    def registry(self) -> Registry:
        # Wine writes the registry files only when its server stops.
        self.prefix.stop_server()
        return Registry(self.prefix.path)

    def screenshot(self, label: str):
        """Takes a screenshot under Xvfb and returns its path; None without a display."""
        if self.display is None:
            return None
        self._screenshots += 1
        path = self.output / f"screenshot-{self._screenshots:02d}-{label}.png"
        self.display.screenshot(path)
        print(f"    screenshot {path}")
        return path


def demo_log_folder(output: Path) -> Path:
    return output / "demo-logs"


def demo_environment(output: Path) -> dict:
    """Sends the demo programs' logs into the scenario's output folder, outside the
    installation, which then holds exactly what Setup put there."""
    folder = demo_log_folder(output)
    folder.mkdir(parents=True, exist_ok=True)
    return {"ZELO_DEMO_LOG_DIR": f"Z:{folder}"}


class Skipped(Exception):
    """Raised by an action that cannot be carried out on this machine (say, without the right
    to mount a file system): the scenario ends there, neither passed nor failed, with the
    reason printed."""


class State:
    """A named condition of the machine; `check` raises AssertionError when it does not hold."""

    name = "state"

    def check(self, context: Context):
        raise NotImplementedError


class Action:
    name = "action"

    def __call__(self, context: Context):
        raise NotImplementedError


@dataclass
class Scenario:
    name: str
    description: str
    start: State
    steps: list = field(default_factory=list)  # (Action, State) pairs
    # Under a private Xvfb with the x11 driver (screenshots); otherwise Wine's null driver.
    display: bool = False
    # More environment for every program of the prefix, e.g. LC_ALL for the display language.
    environment: dict = field(default_factory=dict)


def run(scenario: Scenario, build: Path, output: Path, keep: bool = False) -> bool:
    output.mkdir(parents=True, exist_ok=True)
    for old in output.iterdir():
        if old.is_file():
            old.unlink()
    shutil.rmtree(demo_log_folder(output), ignore_errors=True)
    display = Xvfb(output / "xvfb.log") if scenario.display else None
    place = build / "wine" / "scenarios" / scenario.name
    prefix = None
    context = None
    try:
        prefix = WinePrefix(build / "wine", place, "x11" if display else "null",
                            display.display if display else None,
                            {**demo_environment(output), **scenario.environment})
        context = Context(scenario.name, build, output, prefix,
                          Driver(prefix, build / "e2e-driver.exe", output), display)
        print(f"scenario {scenario.name}: {scenario.description}")
        print(f"  state {scenario.start.name}")
        scenario.start.check(context)
        for action, expected in scenario.steps:
            print(f"  action {action.name}")
            action(context)
            print(f"  state {expected.name}")
            expected.check(context)
        print("  passed")
        return True
    except Skipped as reason:
        print(f"  SKIPPED: {reason}")
        return True
    except AssertionError as failure:
        print(f"  FAILED: {failure}")
        # The screen first: what follows takes seconds and attaches a debugger to each process.
        if display is not None:
            display.screenshot(output / "failure.png")
        if context is not None:
            for line in context.driver.launch_outcomes():
                print(f"    {line}")
            for line in context.driver.last_exchange().splitlines()[:20]:
                print(f"    driver: {line}")
            for line in prefix.process_states():
                print(f"    process {line}")
            for line in prefix.backtraces(output / "backtraces.txt"):
                print(f"    stack {line}")
        return False
    except Exception:  # pylint: disable=broad-except
        traceback.print_exc()
        return False
    finally:
        if context is not None and context.cleanups and prefix is not None:
            # Nothing of the prefix may still hold what a clean-up takes away (a busy mount).
            prefix.stop_server()
        while context is not None and context.cleanups:
            cleanup = context.cleanups.pop()
            try:
                cleanup()
            except Exception:  # pylint: disable=broad-except
                traceback.print_exc()
        if prefix is not None:
            if keep:
                prefix.stop_server()
                print(f"  prefix kept at {prefix.path}")
            else:
                prefix.remove()
        if display is not None:
            display.stop()
