"""Setups whose Install.xml tries to write where it must not: a component that climbs out of the
destination, names another folder or the device namespace, a device ("NUL", "COM1.txt"), a data
stream of a file, the uninstaller's own file, or a file another component already installs under
another spelling. Each run stops with 1603 before it writes anything, in the destination or
outside it, and its log names the entry and why. A destination of 10,000 characters is refused
at once in the same way."""

from e2e.harness.custom_setup import build_custom_setup
from e2e.harness.scenario import Action, Context, Scenario, State
from e2e.harness.setup_log import read_entries
from e2e.harness.states import DEFAULT_FOLDER, PRODUCT_KEY, Clean

TIMEOUT = 1500

FOLDER = "C:\\Apps\\ZELO\\"
LOG = "C:\\Logs\\setup.txt"
REFUSAL = 'Error: The installation script places a file at "{name}", '

# Case name, the component's target as Install.xml writes it, what the log says about it after
# the quoted target, and the place outside the destination it would reach if taken at its word.
CASES = [
    ("climbs-out", "$DEST\\..\\evil.dll", "outside the destination folder", "C:\\Apps\\evil.dll"),
    ("climbs-out-of-the-desktop", "$DESKTOP\\..\\..\\evil.dll", "outside the destination folder",
     "C:\\users\\evil.dll"),
    ("system-folder", "C:\\windows\\evil.dll", "outside the destination folder",
     "C:\\windows\\evil.dll"),
    ("long-path-prefix", "\\\\?\\C:\\evil.dll", "the system's device namespace", "C:\\evil.dll"),
    ("device", "$DEST\\NUL", 'names the device "NUL"', None),
    ("device-with-extension", "$DEST\\Help\\COM1.txt", 'names the device "COM1.txt"', None),
    ("data-stream", "$DEST\\ZELO.exe:evil", "it names a data stream", None),
    ("other-letter-case", "$DEST\\zelo.EXE", 'the same file as "$DEST\\ZELO.exe"', None),
    ("trailing-dots-and-blanks", "$DEST\\ZELO.exe. .", 'the same file as "$DEST\\ZELO.exe"',
     None),
    ("the-uninstaller", "$DEST\\Uninstall.exe", "where the uninstaller's own file goes", None),
]


def xml_attribute(text: str) -> str:
    return text.replace("&", "&amp;").replace('"', "&quot;").replace("<", "&lt;")


def with_component(target: str):
    """A change for build_custom_setup: the demo's script with one more component, the
    player's bytes to Target, placed after every genuine one; no change without a Target."""
    def change(setup, _product):
        if target is None:
            return
        script = (setup / "Install.xml").read_text(encoding="utf-8")
        end = script.index("</Components>")
        entry = f'  <File name="{xml_attribute(target)}">ZELO.exe</File>\n    '
        (setup / "Install.xml").write_text(script[:end] + entry + script[end:], encoding="utf-8")
    return change


class BuildSetup(Action):
    def __init__(self, target: str = None):
        self.target = target
        self.name = f"build a setup installing a component to {target}" if target \
            else "build the demo's setup from this tree's program"

    def __call__(self, context: Context):
        built = build_custom_setup(context.build, context.output / "custom",
                                   with_component(self.target))
        context.custom_setup = str(built.relative_to(context.build))


class RunRefused(Action):
    """Runs the setup silently with a log and expects 1603 and no window."""

    def __init__(self, arguments: str):
        self.arguments = arguments
        self.name = f"run it {arguments[:60]}{'...' if len(arguments) > 60 else ''} -> 1603"

    def __call__(self, context: Context):
        setup = context.copy_into_prefix(context.custom_setup,
                                         context.downloads_folder() + "\\setup.exe")
        launched = context.driver.launch(
            f'"{setup}" {self.arguments} /SILENT /SUPPRESSMSGBOXES /LOG="{LOG}"')
        exit_code = launched.wait(timeout=120)
        if exit_code != 1603:
            window = context.driver.find_window(caption="Setup", timeout_ms=0, required=False)
            raise AssertionError(f"exit code {exit_code}, expected 1603; window: {window}")


def log_errors(context: Context):
    entries = read_entries(context.prefix.unix_path(LOG))
    return [entry for entry in entries if entry.startswith("Error")]


class NothingWritten(State):
    """Nothing of the product anywhere, the destination not even created, nothing at the place
    outside that the entry aimed at, and the log's one error as expected."""

    def __init__(self, error_start: str, error_part: str, outside: str = None,
                 named_folder_readable: bool = True):
        self.error_start = error_start
        self.error_part = error_part
        self.outside = outside
        # A folder of 10,000 characters has no Linux path to look at (the system refuses names
        # that long); what could have been made of it is looked for at its start instead.
        self.named_folder_readable = named_folder_readable
        self.name = f"nothing written{f', no {outside}' if outside else ''}; the log says why"

    def check(self, context: Context):
        if self.named_folder_readable:
            Clean().check(context)
        else:
            assert not context.registry().has_key(PRODUCT_KEY), f"{PRODUCT_KEY} exists"
            assert not context.prefix.unix_path(DEFAULT_FOLDER).exists(), \
                f"{DEFAULT_FOLDER} exists"
        folder = context.prefix.unix_path(FOLDER)
        assert not folder.exists(), \
            f"{FOLDER} exists: {sorted(str(p) for p in folder.rglob('*'))}"
        if self.outside:
            assert not context.prefix.unix_path(self.outside).exists(), f"{self.outside} exists"
        errors = log_errors(context)
        assert len(errors) == 1, f"the log's errors: {errors}"
        assert errors[0].startswith(self.error_start), \
            f"the log says {errors[0]!r}, expected it to start with {self.error_start!r}"
        assert self.error_part in errors[0], \
            f"the log says {errors[0]!r}, expected it to hold {self.error_part!r}"


def hostile_target(name: str, target: str, why: str, outside: str) -> Scenario:
    return Scenario(
        name=name,
        description=f"a component installed to {target} -> 1603, nothing written",
        start=Clean(),
        steps=[(BuildSetup(target), Clean()),
               (RunRefused(f"/AUTO={FOLDER}"),
                NothingWritten(REFUSAL.format(name=target), why, outside))])


# Deep enough that the old run made nearly two thousand nested folders, for minutes.
HUGE_FOLDER = "C:\\Apps" + "\\abcd" * 2000 + "\\"

SCENARIOS = [hostile_target(*case) for case in CASES] + [
    Scenario(name="destination-of-10000-characters",
             description="/AUTO= a folder of 10,000 characters -> 1603 at once, nothing written",
             start=Clean(),
             steps=[(BuildSetup(), Clean()),
                    (RunRefused(f'/AUTO="{HUGE_FOLDER}"'),
                     NothingWritten("Error: The destination folder \"C:\\Apps\\abcd",
                                    f"is {len(HUGE_FOLDER) - 1} characters long",
                                    "C:\\Apps\\abcd", named_folder_readable=False))]),
]
