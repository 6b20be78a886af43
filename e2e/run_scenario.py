#!/usr/bin/env python3
"""Runs one end-to-end scenario under Wine, or every case of a table of scenarios.

    run_scenario.py <module> --build <build/win64> [--case NAME] [--output DIR] [--keep]

A module defines SCENARIO, or SCENARIOS: cases that differ only in their data, each run in a
prefix of its own and reported on its own; --case picks one of them by name.
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
    parser.add_argument("--case", help="run only the case of this name")
    parser.add_argument("--output", type=Path)
    parser.add_argument("--keep", action="store_true", help="keep the Wine prefix for a look")
    options = parser.parse_args()
    module = importlib.import_module(f"e2e.scenarios.{options.scenario}")
    cases = getattr(module, "SCENARIOS", None) or [module.SCENARIO]
    if options.case:
        cases = [case for case in cases if case.name == options.case]
        if not cases:
            names = [case.name for case in getattr(module, "SCENARIOS", [])]
            parser.error(f"no case {options.case!r}; the cases are {names}")
    build = options.build.resolve()
    output = (options.output or build / "e2e-output" / options.scenario).resolve()
    failed = []
    for case in cases:
        place = output if len(cases) == 1 and not hasattr(module, "SCENARIOS") \
            else output / case.name
        if not scenarios.run(case, build, place, options.keep):
            failed.append(case.name)
    if len(cases) > 1:
        print(f"{len(cases) - len(failed)} of {len(cases)} cases passed"
              + (f"; failed: {', '.join(failed)}" if failed else ""))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
