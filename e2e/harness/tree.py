"""What a folder of the prefix holds, as Windows-style paths relative to it, so that a state can
compare a whole installation with what it expects, leftovers included."""

from pathlib import Path


def files_under(root: Path) -> dict:
    """{relative path with backslashes: bytes} of every file below Root (empty when Root does
    not exist)."""
    if not root.is_dir():
        return {}
    return {"\\".join(path.relative_to(root).parts): path.read_bytes()
            for path in sorted(root.rglob("*")) if path.is_file()}


def folders_under(root: Path) -> set:
    """Every folder below Root (Root itself not included), relative, with a trailing
    backslash."""
    if not root.is_dir():
        return set()
    return {"\\".join(path.relative_to(root).parts) + "\\"
            for path in root.rglob("*") if path.is_dir()}


def parent_folders(relative_files) -> set:
    """The folders (relative, trailing backslash) that files at these relative paths need."""
    folders = set()
    for relative in relative_files:
        parts = relative.split("\\")[:-1]
        for depth in range(1, len(parts) + 1):
            folders.add("\\".join(parts[:depth]) + "\\")
    return folders


def differences(found: dict, expected: dict) -> list:
    """Human-readable differences between two {relative path: bytes} maps; an expected value of
    None accepts any content."""
    problems = [f"left over: {name}" for name in sorted(set(found) - set(expected))]
    problems += [f"missing: {name}" for name in sorted(set(expected) - set(found))]
    problems += [f"other content: {name}" for name in sorted(set(found) & set(expected))
                 if expected[name] is not None and found[name] != expected[name]]
    return problems
