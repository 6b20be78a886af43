"""An administrator installs the demo silently into a folder of his choice: every file, the
uninstaller, its list and the registration are in place, and the run ends with 0."""

from e2e.harness.actions import RunSetup
from e2e.harness.scenario import Scenario
from e2e.harness.states import Clean, Installed

SCENARIO = Scenario(
    name="install_silent",
    description="clean -> setup.exe /AUTO=C:\\Apps\\ZELO\\ /SILENT -> installed",
    start=Clean(),
    steps=[(RunSetup("demo/setup.exe", "/AUTO=C:\\Apps\\ZELO\\ /SILENT"),
            Installed("C:\\Apps\\ZELO"))],
)
