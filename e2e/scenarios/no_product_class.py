"""A setup built without a product refuses to run: one "Setup" box, exit code 1603, and the
machine stays clean."""

from e2e.harness.actions import RunSetupExpectingErrorBox
from e2e.harness.scenario import Scenario
from e2e.harness.states import Clean

SCENARIO = Scenario(
    name="no_product_class",
    description="setup without a registered product class shows the error box",
    start=Clean(),
    steps=[
        (RunSetupExpectingErrorBox("no-product-setup.exe", "/AUTO /SILENT",
                                   "ProductInfoClass is nil", 1603), Clean()),
    ],
    display=True,
)
