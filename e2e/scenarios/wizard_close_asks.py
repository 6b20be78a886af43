"""A user closes the wizard on its first page: it asks "Do you want to quit ZELO Setup?" with
OK and Cancel; Cancel keeps the wizard as it was, OK ends Setup without a run (exit 1602) and
nothing is installed."""

from e2e.harness.scenario import Action, Context, Scenario
from e2e.harness.states import Clean
from e2e.harness.wizard import Wizard, start_demo_setup

QUESTION = ("Do you want to quit ZELO Setup?\r\n"
            "If Setup is already at work, it stops after the current step.")


def answer_close_question(context: Context, wizard: Wizard, button: str):
    context.driver.close(wizard.window, as_user=True)
    box = context.driver.find_window(window_class="#32770", caption="ZELO Setup")
    texts = [c["text"] for c in box["controls"] if c["class"].lower() == "static"]
    buttons = [c["text"] for c in box["controls"]
               if c["class"].lower() == "button" and c["visible"]]
    assert QUESTION in texts, f"box texts {texts}"
    assert buttons == ["OK", "Cancel"], f"buttons {buttons}"
    icons = [c.get("icon") for c in box["controls"] if c.get("icon")]
    assert icons == ["question"], f"icons {icons}, expected the question icon"
    assert box["owner"] == wizard.window["window"], "the question is not owned by the wizard"
    context.screenshot(f"question-{button.lower()}")
    context.driver.click(box, text=button)


class CloseOnWelcome(Action):
    name = "double-click setup.exe, close on Welcome: Cancel, then OK"

    def __call__(self, context: Context):
        launched = start_demo_setup(context)
        wizard = Wizard(context)
        answer_close_question(context, wizard, "Cancel")
        wizard.wait_for(lambda w: "Welcome to the ZELO Setup Wizard" in w.visible_texts(),
                        what="the welcome page after Cancel")
        answer_close_question(context, wizard, "OK")
        exit_code = launched.wait(timeout=60)
        assert exit_code == 1602, f"exit code {exit_code}, expected 1602 (cancelled)"


SCENARIO = Scenario(
    name="wizard_close_asks",
    description="clean -> close the wizard on Welcome (Cancel, then OK) -> clean, exit 1602",
    start=Clean(),
    steps=[(CloseOnWelcome(), Clean())],
    display=True,
)
