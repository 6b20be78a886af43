"""What a maker puts into Install.xml reaches the machine as written, or not at all.

A setup whose publisher and one file name hold a character beyond U+FFFF (an emoji, four bytes
in UTF-8, a surrogate pair in UTF-16) installs that file under its name and registers that
publisher. A setup whose Install.xml was cut short stops before it writes anything: silently
with 1603, or with the "Setup" box naming Install.xml and where it breaks off."""

import subprocess

from e2e.harness.custom_setup import build_custom_setup, linux_setupkit
from e2e.harness.scenario import Action, Context, State
from e2e.harness.scenario import Scenario
from e2e.harness.states import PRODUCT_KEY, Clean

TIMEOUT = 900

NOTE = "\U0001F3B5"
PUBLISHER = f"ZELO {NOTE} Team"
SONG = f"Song {NOTE}.txt"
SONG_TEXT = f"A file whose name holds {NOTE}.\r\n".encode("utf-8")
FOLDER = "C:\\Apps\\ZELO\\"
# The demo's script is cut right after this component, in the middle of its "Components".
CUT_AFTER = 'name="$DEST\\Changes.txt"'


def with_emoji(setup, product):
    script = (setup / "Install.xml").read_text(encoding="utf-8")
    publisher = '<Setting name="Publisher" value="'
    start = script.index(publisher) + len(publisher)
    script = script[:start] + PUBLISHER + script[script.index('"', start):]
    components = "<Components>"
    at = script.index(components) + len(components)
    script = script[:at] + f'\n      <File name="$DEST\\{SONG}">{SONG}</File>' + script[at:]
    (setup / "Install.xml").write_text(script, encoding="utf-8")
    (product / SONG).write_bytes(SONG_TEXT)


def truncated(setup, _product):
    script = (setup / "Install.xml").read_bytes()
    end = script.index(b"\n", script.index(CUT_AFTER.encode("ascii"))) + 1
    (setup / "Install.xml").write_bytes(script[:end])


def truncated_message(context: Context) -> str:
    """The box text for the cut script: it ends inside "Components", at the start of the line
    after the cut."""
    script = (context.output / "custom" / "setup" / "Install.xml").read_bytes()
    line = script.count(b"\n") + 1
    return ("Install.xml is not valid XML: the file ends before </Components> closes "
            f"<Components> (line {line}, column 1)")


class BuildSetup(Action):
    def __init__(self, name: str, change):
        self.name = f"build a setup: {name}"
        self.change = change

    def __call__(self, context: Context):
        try:
            built = build_custom_setup(context.build, context.output / "custom", self.change)
        except subprocess.CalledProcessError:
            # A maker's kit that checks the script before building refuses a broken one; the
            # installer must still stand up to a setup built without that check.
            built = build_without_lint(context)
        context.custom_setup = str(built.relative_to(context.build))


def build_without_lint(context: Context):
    work = context.output / "custom"
    output = work / "setup.exe"
    subprocess.run([str(linux_setupkit(context.build)), "build", "--no-lint", "--setup",
                    str(work / "setup"), "--product", str(work / "product"), "--program",
                    str(context.build / "setup.exe"), "-o", str(output)],
                   check=True, stdout=subprocess.DEVNULL, timeout=300)
    return output


class RunCustomSetup(Action):
    def __init__(self, arguments: str, exit_code: int, box: bool = False):
        self.arguments = arguments
        self.exit_code = exit_code
        self.box = box
        self.name = f"run the setup {arguments} -> " + \
            ("the Setup box naming Install.xml, " if box else "") + str(exit_code)

    def __call__(self, context: Context):
        setup = context.copy_into_prefix(context.custom_setup,
                                         context.downloads_folder() + "\\setup.exe")
        launched = context.driver.launch(f'"{setup}" {self.arguments}')
        if self.box:
            box = context.driver.find_window(window_class="#32770", caption="Setup")
            texts = [c["text"] for c in box["controls"] if c["class"].lower() == "static"]
            expected = truncated_message(context)
            assert expected in texts, f"box texts {texts}, expected {expected!r}"
            context.screenshot("script-box")
            context.driver.click(box, text="OK")
        exit_code = launched.wait(timeout=300)
        if exit_code != self.exit_code:
            window = context.driver.find_window(caption="Setup", timeout_ms=0, required=False)
            raise AssertionError(f"exit code {exit_code}, expected {self.exit_code}; "
                                 f"window: {window}")


def registry_text(value) -> str:
    """Wine's registry files spell each UTF-16 unit on its own; a character beyond U+FFFF
    comes back as its two surrogates, joined here into the character."""
    return value.encode("utf-16-le", "surrogatepass").decode("utf-16-le")


class InstalledWithEmoji(State):
    name = f"installed in {FOLDER}: {SONG} in place, Publisher {PUBLISHER}"

    def check(self, context: Context):
        root = context.prefix.unix_path(FOLDER)
        song = root / SONG
        assert song.is_file(), f"{SONG} is missing; the folder holds " \
            f"{sorted(p.name for p in root.iterdir()) if root.exists() else 'nothing'}"
        assert song.read_bytes() == SONG_TEXT, f"{SONG} differs from the packaged file"
        assert (root / "ZELO.exe").is_file(), "ZELO.exe is missing"
        assert (root / "Uninstall.exe").is_file(), "Uninstall.exe is missing"
        publisher = context.registry().value(PRODUCT_KEY, "Publisher")
        assert isinstance(publisher, str), f"Publisher is {publisher!r}"
        assert registry_text(publisher) == PUBLISHER, \
            f"Publisher is {registry_text(publisher)!r}, expected {PUBLISHER!r}"


class NothingWritten(State):
    name = f"clean, and {FOLDER} was not created"

    def check(self, context: Context):
        Clean().check(context)
        folder = context.prefix.unix_path(FOLDER)
        assert not folder.exists(), f"{FOLDER} exists: " \
            f"{sorted(p.name for p in folder.iterdir())}"


SCENARIOS = [
    Scenario(name="emoji-in-publisher-and-file-name",
             description=f"Publisher and a file name with {NOTE} -> installed as written",
             start=Clean(),
             steps=[(BuildSetup(f"Publisher and {SONG}", with_emoji), Clean()),
                    (RunCustomSetup(f"/AUTO={FOLDER} /SILENT", 0), InstalledWithEmoji())]),
    Scenario(name="truncated-script",
             description="Install.xml cut short -> 1603 before anything is written",
             start=Clean(),
             steps=[(BuildSetup("Install.xml cut in its components", truncated), Clean()),
                    (RunCustomSetup(f"/AUTO={FOLDER} /SILENT /SUPPRESSMSGBOXES", 1603),
                     NothingWritten()),
                    (RunCustomSetup(f"/AUTO={FOLDER} /SILENT", 1603, box=True),
                     NothingWritten())],
             display=True),
]
