"""One module per scenario, each defining SCENARIO."""
