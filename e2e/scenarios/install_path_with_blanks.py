"""A destination with blanks, quoted on the command line, trailing backslash included."""

from e2e.harness.actions import RunSetup
from e2e.harness.scenario import Scenario
from e2e.harness.states import Clean, Installed

FOLDER = "C:\\My Apps\\ZELO Player\\"

SCENARIO = Scenario(
    name="install_path_with_blanks",
    description="clean -> setup.exe /AUTO=\"C:\\My Apps\\ZELO Player\\\" /SILENT -> installed",
    start=Clean(),
    steps=[(RunSetup("demo/setup.exe", f'/AUTO="{FOLDER}" /SILENT'), Installed(FOLDER))],
)
