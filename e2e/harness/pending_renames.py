"""The file operations Windows carries out at its next start (MoveFileEx with
MOVEFILE_DELAY_UNTIL_REBOOT), as the registry keeps them: pairs of source and target in
PendingFileRenameOperations, the target empty for a deletion and "!"-prefixed to replace."""

from .registry import Registry

SESSION_MANAGER = r"HKLM\System\CurrentControlSet\Control\Session Manager"


def _plain(path: str) -> str:
    return path[4:] if path.startswith("\\??\\") else path


def pending_operations(registry: Registry):
    """[(source, target)] with the "\\??\\" prefixes removed; target "" means delete."""
    entries = list(registry.value(SESSION_MANAGER, "PendingFileRenameOperations") or [])
    # The reader drops empty strings at the end of a list: the last deletion's empty target.
    if len(entries) % 2:
        entries.append("")
    return [(_plain(entries[i]), _plain(entries[i + 1].lstrip("!")))
            for i in range(0, len(entries), 2)]


def pending_deletions(registry: Registry):
    """Upper-cased paths of the files to delete at the next start."""
    return {source.upper() for source, target in pending_operations(registry) if not target}
