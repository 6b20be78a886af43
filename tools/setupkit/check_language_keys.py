#!/usr/bin/env python3
"""Keeps the table of language keys (package/language_keys.cpp) honest.

Reads the installer's sources in core/, product/ and ui/ for every language text they look up
by a literal section and key, and fails naming each (section, key) the table lacks and each
table entry no code reads. The lint checks language files against that table, so a key the
code reads but the table lacks would let a language file without it pass unnoticed.

The call forms read:
  GetCommonText / CommonText / FormatCommonText (key)     section "Common"
  GetString / SetHeadingText / AddItemText (section, key)  GetText (section, key) of actions
  GetText (key) in a page, and the names given to CreateCheckBox, CreateLabel,
  CreateHeaderLabel and Adopt: the page's own section ("TInstallerPageSetup" -> "PageSetup"),
  for every page whose class is or derives from the class the method belongs to.
A call whose key is no literal must be one of the known indirections below, which say where its
keys come from; any other fails, so a new way of reading keys cannot slip past.

--self-test proves that the check fails on a key missing from the table, on an entry no code
reads, and on a key read in a way it does not know.
"""

import argparse
import os
import re
import sys

SCANNED_FOLDERS = ("core", "product", "ui")
TABLE = os.path.join("package", "language_keys.cpp")

COMMON_CALLS = ("GetCommonText", "CommonText", "FormatCommonText")
SECTION_CALLS = ("GetString", "SetHeadingText", "AddItemText")
PAGE_CONTROL_CALLS = {"CreateCheckBox": 1, "CreateLabel": 1, "CreateHeaderLabel": 1, "Adopt": 1}
LANGUAGE_READS = re.compile(r'\b(?:language_|Language\(\))\s*\.\s*Read\w+\s*\(')

# Calls whose key is no literal: (file, call, argument text) -> where the keys come from.
#   ("wrapper",): the function passes on its caller's key, and the callers are read.
#   ("source", file, pattern, section): the keys are the pattern's literals in that file.
#   ("script",): the key is named by Install.xml; the lint takes it from there.
INDIRECT = {
    ("core/installer_resources.cpp", "ReadString", "section, key"): ("wrapper",),
    ("core/installer_action.cpp", "GetString", "section, key"): ("wrapper",),
    ("core/installer_action.cpp", "GetText", 'u"Common", key'): ("wrapper",),
    ("core/installer_extract_helper.cpp", "GetString", 'u"Common", key'): ("wrapper",),
    ("core/installer_summary_builder.cpp", "GetString", "section, key"): ("wrapper",),
    ("ui/installer_form_win.cpp", "GetString", 'u"Common", key'): ("wrapper",),
    ("ui/installer_page_win.cpp", "GetString", "SectionName(), key"): ("wrapper",),
    ("ui/installer_page_win.cpp", "GetText", "named.Name"): ("wrapper",),
    ("ui/installer_page_win.cpp", "Adopt", "name"): ("wrapper",),
    ("ui/installer_page_win.cpp", "CreateLabel", "name"): ("wrapper",),
    # The Next button's caption for the page that follows.
    ("ui/installer_form_win.cpp", "CommonText", "state.NextCaptionKey"):
        ("source", "ui/wizard_buttons.cpp", r'\breturn\s+u"(\w+)"', "Common"),
    # The question before the window closes.
    ("ui/installer_form_win.cpp", "CommonText", "key"):
        ("source", "ui/wizard_close_rule.h", r'WizardCloseQuestionKey\s*=\s*u"(\w+)"', "Common"),
    # The setup page's note on an installation it finds.
    ("ui/installer_page_setup_win.cpp", "GetText", "state.WarningKey"):
        ("source", "ui/setup_page_rules.cpp", r'\bWarningKey\s*=\s*u"(\w+)"', "PageSetup"),
    # The integration page's check boxes, with the option each one sets.
    ("ui/installer_product_pages_win.cpp", "CreateCheckBox", "choice.Name"):
        ("source", "ui/installer_product_pages_win.h", r'\{\s*u"(\w+)"\s*,\s*u"\w+"\s*\}',
         "PageIntegration"),
    # The finish page's post-install choices: boxes numbered for the code, captioned by the keys
    # Install.xml gives its Actions.
    ("ui/installer_common_pages_win.cpp", "CreateCheckBox", 'u"CB" + Utf8ToString(std::to_string(n))'):
        ("script",),
    ("ui/installer_common_pages_win.cpp", "GetText", "actions.Items(static_cast<int>(i)).SourceName()"):
        ("script",),
}

