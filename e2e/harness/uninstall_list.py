"""The uninstaller's list of installed files inside Uninstall.dat: read it, and write it back
changed, as a test that plays a damaged or hostile installation does."""

from . import ini, ipk5
from .scenario import Action, Context


def read_list(data_file) -> list:
    """The "Uninstall" section's paths, in key order "0" to Count - 1."""
    files = ipk5.read(data_file.read_bytes())
    listing = dict(ini.sections(dict(files)["Uninstall.ini"]).get("Uninstall", []))
    return [listing[str(i)] for i in range(int(listing.get("Count", "0")))]


def write_list(data_file, paths):
    """Replaces the "Uninstall" section, keeping every other section of Uninstall.ini as it
    is; the package is written the way Setup writes it (UTF-16LE text with a byte order mark,
    the program's package key)."""
    files = dict(ipk5.read(data_file.read_bytes()))
    sections = ini.sections(files["Uninstall.ini"])
    sections["Uninstall"] = [("Count", str(len(paths)))] + [(str(i), p) for i, p in
                                                             enumerate(paths)]
    lines = []
    for name, entries in sections.items():
        lines.append(f"[{name}]")
        lines += [value if key is None else f"{key}={value}" for key, value in entries]
        lines.append("")
    text = "\r\n".join(lines) + "\r\n"
    files["Uninstall.ini"] = b"\xff\xfe" + text.encode("utf-16-le")
    data_file.write_bytes(ipk5.build(list(files.items())))


class ChangeUninstallList(Action):
    """Adds entries to the list of an installation in Folder (Windows path)."""

    def __init__(self, folder: str, added, label: str):
        self.folder = folder.rstrip("\\") + "\\"
        self.added = list(added)
        self.name = f"{label} in {self.folder}Uninstall.dat"

    def __call__(self, context: Context):
        data_file = context.prefix.unix_path(self.folder + "Uninstall.dat")
        listed = read_list(data_file)
        write_list(data_file, listed + self.added)
        assert read_list(data_file) == listed + self.added
