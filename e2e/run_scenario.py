#!/usr/bin/env python3
"""Runs one end-to-end scenario under Wine.

    run_scenario.py <scenario> --build <build/win64> [--output DIR] [--keep]
"""

import argparse
import importlib
import sys
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[1]))

from e2e.harness import scenario as scenarios  # noqa: E402


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("scenario")
    parser.add_argument("--build", type=Path, required=True)
    parser.add_argument("--output", type=Path)
    parser.add_argument("--keep", action="store_true", help="keep the Wine prefix for a look")
    options = parser.parse_args()
    module = importlib.import_module(f"e2e.scenarios.{options.scenario}")
    build = options.build.resolve()
    output = options.output or build / "e2e-output" / options.scenario
    return 0 if scenarios.run(module.SCENARIO, build, output.resolve(), options.keep) else 1


if __name__ == "__main__":
    sys.exit(main())
