"""No library planted beside the setup or beside the uninstaller's copy is ever loaded.

A setup.exe is usually started from the Downloads folder, where a web page may have dropped a
library named like one the setup loads (version.dll, uxtheme.dll, ...); the loader looks beside
the program first, so such a library would run with the setup's administrator rights. Canary
libraries (build/win64/canaries) are planted under every name that matters: the setup's imports
outside the system's known DLLs, the libraries it loads later, and those the system's libraries
load for it. Each writes C:\\canary\\<name>.loaded the moment it is loaded.

1. The control: an unprotected program (the same imports, LoadLibraryW by bare name) beside the
   canaries loads them. Without it the clean results below would prove nothing.
2. Canaries beside setup.exe in Downloads: a silent install, then an automatic run with the
   wizard (which loads the window libraries), succeed and load none.
3. Canaries in the temporary folder, where the uninstaller's copy runs (in a folder of its own
   there): a silent uninstall succeeds and loads none.

Wine prefers its own builtin libraries over a native one for some names (version.dll and
uxtheme.dll were measured), so the prefix is told to honour native libraries first for every
canary name outside the known DLLs, as WINEDLLOVERRIDES="name=n,b" would (written to the prefix's
DllOverrides key, since the harness sets WINEDLLOVERRIDES itself). The known DLLs (advapi32,
user32, ...) are planted with Wine's own choice: Windows never takes them from beside a program.
version.dll goes back to Wine's own choice after the control: Wine's builtin user32 imports it,
so forced native it is bound from beside any program before its first instruction (measured),
a path Windows does not have (its user32 is a known DLL and does not import version.dll).
"""

import shutil

from e2e.harness.actions import RunSetup, RunUninstaller
from e2e.harness.scenario import Action, Context, Scenario, State
from e2e.harness.states import AllOf, Clean, Installed

FOLDER = "C:\\Apps\\ZELO\\"
# The system's known DLLs among the setup's imports: always loaded from System32 on Windows.
KNOWN = ["advapi32", "gdi32", "msvcrt", "ole32", "shell32", "user32"]
# Everything else a planted library could pose as: the setup's other imports (bound on first
# use), what it loads later (dwmapi, msftedit, windowscodecs) and what the system's libraries
# load for it (version, cryptbase, profapi).
OTHERS = ["comctl32", "cryptbase", "dwmapi", "msftedit", "msimg32", "profapi", "uxtheme",
          "version", "windowscodecs"]
MARKERS = "C:\\canary"


def downloads(context: Context) -> str:
    return context.downloads_folder() + "\\"


def temporary_folder(context: Context) -> str:
    return f"C:\\users\\{context.prefix.user_name()}\\Temp\\"


def plant(context: Context, folder: str, names):
    shutil.rmtree(context.prefix.unix_path(MARKERS), ignore_errors=True)
    for name in names:
        context.copy_into_prefix(f"canaries/{name}.dll", folder + name + ".dll")


def loaded(context: Context):
    """{library name: [programs that loaded it]} from the canaries' markers."""
    root = context.prefix.unix_path(MARKERS)
    if not root.is_dir():
        return {}
    return {marker.name[:-len(".dll.loaded")].lower():
            marker.read_bytes().decode("utf-16-le").split()
            for marker in root.glob("*.loaded")}


class LoadOrder(Action):
    """Sets Wine's choice between a native library and its builtin one for the named
    libraries (DllOverrides, as WINEDLLOVERRIDES="name=n,b" would)."""

    def __init__(self, order: str, names, why: str):
        self.order = order
        self.names = list(names)
        self.name = why

    def __call__(self, context: Context):
        # Read when the server starts; it is stopped first, so nothing writes the file meanwhile.
        # A later section's value replaces an earlier one's.
        context.prefix.stop_server()
        lines = "".join(f'"{name}"="{self.order}"\n' for name in self.names)
        with open(context.prefix.path / "user.reg", "a", encoding="utf-8") as registry:
            registry.write("\n[Software\\\\Wine\\\\DllOverrides]\n" + lines)


class RunUnprotectedProbe(Action):
    name = "an unprotected program beside the canaries loads libraries by name"

    def __call__(self, context: Context):
        folder = downloads(context) + "control\\"
        plant(context, folder, OTHERS)
        probe = context.copy_into_prefix("canaries/unprotected_probe.exe",
                                         folder + "unprotected_probe.exe")
        names = " ".join(f"{name}.dll" for name in OTHERS)
        # It may end badly (a canary lacks what the program needed); the markers tell.
        context.driver.launch(f'"{probe}" {names}').wait(timeout=60)
        shutil.rmtree(context.prefix.unix_path(folder))


class CanariesLoaded(State):
    name = "every canary beside the unprotected program was loaded"

    def check(self, context: Context):
        found = loaded(context)
        missing = [name for name in OTHERS if name not in found]
        assert not missing, f"canaries not loaded without protection: {missing}; loaded {found}"


class PlantBesideSetup(Action):
    name = "canary libraries planted in Downloads, beside setup.exe"

    def __call__(self, context: Context):
        plant(context, downloads(context), KNOWN + OTHERS)


class PlantInTemp(Action):
    name = "canary libraries planted in the temporary folder"

    def __call__(self, context: Context):
        plant(context, temporary_folder(context), KNOWN + OTHERS)


class NoCanaryLoaded(State):
    name = "no canary loaded"

    def check(self, context: Context):
        found = loaded(context)
        assert not found, f"planted libraries were loaded: {found}"


SCENARIO = Scenario(
    name="dll_planting",
    description="canaries beside setup.exe and in Temp -> install, wizard run, uninstall load "
                "none; an unprotected program loads them",
    start=Clean(),
    steps=[
        (LoadOrder("native,builtin", OTHERS,
                   "the prefix loads a native library before its builtin one for every canary "
                   "name"), Clean()),
        (RunUnprotectedProbe(), CanariesLoaded()),
        # Wine's own user32 imports version.dll, bound at start beside the program whatever the
        # program does; Windows' user32 is a known DLL that does not. Forced native, version.dll
        # would test Wine, not the setup: Wine chooses for it as it does by default.
        (LoadOrder("builtin,native", ["version"], "version.dll back to Wine's own choice"),
         Clean()),
        (PlantBesideSetup(), NoCanaryLoaded()),
        (RunSetup("demo/setup.exe", f"/AUTO={FOLDER} /SILENT"),
         AllOf(Installed(FOLDER), NoCanaryLoaded())),
        # Without /SILENT the wizard shows its install page and closes by itself at the end.
        (RunSetup("demo/setup.exe", f"/AUTO={FOLDER}"), AllOf(Installed(FOLDER), NoCanaryLoaded())),
        (PlantInTemp(), NoCanaryLoaded()),
        (RunUninstaller(FOLDER, "/AUTO /SILENT", [FOLDER + "Uninstall.exe"]),
         AllOf(Clean(), NoCanaryLoaded())),
    ],
)
