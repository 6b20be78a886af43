"""The demo player as Setup meets it: started with a file and a companion window, it shows the
file in the language of its settings, turns down the first close request, closes each window
on the next one, ends with exit code 0, and its log tells all of it."""

from e2e.harness.demo_programs import (CloseWindow, PlaceDemoProduct, PlayerEnded,
                                       PlayerWindows, StartPlayer)
from e2e.harness.scenario import Scenario
from e2e.harness.states import Clean

MAIN = "TZELOMainForm"
COMPANION = "TZELOConverterMainForm"

SCENARIO = Scenario(
    name="demo_player",
    description="the demo player closes on request and records its run",
    start=Clean(),
    steps=[
        (PlaceDemoProduct(language="Russian.lng"), PlayerWindows([], closed_classes=[MAIN])),
        (StartPlayer(rf'/play "C:\music\a b.mp3" /window={COMPANION} /refuse-close=1'),
         PlayerWindows([MAIN, COMPANION], text="Воспроизведение: C:\\music\\a b.mp3")),
        (CloseWindow(MAIN), PlayerWindows([MAIN, COMPANION])),
        (CloseWindow(MAIN), PlayerWindows([COMPANION], closed_classes=[MAIN])),
        (CloseWindow(COMPANION),
         PlayerEnded("DefaultLang=Russian.lng Version=5000 UserMode=1",
                     [f"refused: {MAIN}", f"closed: {MAIN}", f"closed: {COMPANION}"])),
    ],
)
