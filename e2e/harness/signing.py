"""Signing a built setup as a maker does after building it: a throwaway code-signing
certificate made with openssl, the signature made and checked with osslsigncode. The key is
made anew in the scenario's output folder for each run and never kept anywhere else."""

import shutil
import subprocess
from dataclasses import dataclass
from pathlib import Path


@dataclass
class Signer:
    certificate: Path
    key: Path


def require_tools():
    missing = [tool for tool in ("openssl", "osslsigncode") if shutil.which(tool) is None]
    if missing:
        raise RuntimeError(f"{' and '.join(missing)} missing: scripts/bootstrap.sh installs them")


def make_test_signer(folder: Path) -> Signer:
    """A self-signed certificate for code signing, valid for two days, and its key."""
    require_tools()
    folder.mkdir(parents=True, exist_ok=True)
    signer = Signer(folder / "test-signer.pem", folder / "test-signer.key")
    subprocess.run(["openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes",
                    "-keyout", str(signer.key), "-out", str(signer.certificate), "-days", "2",
                    "-subj", "/CN=ZELO test signer",
                    "-addext", "keyUsage=critical,digitalSignature",
                    "-addext", "extendedKeyUsage=codeSigning"],
                   check=True, capture_output=True, timeout=120)
    return signer


def sign(signer: Signer, program: Path, signed: Path):
    """Writes a signed copy of Program to Signed (SHA-256, no time stamp: the test machine has
    no network)."""
    signed.unlink(missing_ok=True)
    result = subprocess.run(["osslsigncode", "sign", "-certs", str(signer.certificate),
                             "-key", str(signer.key), "-n", "ZELO", "-h", "sha256",
                             "-in", str(program), "-out", str(signed)],
                            capture_output=True, text=True, timeout=120)
    assert result.returncode == 0, f"osslsigncode sign failed:\n{result.stdout}{result.stderr}"


def verification(signer: Signer, program: Path) -> tuple:
    """(whether osslsigncode verify accepts Program, what it printed). The test certificate is
    the only trusted root: a self-signed leaf is its own chain, so it must be named as the CA
    file, and nothing the system trusts can stand in for it."""
    result = subprocess.run(["osslsigncode", "verify", "-in", str(program),
                             "-CAfile", str(signer.certificate)],
                            capture_output=True, text=True, timeout=120)
    output = result.stdout + result.stderr
    accepted = result.returncode == 0 and "Signature verification: ok" in output
    return accepted, output


def assert_verified(signer: Signer, program: Path, label: str):
    accepted, output = verification(signer, program)
    assert accepted, f"osslsigncode verify refuses {label}:\n{output}"
