"""The switches an administrator types, each tried as written in the documentation:
- /? writes the switches and exit codes where it was started from and does nothing else;
- /LANG=Russian installs in Russian without a dialog, on a German system; an unknown
  language keeps the preselected one and says so in the log;
- /NORESTART changes nothing;
- the QuietUninstallString of the registration, run exactly as a package manager runs it,
  removes the product with exit 0."""

from e2e.harness.actions import RunSetup
from e2e.harness.scenario import Action, Context, Scenario, State
from e2e.harness.setup_log import read_entries
from e2e.harness.states import PRODUCT_KEY, Clean, Installed

FOLDER = "C:\\Apps\\ZELO\\"
LOG = "C:\\Logs\\setup.txt"


class AskForHelp(Action):
    """Under Wine a program started from the driver writes into the driver's own output, as
    one started from a console or with its output redirected does on Windows: the help must
    arrive there, and no box may wait for a click. (The box shown when there is no console is
    proved by the host tests.)"""

    def __init__(self, switch: str):
        self.switch = switch
        self.name = f"setup.exe {switch} -> the switches and exit codes on its output, exit 0"

    def __call__(self, context: Context):
        setup = context.copy_into_prefix("demo/setup.exe",
                                         context.downloads_folder() + "\\setup.exe")
        launched = context.driver.launch(f'"{setup}" {self.switch}')
        assert launched.wait(timeout=60) == 0
        output = (context.output / f"launch-{context.driver._launches}.log").read_bytes()
        text = output.decode("utf-8")
        for wanted in ("/AUTO", "/SILENT", "/SUPPRESSMSGBOXES", "/LOG", "/LANG", "/NORESTART",
                       "1602", "1603", "1618", "3010"):
            assert wanted in text, f"the help lacks {wanted}: {text!r}"
        bare_lines = [line for line in text.split("\r\n") if "\n" in line]
        assert "\r\n" in text and not bare_lines, \
            f"the help's lines do not end the Windows way: {bare_lines!r}"
        window = context.driver.find_window(caption="Setup", timeout_ms=0, required=False)
        assert window is None, f"a window was left: {window}"


class RunQuietUninstallString(Action):
    """Reads the command from the registry and starts it unchanged, as winget and the like do."""

    name = "run the registered QuietUninstallString as it is"

    def __call__(self, context: Context):
        command = context.registry().value(PRODUCT_KEY, "QuietUninstallString")
        assert command, "no QuietUninstallString"
        launched = context.driver.launch(command)
        assert launched.wait(timeout=300) == 0, "the quiet uninstallation did not end with 0"
        assert context.prefix.wait_until_idle(timeout=120), "a program is still running"


class LanguageLogged(State):
    def __init__(self, wanted: str):
        self.wanted = wanted
        self.name = f"the log tells that {wanted} is not in this setup"

    def check(self, context: Context):
        entries = read_entries(context.prefix.unix_path(LOG))
        assert f'Language "{self.wanted}" is not in this setup; the preselected one is used' \
            in entries, entries
        assert "Language: English" in entries, entries


class Removed(State):
    name = "removed: no registration, no files"

    def check(self, context: Context):
        Clean().check(context)
        assert not context.prefix.unix_path(FOLDER + "ZELO.exe").exists()


SCENARIOS = [
    Scenario(
        name="deployment_help",
        description="setup.exe /? and -HELP -> the help box, exit 0, nothing installed",
        start=Clean(),
        steps=[(AskForHelp("/?"), Clean()), (AskForHelp("-HELP"), Clean())],
    ),
    Scenario(
        name="deployment_language",
        description="German system: setup /LANG=Russian -> Russian; /LANG=Klingon -> logged",
        start=Clean(),
        environment={"LC_ALL": "de_DE.UTF-8"},
        steps=[
            (RunSetup("demo/setup.exe", f"/AUTO={FOLDER} /SILENT /LANG=russian /NORESTART"),
             Installed(FOLDER, family="RU")),
        ],
    ),
    Scenario(
        name="deployment_unknown_language",
        description="setup /LANG=Klingon -> the preselection (English), logged",
        start=Clean(),
        steps=[
            (RunSetup("demo/setup.exe", f'/AUTO={FOLDER} /SILENT /LANG=Klingon /LOG="{LOG}"'),
             LanguageLogged("Klingon")),
        ],
    ),
    Scenario(
        name="deployment_quiet_uninstall",
        description="installed -> the registered QuietUninstallString run as is -> removed, 0",
        start=Clean(),
        steps=[
            (RunSetup("demo/setup.exe", f"/AUTO={FOLDER} /SILENT /NORESTART"), Installed(FOLDER)),
            (RunQuietUninstallString(), Removed()),
        ],
    ),
]
