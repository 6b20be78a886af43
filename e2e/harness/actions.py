"""What a user or an admin does, as the scenarios do it."""

from .scenario import Action, Context


class RunSetupExpectingErrorBox(Action):
    """Starts a setup executable from the Downloads folder and expects the one error box of the
    program entry: caption "Setup", the message, the error icon, a single OK button. Presses OK
    and checks the process's exit code."""

    def __init__(self, program: str, arguments: str, message: str, exit_code: int):
        self.program = program
        self.arguments = arguments
        self.message = message
        self.exit_code = exit_code
        self.name = f"run {program} {arguments}".rstrip() + f" -> box \"{message}\""

    def __call__(self, context: Context):
        setup = context.copy_into_prefix(self.program,
                                         context.downloads_folder() + "\\" + self.program)
        launched = context.driver.launch(f'"{setup}" {self.arguments}'.rstrip())
        box = context.driver.find_window(window_class="#32770", caption="Setup")
        texts = [c["text"] for c in box["controls"] if c["class"].lower() == "static"]
        buttons = [c for c in box["controls"] if c["class"].lower() == "button" and c["visible"]]
        icons = [c.get("icon") for c in box["controls"] if c.get("icon")]
        assert self.message in texts, f"box texts {texts}, expected {self.message!r}"
        assert [b["text"] for b in buttons] == ["OK"], f"buttons {[b['text'] for b in buttons]}"
        if context.display is not None:  # icons are told apart by their pixels on screen
            assert icons == ["error"], f"icons {icons}, expected the error icon"
        context.screenshot("error-box")
        context.driver.click(box, text="OK")
        exit_code = launched.wait()
        assert exit_code == self.exit_code, f"exit code {exit_code}, expected {self.exit_code}"