# The language dialog reads a file's header through LangGetInfo and shows the name and the icon
# and preselects by the language number; the other header fields it returns are not used.
LANGUAGE_DIALOG = "core/installer_language_dialog.cpp"


def strip_comments(text):
    """The text with // and /* */ comments blanked out, strings and line numbers kept."""
    out = []
    i, n = 0, len(text)
    while i < n:
        c = text[i]
        if c == '"' or (c == "'" and i > 0 and not text[i - 1].isalnum()):
            j = i + 1
            while j < n and text[j] != c:
                j += 2 if text[j] == "\\" else 1
            out.append(text[i:j + 1])
            i = j + 1
        elif text.startswith("//", i):
            j = text.find("\n", i)
            j = n if j < 0 else j
            i = j
        elif text.startswith("/*", i):
            j = text.find("*/", i + 2)
            j = n if j < 0 else j + 2
            out.append("\n" * text.count("\n", i, j))
            i = j
        else:
            out.append(c)
            i += 1
    return "".join(out)


def call_arguments(text, open_paren):
    """The top-level arguments of the call whose "(" is at open_paren, and the text after it."""
    depth, i, start, arguments = 0, open_paren, open_paren + 1, []
    while i < len(text):
        c = text[i]
        if c == '"':
            i += 1
            while text[i] != '"':
                i += 2 if text[i] == "\\" else 1
        elif c in "([{":
            depth += 1
        elif c in ")]}":
            depth -= 1
            if depth == 0:
                arguments.append(text[start:i].strip())
                return [a for a in arguments if a], i
        elif c == "," and depth == 1:
            arguments.append(text[start:i].strip())
            start = i + 1
        i += 1
    return arguments, i


LITERAL = re.compile(r'u"((?:[^"\\]|\\.)*)"')


def literal_keys(argument):
    """The literals of an argument, or None when one is joined to more text (a built name)."""
    keys = []
    for match in LITERAL.finditer(argument):
        if re.match(r"\s*\+", argument[match.end():]) or argument[:match.start()].rstrip().endswith("+"):
            return None
        keys.append(match.group(1))
    return keys


def is_declaration(argument):
    # "StringView key", "const TVYNBounds& bounds": a parameter, not an argument.
    return re.fullmatch(r"(?:const\s+)?[\w:<>]+\s*[&*]?\s+\w+(?:\s*=.*)?", argument) is not None


def normalize(argument):
    return re.sub(r"\s+", " ", argument).strip()


