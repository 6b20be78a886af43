"""An update asked for where nothing is installed is refused with the installed version (none)
and the failure exit code, and nothing is written."""

from e2e.harness.actions import RunSetupExpectingErrorBox
from e2e.harness.scenario import Scenario
from e2e.harness.states import Clean

SCENARIO = Scenario(
    name="update_without_installation",
    description="clean -> setup.exe /AUTO=... /UPDATE /SILENT -> box, 1603, still clean",
    start=Clean(),
    steps=[(RunSetupExpectingErrorBox("demo/setup.exe", "/AUTO=C:\\Apps\\ZELO\\ /UPDATE /SILENT",
                                      "Cannot install update on v0.00", 1603), Clean())],
)
