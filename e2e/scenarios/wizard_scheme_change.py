"""The user switches Windows from light to dark apps while the wizard is open (on the licence
page): the frame (page background, step strip, header line) is painted in the dark palette at
once, without restarting Setup."""

from e2e.harness.scenario import Action, Context, Scenario
from e2e.harness.states import Clean
from e2e.harness.wizard import (ACCENT, PAGE_BACKGROUND, STRIP_BACKGROUND, FramePixels, SetLook,
                                Wizard, set_app_mode, start_demo_setup)
from e2e.scenarios.wizard_close_asks import answer_close_question


class SwitchToDarkWhileOpen(Action):
    name = "open the licence page in light mode, switch Windows to dark apps"

    def __call__(self, context: Context):
        launched = start_demo_setup(context)
        wizard = Wizard(context)
        wizard.press_next()
        frame = FramePixels(wizard, context.screenshot("light"), 96)
        frame.expect("page background", 320, 80, PAGE_BACKGROUND[False])
        frame.expect("strip background", 630, 58, STRIP_BACKGROUND[False])

        set_app_mode(context, dark=True)
        context.driver.setting_changed("ImmersiveColorSet")
        wizard.refresh()
        frame = FramePixels(wizard, context.screenshot("dark"), 96)
        frame.expect("page background", 320, 80, PAGE_BACKGROUND[True])
        frame.expect("strip background", 630, 58, STRIP_BACKGROUND[True])
        frame.expect("line under the header", 300, 52, ACCENT[True])
        frame.expect("footer", 300, 470, ACCENT[True])

        answer_close_question(context, wizard, "OK")
        assert launched.wait(timeout=60) == 1602


SCENARIO = Scenario(
    name="wizard_scheme_change",
    description="wizard open in light mode -> Windows switches to dark apps -> dark frame",
    start=Clean(),
    steps=[(SetLook(dark=False, dpi=96), Clean()), (SwitchToDarkWhileOpen(), Clean())],
    display=True,
)