class Scan:
    def __init__(self, root, sources):
        self.root = root
        self.sources = sources  # relative path -> text without comments
        self.read = {}  # (section, key) -> first place
        self.problems = []
        self.indirections_used = set()
        self.page_sections = self.find_page_sections()

    def find_page_sections(self):
        parents, concrete = {}, {}
        for path, text in self.sources.items():
            for match in re.finditer(r"\bclass\s+(\w+)\s*(?:final\s*)?:\s*public\s+(\w+)", text):
                parents[match.group(1)] = match.group(2)
            for match in re.finditer(r'MakePageClass<(\w+)>\(\s*u"TInstaller(\w+)"', text):
                concrete[match.group(1)] = match.group(2)
        sections = {}
        for page_class, section in concrete.items():
            ancestor = page_class
            while ancestor is not None:
                sections.setdefault(ancestor, set()).add(section)
                ancestor = parents.get(ancestor)
        return sections

    def add(self, section, key, place):
        self.read.setdefault((section, key), place)

    def fail(self, place, text):
        self.problems.append("%s: %s" % (place, text))

    def run(self):
        for path in sorted(self.sources):
            self.scan_file(path, self.sources[path])
        return self

    def scan_file(self, path, text):
        owner_at = []  # (offset, class or None) where each definition at column 0 starts
        for match in re.finditer(r"^(?:class\s+(\w+)|[A-Za-z][^\n;]*\()", text, re.M):
            line_end = text.find("\n", match.start())
            line = text[match.start():line_end if line_end >= 0 else len(text)]
            if match.group(1):
                owner = match.group(1)
            else:
                qualified = re.search(r"\b(T\w+)::~?\w+\s*\(", line)
                owner = qualified.group(1) if qualified else None
            owner_at.append((match.start(), owner))

        def owner_of(offset):
            owner = None
            for start, name in owner_at:
                if start > offset:
                    break
                owner = name
            return owner

        names = COMMON_CALLS + SECTION_CALLS + ("GetText",) + tuple(PAGE_CONTROL_CALLS)
        for match in re.finditer(r"(::)?\b(%s)\s*\(" % "|".join(names), text):
            if match.group(1):
                continue  # a definition such as TInstallerPage::GetText(
            call = match.group(2)
            arguments, _ = call_arguments(text, match.end() - 1)
            place = "%s:%d" % (path, text.count("\n", 0, match.start()) + 1)
            if not arguments or is_declaration(arguments[0]):
                continue
            self.read_call(path, place, call, arguments, owner_of(match.start()))
        for match in LANGUAGE_READS.finditer(text):
            arguments, _ = call_arguments(text, match.end() - 1)
            place = "%s:%d" % (path, text.count("\n", 0, match.start()) + 1)
            section, key = (literal_keys(a) for a in arguments[:2])
            if not section or not key:
                self.indirect(path, place, "ReadString", arguments[:2])
            else:
                self.add(section[0], key[0], place)
        if path == LANGUAGE_DIALOG and "LangGetInfo" in text:
            place = "%s:LangGetInfo" % path
            for field in sorted(set(re.findall(r"\binfo\.(\w+)", text))):
                self.add("File", field, place)
            if re.search(r"LangGetInfo\([^)]*&", text):
                self.add("File", "Icon", place)

    def indirect(self, path, place, call, arguments):
        found = [key for key in ((path, call, normalize(", ".join(arguments))),
                                 (path, call, normalize(arguments[-1]))) if key in INDIRECT]
        rule = INDIRECT[found[0]] if found else None
        self.indirections_used.update(found)
        if rule is None:
            self.fail(place, "%s(%s) reads a language text by a key that is no literal; add it "
                      "to INDIRECT in %s with where its keys come from"
                      % (call, ", ".join(arguments), os.path.basename(__file__)))
            return
        if rule[0] == "source":
            _, source, pattern, section = rule
            keys = re.findall(pattern, self.sources.get(source, ""))
            if not keys:
                self.fail(place, "%s yields no key from %s any more; correct INDIRECT"
                          % (call, source))
            for key in keys:
                self.add(section, key, "%s (through %s)" % (place, source))

    def read_call(self, path, place, call, arguments, owner):
        if call in COMMON_CALLS:
            keys = literal_keys(arguments[0])
            if not keys:
                return self.indirect(path, place, call, arguments[:1])
            for key in keys:
                self.add("Common", key, place)
            return
        if call in SECTION_CALLS or (call == "GetText" and len(arguments) >= 2):
            if len(arguments) < 2:
                return  # a GetString of something else (a code page's bytes)
            section, keys = literal_keys(arguments[0]), literal_keys(arguments[1])
            if not section or not keys:
                return self.indirect(path, place, call, arguments[:2])
            for key in keys:
                self.add(section[0], key, place)
            return
        # A page's own section.
        if call == "GetText":
            argument = arguments[0]
        else:
            index = PAGE_CONTROL_CALLS[call]
            if len(arguments) <= index:
                return  # a control without a name
            argument = arguments[index]
        keys = literal_keys(argument)
        if keys is None or (not keys and not argument.startswith('u"')):
            return self.indirect(path, place, call, [argument])
        keys = [key for key in keys if key]
        if not keys:
            return
        sections = self.page_sections.get(owner)
        if not sections:
            self.fail(place, "%s reads page texts outside a page class, so their section is "
                      "unknown" % call)
            return
        for section in sorted(sections):
            for key in keys:
                self.add(section, key, place)


