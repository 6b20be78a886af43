"""The demo product as the scenarios know it: its two package folders and built setup, and what
an installation of it must leave on disk, read from its own Install.xml."""

import xml.etree.ElementTree as ElementTree
from dataclasses import dataclass
from pathlib import Path, PureWindowsPath


@dataclass
class Component:
    destination: str  # as written in the script, with $DEST
    source_name: str  # the file in the packages
    lang_family: str


def _named(element, name):
    """Children whose tag matches Name ignoring ASCII case, as the installer reads XML."""
    return [child for child in element if child.tag.upper() == name.upper()]


def clean_path(path: str) -> str:
    """Doubled backslashes collapse, as the installer's path clean-up does."""
    while "\\\\" in path[2:]:
        path = path[:2] + path[2:].replace("\\\\", "\\")
    return path


class DemoProduct:
    def __init__(self, build: Path, folder: Path = None):
        # Folder: a setup built for one scenario with the demo's layout (setup\, product\,
        # setup.exe), in place of the demo itself.
        self.folder = folder or build / "demo"
        self.setup_folder = self.folder / "setup"
        self.product_folder = self.folder / "product"
        self.setup_exe = self.folder / "setup.exe"

    def components(self):
        root = ElementTree.parse(self.setup_folder / "Install.xml").getroot()
        components = []
        for product in _named(root, "product")[:1]:
            for group in _named(product, "Components"):
                for file in _named(group, "File"):
                    name = file.get("name", "")
                    text = (file.text or "").strip()
                    source = text or PureWindowsPath(name.replace("/", "\\")).name
                    components.append(Component(name, source, file.get("lang-family", "")))
        return components

    def source_bytes(self, source_name: str) -> bytes:
        """A file from the product package first, then from the setup package."""
        relative = Path(*PureWindowsPath(source_name).parts)
        for folder in (self.product_folder, self.setup_folder):
            if (folder / relative).is_file():
                return (folder / relative).read_bytes()
        raise AssertionError(f"{source_name} is in neither package folder")

    def installed_files(self, destination: str, family: str = "EN"):
        """(path relative to the destination, expected bytes) for every component of the
        language family, in script order."""
        destination = destination.rstrip("\\") + "\\"
        files = []
        for component in self.components():
            if component.lang_family and component.lang_family.upper() != family.upper():
                continue
            path = clean_path(component.destination.replace("$DEST", destination))
            assert path.upper().startswith(destination.upper()), \
                f"{component.destination} is not below $DEST"
            files.append((path[len(destination):], self.source_bytes(component.source_name)))
        return files
