"""The states a machine can be in, as the scenarios check them."""

from .scenario import Context, State

UNINSTALL_KEY = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall"
PRODUCT_KEY = UNINSTALL_KEY + r"\ZELO"
DEFAULT_FOLDER = r"C:\Program Files\ZELO"


class Clean(State):
    """Nothing of the product on the machine: no uninstall registration, no program folder."""

    name = "clean"

    def check(self, context: Context):
        registry = context.registry()
        assert not registry.has_key(PRODUCT_KEY), f"{PRODUCT_KEY} exists"
        folder = context.prefix.unix_path(DEFAULT_FOLDER)
        assert not folder.exists(), f"{DEFAULT_FOLDER} exists"
