#!/usr/bin/env python3
"""Checks the assembled demo product (build/<tree>/demo: its product and setup folders) the way
Setup will read it: the script and the files it names, the language files and their keys,
pictures, the add-ons list and the licences.

    demo_content_test.py <build/win64/demo> [unittest options]
"""

import re
import struct
import sys
import unittest
import xml.etree.ElementTree as ElementTree
from pathlib import Path, PureWindowsPath

DEMO = None  # set from the command line

# Every key the program reads from a language file, and the number of values it fills into
# each: from the installer's one table of them, which a test keeps equal to what the code reads.
REPOSITORY = Path(__file__).resolve().parents[2]
sys.path.insert(0, str(REPOSITORY / "tools" / "setupkit"))
import check_language_keys  # noqa: E402

_TABLE = (REPOSITORY / check_language_keys.TABLE).read_text(encoding="utf-8")
REQUIRED_KEYS = sorted(check_language_keys.read_table(_TABLE))
# Texts used as format templates; any other text is shown as it is, so a placeholder there
# would reach the user unfilled.
FORMAT_ARGUMENTS = {entry: count for entry, count in
                    check_language_keys.read_table_placeholders(_TABLE).items() if count}

# Language file -> (encoding as stored, byte order mark, LangId, Family, ANSICP, complete).
LANGUAGES = {
    "English.lng": ("ascii", False, 1033, "EN", 1252, True),
    "Russian.lng": ("utf-8", True, 1049, "RU", 1251, True),
    "German.lng": ("cp1252", False, 1031, "DE", 1252, False),
}

PICTURE_SIZES = {"header.png": (640, 53), "header_dark.png": (640, 53),
                 "wizard_light.png": (188, 435), "wizard_dark.png": (188, 435)}

BOM = b"\xef\xbb\xbf"


def read_ini(data: bytes, encoding: str):
    """Sections of key -> value, read as Setup reads them: a line's key is everything before
    its first "=", nothing trimmed; the first line of a key wins; lines before the first
    section and lines without "=" carry no key."""
    text = data[len(BOM):].decode("utf-8") if data.startswith(BOM) else data.decode(encoding)
    sections, current = {}, None
    for line in re.split(r"\r\n|\r|\n", text):
        if not line:
            continue
        if line.startswith("["):
            current = sections.setdefault(line[1:-1].lower(), {})
        elif current is not None and "=" in line:
            key, value = line.split("=", 1)
            current.setdefault(key.lower(), value)
    return sections


def language(name: str):
    data = (DEMO / "setup" / name).read_bytes()
    return read_ini(data, LANGUAGES[name][0])


def script():
    return ElementTree.parse(DEMO / "setup" / "Install.xml").getroot()


def group(name: str):
    return script().find("product").find(name).findall("File")


def source_name(entry) -> str:
    text = (entry.text or "").strip()
    return text or re.split(r"[:\\/]", entry.get("name"))[-1]


def package_file(name: str) -> Path:
    """A file by its name in the packages: the product package first, then the setup one."""
    parts = PureWindowsPath(name).parts
    for package in ("product", "setup"):
        path = DEMO / package / Path(*parts)
        if path.is_file():
            return path
    return None


def png_size(path: Path):
    data = path.read_bytes()
    assert data[:8] == b"\x89PNG\r\n\x1a\n" and data[12:16] == b"IHDR", f"{path} is no PNG"
    return struct.unpack(">II", data[16:24])


class ScriptTest(unittest.TestCase):
    def test_settings_describe_the_product(self):
        settings = {s.get("name"): s.get("value") for s in script().find("product").find("Settings")}
        self.assertEqual(settings["ProductName"], "ZELO")
        self.assertEqual(settings["ProductVersionId"], "5000")
        for name in ("ProductVersion", "ProductVersionNo", "BuildDate", "Publisher"):
            self.assertTrue(settings.get(name), name)
        self.assertRegex(settings["HomePage"], r"^https://[^/]*(example\.com|\.invalid)/")

    def test_every_component_is_in_the_product_package_and_every_product_file_installed(self):
        names = [source_name(entry) for entry in group("Components")]
        for name in names:
            with self.subTest(component=name):
                path = DEMO / "product" / Path(*PureWindowsPath(name).parts)
                self.assertTrue(path.is_file(), f"{name} is not in the product folder")
        shipped = {str(PureWindowsPath(p.relative_to(DEMO / "product"))).lower()
                   for p in (DEMO / "product").rglob("*") if p.is_file()}
        self.assertEqual(shipped - {n.lower() for n in names}, set(),
                         "files of the product folder that Install.xml never installs")

    def test_components_go_under_dest_and_their_families_exist(self):
        families = {values[3] for values in LANGUAGES.values()}
        for entry in group("Components"):
            with self.subTest(component=entry.get("name")):
                self.assertTrue(entry.get("name").startswith("$DEST\\"))
                family = entry.get("lang-family")
                if family is not None:
                    self.assertIn(family, families)

    def test_no_name_holds_a_line_break_escape(self):
        # Text expansion turns a backslash and "n" into a line break, paths included.
        for group_name in ("Components", "Actions", "Shortcuts"):
            for entry in group(group_name):
                with self.subTest(entry=entry.get("name")):
                    self.assertNotIn("\\n", entry.get("name") + (entry.text or ""))

    def test_shortcuts_are_where_the_uninstaller_removes_them(self):
        installed = {"$DEST\\Uninstall.exe"} | {entry.get("name") for entry in group("Components")}
        for entry in group("Shortcuts"):
            with self.subTest(shortcut=entry.get("name")):
                name = entry.get("name")
                self.assertTrue(name == "$DESKTOP\\$NAME.lnk" or
                                name.startswith("$STARTMENU\\$NAME\\"), name)
                self.assertIn(entry.text, installed)

    def test_post_install_captions_exist_in_every_complete_language(self):
        for entry in group("Actions"):
            for name, values in LANGUAGES.items():
                if values[5]:
                    with self.subTest(action=entry.get("name"), language=name):
                        self.assertIn(source_name(entry).lower(), language(name)["pagefinish"])

    def test_licences_cover_english_and_russian(self):
        entries = script().find("setup").find("license").findall("File")
        self.assertEqual({e.get("lang-family"): e.get("name") for e in entries},
                         {"EN": "License.rtf", "RU": "License_RU.rtf"})
        for entry in entries:
            with self.subTest(licence=entry.get("name")):
                data = (DEMO / "setup" / entry.get("name")).read_bytes()
                self.assertTrue(data.startswith(b"{\\rtf1"))
                # RTF is 7-bit text: anything else must be an escape.
                self.assertTrue(data.isascii())
                # Without \plain before the text, Windows' rich edit shows everything bold.
                first_text = data.index(b"\\par")
                self.assertIn(b"\\plain", data[:first_text])


