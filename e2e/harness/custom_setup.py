"""Setups made for one scenario: the demo's two package folders copied, changed as the scenario
needs (a file left out, another put in its place), and built into a setup.exe with the Linux
setupkit of the host tree, as a maker would build them."""

import shutil
import subprocess
from pathlib import Path


def linux_setupkit(build: Path) -> Path:
    """The Linux setupkit of the host (or bench) tree beside the Windows build tree."""
    for tree in ("host", "bench"):
        tool = build.parent / tree / "setupkit"
        if tool.exists():
            return tool
    raise RuntimeError("build the host preset first: it makes the Linux setupkit")


def build_custom_setup(build: Path, work: Path, change) -> Path:
    """Copies the demo's setup and product folders under Work, lets Change(setup_folder,
    product_folder) alter them, builds Work/setup.exe from them and returns its path."""
    shutil.rmtree(work, ignore_errors=True)
    setup, product = work / "setup", work / "product"
    shutil.copytree(build / "demo" / "setup", setup)
    shutil.copytree(build / "demo" / "product", product)
    change(setup, product)
    output = work / "setup.exe"
    # Without lint: the scenarios build the very setups lint would refuse, to see what the
    # installer does with them.
    subprocess.run([str(linux_setupkit(build)), "build", "--setup", str(setup), "--product",
                    str(product), "--program", str(build / "setup.exe"), "-o", str(output),
                    "--no-lint"],
                   check=True, stdout=subprocess.DEVNULL, timeout=300)
    return output