def read_sources(root):
    sources = {}
    for folder in SCANNED_FOLDERS:
        for name in sorted(os.listdir(os.path.join(root, folder))):
            if not name.endswith((".cpp", ".h")) or "test" in name:
                continue
            with open(os.path.join(root, folder, name), encoding="utf-8") as file:
                sources[folder + "/" + name] = strip_comments(file.read())
    return sources


def read_table(text):
    return set(re.findall(r'\{\s*u"(\w+)",\s*u"(\w+)",', strip_comments(text)))


def read_table_placeholders(text):
    """(section, key) -> how many arguments the installer fills into the text: the entry's last
    text before its closing flag is its placeholders."""
    entries = re.findall(r'\{\s*u"(\w+)",\s*u"(\w+)",(.*?),\s*(?:true|false)\s*\}',
                         strip_comments(text), re.DOTALL)
    return {(section, key): len(re.findall(r"%[sd]", re.findall(r'u"((?:[^"\\]|\\.)*)"', rest)[-1]))
            for section, key, rest in entries}


def check(table, scan):
    problems = list(scan.problems)
    for path, call, argument in sorted(set(INDIRECT) - scan.indirections_used):
        problems.append("%s: no %s(%s) any more; remove it from INDIRECT" % (path, call, argument))
    for section, key in sorted(set(scan.read) - table):
        problems.append("%s: [%s] %s is read but missing from %s"
                        % (scan.read[(section, key)], section, key, TABLE))
    for section, key in sorted(table - set(scan.read)):
        problems.append("%s: [%s] %s is listed but no code reads it" % (TABLE, section, key))
    return problems


def self_test(root):
    sources = read_sources(root)
    with open(os.path.join(root, TABLE), encoding="utf-8") as file:
        table = read_table(file.read())
    failures = []

    def expect(name, problems, wanted):
        if not any(wanted in problem for problem in problems):
            failures.append("%s: no problem mentions %r in %r" % (name, wanted, problems))

    scan = Scan(root, sources).run()
    expect("a key missing from the table", check(table - {("Common", "QM")}, scan),
           "[Common] QM is read but missing")
    expect("a key read through an indirection", check(table - {("PageSetup", "W1")}, scan),
           "[PageSetup] W1 is read but missing")
    expect("an entry nobody reads", check(table | {("PageSetup", "Nobody")}, scan),
           "[PageSetup] Nobody is listed but no code reads it")

    page = dict(sources)
    page["ui/installer_page_setup_win.cpp"] += (
        '\nvoid TInstallerPageSetup::Extra() {\n  CreateLabel(TVYNBounds{}, u"NewLabel", true);\n'
        '  GetText(some_key);\n}\n')
    problems = check(table, Scan(root, page).run())
    expect("a control added to a page", problems, "[PageSetup] NewLabel is read but missing")
    expect("a key that is no literal", problems, "GetText(some_key) reads a language text")

    base = dict(sources)
    base["ui/installer_page_win.cpp"] += (
        '\nvoid TInstallerPageFullScreen::Extra() {\n  GetText(u"L9");\n}\n')
    problems = check(table, Scan(root, base).run())
    expect("a base class's key, for each page deriving from it", problems,
           "[PageWelcome] L9 is read but missing")
    expect("a base class's key, for each page deriving from it", problems,
           "[PageUninstallFinish] L9 is read but missing")

    for failure in failures:
        print("self-test: " + failure)
    if not failures:
        print("self-test: the check finds every fault it is shown")
    return 1 if failures else 0


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--source-dir", default=os.path.join(os.path.dirname(__file__), "..", ".."))
    parser.add_argument("--self-test", action="store_true")
    options = parser.parse_args()
    root = os.path.abspath(options.source_dir)
    if options.self_test:
        return self_test(root)
    with open(os.path.join(root, TABLE), encoding="utf-8") as file:
        table = read_table(file.read())
    scan = Scan(root, read_sources(root)).run()
    problems = check(table, scan)
    for problem in problems:
        print(problem)
    if problems:
        return 1
    print("language keys: the %d keys the code reads are the table's" % len(table))
    return 0


if __name__ == "__main__":
    sys.exit(main())