class LanguageTest(unittest.TestCase):
    def test_english_has_every_key_the_program_reads(self):
        english = language("English.lng")
        for section, key in REQUIRED_KEYS:
            with self.subTest(section=section, key=key):
                self.assertIn(key.lower(), english.get(section.lower(), {}))

    def test_translations_have_english_keys_only_and_complete_ones_all_of_them(self):
        english = language("English.lng")
        for name, values in LANGUAGES.items():
            texts = language(name)
            for section, keys in english.items():
                with self.subTest(language=name, section=section):
                    present = set(texts.get(section, {}))
                    if values[5]:
                        self.assertEqual(present, set(keys))
                    else:
                        self.assertLessEqual(present, set(keys))
            with self.subTest(language=name):
                self.assertLessEqual(set(texts), set(english))
        german = language("German.lng")
        missing = sum(len(set(keys) - set(german.get(section, {})))
                      for section, keys in english.items())
        self.assertGreater(missing, 0, "the partial translation is meant to lack some texts")

    def test_headers_and_encodings(self):
        for name, (encoding, bom, lang_id, family, ansi, _) in LANGUAGES.items():
            with self.subTest(language=name):
                data = (DEMO / "setup" / name).read_bytes()
                self.assertEqual(data.startswith(BOM), bom)
                data[len(BOM) if bom else 0:].decode(encoding)
                header = language(name)["file"]
                self.assertEqual(int(header["langid"]), lang_id)
                self.assertEqual(header["family"], family)
                self.assertEqual(int(header["ansicp"]), ansi)
                self.assertTrue(header["name"])

    def test_icons_are_16_pixel_icons(self):
        for name in LANGUAGES:
            with self.subTest(language=name):
                data = bytes.fromhex(language(name)["file"]["icon"])
                reserved, kind, count = struct.unpack("<HHH", data[:6])
                self.assertEqual((reserved, kind), (0, 1))
                self.assertGreaterEqual(count, 1)
                width, height, _, _, _, _, size, offset = struct.unpack("<BBBBHHII", data[6:22])
                self.assertEqual((width, height), (16, 16))
                self.assertLessEqual(offset + size, len(data))

    def test_placeholders_match_the_arguments_given(self):
        for name in LANGUAGES:
            for section, keys in language(name).items():
                if section == "file":
                    continue
                for key, text in keys.items():
                    with self.subTest(language=name, section=section, key=key):
                        arguments = {(s.lower(), k.lower()): n
                                     for (s, k), n in FORMAT_ARGUMENTS.items()}
                        expected = arguments.get((section, key), 0)
                        self.assertEqual(len(re.findall(r"%[sd]", text)), expected)

    def test_the_player_has_a_language_file_for_each_language_of_setup(self):
        # Setup tells the player its language by the name of its own language file.
        families = {PureWindowsPath(source_name(e)).name: e.get("lang-family")
                    for e in group("Components") if source_name(e).startswith("Langs\\")}
        for name, values in LANGUAGES.items():
            with self.subTest(language=name):
                self.assertIn(name, families)
                self.assertIn(families[name], (None, values[3]))


class PicturesAndAddonsTest(unittest.TestCase):
    def test_wizard_pictures_fit_their_places(self):
        for name, size in PICTURE_SIZES.items():
            with self.subTest(picture=name):
                self.assertEqual(png_size(DEMO / "setup" / name), size)

    def test_addons_list_names_its_installer_picture_and_switches(self):
        lines = (DEMO / "setup" / "addons.ini").read_text(encoding="ascii").splitlines()
        values = dict(line.split("=", 1) for line in lines if "=" in line)
        for key in ("P1", "P2", "P3", "P4", "CL", "I0", "L0", "L1", "L2"):
            with self.subTest(key=key):
                self.assertTrue(values.get(key))
        self.assertEqual(values["CL"].count("%s"), 1)
        self.assertIsNotNone(package_file(values["P4"]), "the add-ons installer is not packed")
        picture = package_file(values["I0"])
        self.assertIsNotNone(picture)
        width, height = png_size(picture)
        # Painted at the page's top right, above the check boxes that start 100 pixels down.
        self.assertLessEqual(height, 95)
        self.assertLessEqual(width, 280)


if __name__ == "__main__":
    DEMO = Path(sys.argv[1]).resolve()
    unittest.main(argv=[sys.argv[0], *sys.argv[2:]])
