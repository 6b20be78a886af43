"""A portable installation writes the uninstaller but registers nothing with the system."""

from e2e.harness.actions import RunSetup
from e2e.harness.scenario import Scenario
from e2e.harness.states import Clean, Installed

SCENARIO = Scenario(
    name="install_portable",
    description="clean -> setup.exe /AUTO=C:\\Portable\\ZELO\\ /SILENT /PORTABLE -> installed, "
                "not registered",
    start=Clean(),
    steps=[(RunSetup("demo/setup.exe", "/AUTO=C:\\Portable\\ZELO\\ /SILENT /PORTABLE"),
            Installed("C:\\Portable\\ZELO", registered=False))],
)
