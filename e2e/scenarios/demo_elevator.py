"""Elevator.exe and the shell-menu library as Setup uses them: every integration switch
registers the player for the current user (the context menu in the language of the settings,
the former owner of an extension kept), /REG=U removes all of it and gives the extension back,
and a switch the tool does not know changes nothing."""

from e2e.harness.demo_programs import (Integrated, NotIntegrated, PlaceDemoProduct, RunElevator,
                                       SetExtensionOwner)
from e2e.harness.scenario import Scenario
from e2e.harness.states import Clean

OTHER_PLAYER = {".mp3": "OtherPlayer.mp3"}

SCENARIO = Scenario(
    name="demo_elevator",
    description="Elevator.exe registers the demo player and removes it again",
    start=Clean(),
    steps=[
        (PlaceDemoProduct(language="Russian.lng"), NotIntegrated(owners={})),
        (SetExtensionOwner(".mp3", "OtherPlayer.mp3"), NotIntegrated(owners=OTHER_PLAYER)),
        (RunElevator("/REG=L1 /REG=D1 /REG=R1 /REG=M1 /REG=R2 /REG_UI"),
         Integrated(previous_owners=OTHER_PLAYER,
                    menu_texts={"Play": "Воспроизвести в ZELO",
                                "Enqueue": "Добавить в плейлист ZELO"})),
        (RunElevator("/REG=U"), NotIntegrated(owners=OTHER_PLAYER)),
        (RunElevator("/REG=M1 /REG=X9", exit_code=87), NotIntegrated(owners=OTHER_PLAYER)),
    ],
)
