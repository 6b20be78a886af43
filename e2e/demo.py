#!/usr/bin/env python3
"""The main job's last step: installs the demo player under Wine in a fresh prefix, as an
administrator would (build/win64/demo/setup.exe /AUTO=<folder> /SILENT), and reports what the
installation left: the exit code, the files, the uninstaller's list and the registration.

    demo.py --build <build/win64> [--folder "C:\\Program Files\\ZELO\\"] [--keep]
"""

import argparse
import sys
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[1]))

from e2e.harness import ini, ipk5  # noqa: E402
from e2e.harness.driver import Driver  # noqa: E402
from e2e.harness.registry import Registry  # noqa: E402
from e2e.harness.scenario import Context  # noqa: E402
from e2e.harness.states import PRODUCT_KEY, Installed  # noqa: E402
from e2e.harness.wine import WinePrefix  # noqa: E402


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--build", type=Path, required=True)
    parser.add_argument("--folder", default="C:\\Program Files\\ZELO\\")
    parser.add_argument("--keep", action="store_true", help="keep the Wine prefix for a look")
    options = parser.parse_args()
    build = options.build.resolve()
    output = build / "demo-output"
    output.mkdir(parents=True, exist_ok=True)
    folder = options.folder.rstrip("\\") + "\\"

    prefix = WinePrefix(build / "wine", build / "wine" / "demo", "null")
    try:
        context = Context("demo", build, output, prefix,
                          Driver(prefix, build / "e2e-driver.exe", output), None)
        setup = context.copy_into_prefix("demo/setup.exe",
                                         context.downloads_folder() + "\\setup.exe")
        command_line = f'"{setup}" /AUTO="{folder}" /SILENT'
        print(f"Installing the demo under Wine: {command_line}")
        exit_code = context.driver.launch(command_line).wait(timeout=300)
        print(f"Exit code: {exit_code}")
        if exit_code != 0:
            window = context.driver.find_window(caption="Setup", timeout_ms=0, required=False)
            if window:
                print("Setup said: " + " | ".join(c["text"] for c in window["controls"]
                                                   if c["text"]))
            return 1

        root = prefix.unix_path(folder)
        print(f"\nFiles in {folder} ({root}):")
        for path in sorted(p for p in root.rglob("*") if p.is_file()):
            print(f"  {path.stat().st_size:>10}  {path.relative_to(root)}")

        files = ipk5.read((root / "Uninstall.dat").read_bytes())
        listing = ini.sections(files[0][1])["Uninstall"]
        print("\nUninstall.dat holds Uninstall.ini; its list of installed files:")
        for key, value in listing:
            print(f"  {key}={value}")

        prefix.stop_server()
        values = Registry(prefix.path).values(PRODUCT_KEY)
        print(f"\nRegistered under HKEY_LOCAL_MACHINE\\{PRODUCT_KEY[5:]}:")
        for name, value in values.items():
            print(f"  {name} = {value!r}")

        Installed(folder).check(context)
        print("\nEvery file, the uninstaller and the registration are as they should be.")
    finally:
        if options.keep:
            prefix.stop_server()
            print(f"Prefix kept at {prefix.path}")
        else:
            prefix.remove()
    return 0


if __name__ == "__main__":
    sys.exit(main())
