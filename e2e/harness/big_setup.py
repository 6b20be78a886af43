"""The demo setup with many more files (pages of a manual), for scenarios that must catch a run
in the middle of writing or removing them: the demo alone writes its dozen files in a few
milliseconds."""

from pathlib import Path

from .custom_setup import build_custom_setup
from .scenario import Action, Context

PAGES_FOLDER = "Docs"


def big_setup_folder(context: Context) -> Path:
    """Where the scenario's big setup lies, with the demo's layout (setup\\, product\\,
    setup.exe); DemoProduct and Installed read it from there."""
    return context.output / "big-setup"


def page(number: int) -> bytes:
    return "".join(f"new manual, page {number}, line {line}\r\n" for line in range(40)).encode()


class BuildBigSetup(Action):
    """Builds the demo setup with `pages` more files, each in the script's components."""

    def __init__(self, pages: int):
        self.pages = pages
        self.name = f"build the demo setup with {pages} more files"

    def __call__(self, context: Context):
        def add_pages(setup: Path, product: Path):
            folder = product / PAGES_FOLDER
            folder.mkdir(parents=True, exist_ok=True)
            entries = []
            for number in range(self.pages):
                name = f"page{number:04d}.txt"
                (folder / name).write_bytes(page(number))
                entries.append(f'      <File name="$DEST\\{PAGES_FOLDER}\\{name}">'
                               f'{PAGES_FOLDER}\\{name}</File>\n')
            script = (setup / "Install.xml").read_text(encoding="utf-8")
            end = script.index("    </Components>")
            (setup / "Install.xml").write_text(script[:end] + "".join(entries) + script[end:],
                                               encoding="utf-8")

        build_custom_setup(context.build, big_setup_folder(context), add_pages)


def big_setup_exe(context: Context) -> str:
    """The big setup's path for Context.copy_into_prefix."""
    return str(big_setup_folder(context) / "setup.exe")


class RunBigSetup(Action):
    """Runs the big setup from the Downloads folder with switches; expects an exit code."""

    def __init__(self, arguments: str, exit_code: int = 0):
        self.arguments = arguments
        self.exit_code = exit_code
        self.name = f"run the big setup.exe {arguments}"

    def __call__(self, context: Context):
        launched = context.driver.launch(f"{big_setup_command(context)} {self.arguments}")
        exit_code = launched.wait(timeout=300)
        assert exit_code == self.exit_code, f"exit code {exit_code}, expected {self.exit_code}"


def big_setup_command(context: Context) -> str:
    """The big setup copied into the Downloads folder, quoted for a command line."""
    setup = context.copy_into_prefix(big_setup_exe(context),
                                     context.downloads_folder() + "\\setup.exe")
    return f'"{setup}"'
