"""The states a machine can be in, as the scenarios check them."""

from .scenario import Context, State

UNINSTALL_KEY = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall"
PRODUCT_KEY = UNINSTALL_KEY + r"\ZELO"
DEFAULT_FOLDER = r"C:\Program Files\ZELO"


def written_by_setup(context: Context, folder: str):
    """What lies in Folder of what an installation writes there: the demo's files of every
    language, the uninstaller's two files, and files still under their temporary names. Empty
    when the folder does not exist (or is not a folder)."""
    from .demo import DemoProduct, clean_path
    try:
        root = context.prefix.unix_path(folder)
    except ValueError:
        return []
    if not root.is_dir():
        return []
    destination = folder.rstrip("\\") + "\\"
    names = {clean_path(component.destination.replace("$DEST", destination))[len(destination):]
             for component in DemoProduct(context.build).components()}
    names |= {"Uninstall.exe", "Uninstall.dat"}
    found = sorted(name for name in names if root.joinpath(*name.split("\\")).exists())
    found += sorted(str(path.relative_to(root)) for path in root.rglob("~*.tmp"))
    return found


class AllOf(State):
    """Every one of the states, checked in order."""

    def __init__(self, *states):
        self.states = states
        self.name = "; ".join(state.name for state in states)

    def check(self, context: Context):
        for state in self.states:
            state.check(context)


class Clean(State):
    """Nothing of the product on the machine: no uninstall registration, no default program
    folder, and nothing an installation writes in any folder the scenario named, here or to a
    program with /AUTO=<folder>: a refused run must not have written into the folder it was
    given. Such a folder may exist (a scenario may have put something there itself)."""

    def __init__(self, folder: str = None):
        self.folder = folder
        self.name = "clean" + (f" (also {folder})" if folder else "")

    def check(self, context: Context):
        registry = context.registry()
        assert not registry.has_key(PRODUCT_KEY), f"{PRODUCT_KEY} exists"
        folder = context.prefix.unix_path(DEFAULT_FOLDER)
        assert not folder.exists(), f"{DEFAULT_FOLDER} exists"
        named = ([self.folder] if self.folder else []) + list(context.driver.named_folders)
        for named_folder in named:
            found = written_by_setup(context, named_folder)
            assert not found, f"{named_folder} holds what an installation writes: {found}"


class Installed(State):
    """The demo product installed in Folder: every component file of the language family with
    the demo's bytes, Uninstall.exe a copy of the setup, Uninstall.dat listing exactly those
    files (relative) with the two uninstaller files last, and the uninstall registration unless
    the installation is portable; nothing left under a temporary name."""

    def __init__(self, folder: str, registered: bool = True, family: str = "EN",
                 display_icon: str = "ZELO.exe", setup_exe=None, demo_folder=None):
        self.folder = folder.rstrip("\\") + "\\"
        # A function of the context giving the folder of a setup built for the scenario
        # (DemoProduct's layout), installed in place of the demo.
        self.demo_folder = demo_folder
        self.registered = registered
        self.family = family
        # The demo names its player, which carries an icon, as the entry's icon.
        self.display_icon = display_icon
        # The program that ran, of which Uninstall.exe is a byte copy: the demo's setup.exe
        # unless the scenario ran another one (a signed copy of it, say).
        self.setup_exe = setup_exe
        self.name = f"installed in {self.folder}" + ("" if registered else " (portable)")

    def check(self, context: Context):
        from . import ini, ipk5
        from .demo import DemoProduct
        demo = DemoProduct(context.build,
                           self.demo_folder(context) if self.demo_folder else None)
        root = context.prefix.unix_path(self.folder)
        expected = demo.installed_files(self.folder, self.family)
        for relative, content in expected:
            path = root.joinpath(*relative.split("\\"))
            assert path.is_file(), f"{relative} is missing"
            assert path.read_bytes() == content, f"{relative} differs from the demo's"
        # A run that ended well, a rerun of a killed one too, leaves nothing under a temporary
        # name: neither a file nor a backup archive cut short.
        leftovers = sorted(str(path.relative_to(root)) for path in root.rglob("~*.tmp"))
        assert not leftovers, f"temporary files left: {leftovers}"
        uninstaller = root / "Uninstall.exe"
        setup_exe = self.setup_exe or demo.setup_exe
        assert uninstaller.read_bytes() == setup_exe.read_bytes(), \
            f"Uninstall.exe is not a copy of {setup_exe.name}"

        files = ipk5.read((root / "Uninstall.dat").read_bytes())
        assert [name for name, _ in files] == ["Uninstall.ini"], [n for n, _ in files]
        assert files[0][1].startswith(b"\xff\xfe"), "Uninstall.ini is not UTF-16LE with a BOM"
        listing = dict(ini.sections(files[0][1])["Uninstall"])
        count = int(listing.pop("Count"))
        listed = [listing[str(i)] for i in range(count)]
        assert len(listing) == count, f"keys beyond Count: {sorted(listing)}"
        wanted = [relative for relative, _ in expected] + ["Uninstall.dat", "Uninstall.exe"]
        assert listed == wanted, f"Uninstall.ini lists {listed}, expected {wanted}"

        registry = context.registry()
        if not self.registered:
            assert not registry.has_key(PRODUCT_KEY), f"{PRODUCT_KEY} exists"
            return
        values = registry.values(PRODUCT_KEY)
        exe = self.folder + "Uninstall.exe"
        assert values.get("NoModify") == 1 and values.get("NoRepair") == 1, values
        assert values.get("DisplayName") == "ZELO", values
        assert values.get("DisplayIcon") == self.folder + self.display_icon, values
        assert values.get("InstallPath") == self.folder, values
        assert values.get("InstallLocation") == self.folder, values
        # Quoted: a command line with blanks must not let Windows try "C:\Program.exe" first.
        assert values.get("UninstallString") == f'"{exe}"', values
        assert values.get("QuietUninstallString") == f'"{exe}" /AUTO /SILENT /SUPPRESSMSGBOXES', \
            values
        for name in ("DisplayVersion", "Publisher", "URLInfoAbout"):
            assert values.get(name), f"{name} is empty: {values}"
        date = values.get("InstallDate", "")
        assert len(date) == 8 and date.isdigit(), f"InstallDate {date!r}"
        installed = sum(root.joinpath(*relative.split("\\")).stat().st_size
                        for relative in wanted)
        assert values.get("EstimatedSize") == (installed + 1023) // 1024, \
            f"EstimatedSize {values.get('EstimatedSize')}, the files hold {installed} bytes"
        assert len(values) == 13, f"expected thirteen values, found {sorted(values)}"
