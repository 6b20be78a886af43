"""A maker signs the built setup, as a shipped installer must be: a throwaway code-signing
certificate made with openssl, the signature made with osslsigncode. osslsigncode verify
accepts the signed setup (and refuses a copy changed after signing, so that its acceptance
means something); the signed setup installs silently just as the unsigned one does, so the
installer finds its packages in a signed program; the Uninstall.exe it leaves, a byte copy of
the signed program, verifies too; and that signed uninstaller removes the installation. The
maker's lint says the unsigned setup is not signed, the signed one is, and the changed copy's
signature no longer covers it."""

import subprocess
from pathlib import Path

from e2e.harness.actions import RunSetup, RunUninstaller
from e2e.harness.custom_setup import linux_setupkit
from e2e.harness.demo import DemoProduct
from e2e.harness.scenario import Action, Context, Scenario, State
from e2e.harness.signing import assert_verified, make_test_signer, sign, verification
from e2e.harness.states import PRODUCT_KEY, Clean, Installed
from e2e.harness.tree import files_under

FOLDER = "C:\\Apps\\ZELO\\"
COVERS = "info: the program is signed, and the signature covers it"
NOT_SIGNED = "warning: the program is not signed"
NO_LONGER_COVERS = "warning: the program is signed, but the signature no longer covers the file"


def signing_folder(context: Context) -> Path:
    return context.output / "signing"


def signed_setup(context: Context) -> Path:
    return signing_folder(context) / "setup.exe"


class SignTheSetup(Action):
    name = "make a test certificate and sign demo/setup.exe into a copy"

    def __call__(self, context: Context):
        signer = make_test_signer(signing_folder(context))
        context.signer = signer
        sign(signer, DemoProduct(context.build).setup_exe, signed_setup(context))


class SignedAndVerified(State):
    name = "osslsigncode verify accepts the signed setup and refuses a changed copy"

    def check(self, context: Context):
        signed = signed_setup(context)
        unsigned = DemoProduct(context.build).setup_exe.read_bytes()
        data = signed.read_bytes()
        # The signature goes after everything the program held, which stays as it was.
        assert len(data) > len(unsigned), "the signed setup is no longer than the unsigned one"
        assert_verified(context.signer, signed, "the signed setup")

        changed = signing_folder(context) / "changed.exe"
        middle = len(unsigned) // 2  # inside the packages, well before the signature
        changed.write_bytes(data[:middle] + bytes([data[middle] ^ 1]) + data[middle + 1:])
        accepted, output = verification(context.signer, changed)
        assert not accepted, f"osslsigncode verify accepts a copy changed after signing:\n{output}"

        # The maker's lint says the same of all three.
        for program, said, not_said in (
                (DemoProduct(context.build).setup_exe, NOT_SIGNED, COVERS),
                (signed, COVERS, NOT_SIGNED),
                (changed, NO_LONGER_COVERS, COVERS)):
            report = lint(context, program)
            assert said in report and not_said not in report, \
                f"lint {program.name}, expected {said!r}:\n{report}"


def lint(context: Context, program: Path) -> str:
    result = subprocess.run([str(linux_setupkit(context.build)), "lint", str(program)],
                            capture_output=True, text=True, timeout=120)
    return result.stdout + result.stderr


class RunSignedSetup(RunSetup):
    def __init__(self, arguments: str):
        super().__init__("signing/setup.exe", arguments)
        self.name = f"run the signed setup.exe {arguments}"

    def __call__(self, context: Context):
        # The actions take paths relative to the build tree; an absolute path stays itself.
        self.program = str(signed_setup(context))
        super().__call__(context)


class InstalledBySignedSetup(State):
    name = f"installed in {FOLDER} by the signed setup; its Uninstall.exe verifies"

    def check(self, context: Context):
        Installed(FOLDER, setup_exe=signed_setup(context)).check(context)
        uninstaller = context.prefix.unix_path(FOLDER + "Uninstall.exe")
        assert_verified(context.signer, uninstaller, "the installed Uninstall.exe")


class Removed(State):
    name = "removed by the signed Uninstall.exe"

    def check(self, context: Context):
        demo = DemoProduct(context.build)
        found = files_under(context.prefix.unix_path(FOLDER))
        listed = [relative for relative, _ in demo.installed_files(FOLDER)]
        listed += ["Uninstall.exe", "Uninstall.dat"]
        left = [relative for relative in listed if relative in found]
        assert not left, f"listed files left: {left}"
        registry = context.registry()
        assert not registry.has_key(PRODUCT_KEY), f"{PRODUCT_KEY} is still there"


SCENARIO = Scenario(
    name="maker_signed_setup",
    description=f"sign setup.exe -> verify -> /AUTO={FOLDER} /SILENT -> installed, "
                "Uninstall.exe verifies -> Uninstall.exe /AUTO /SILENT -> removed",
    start=Clean(),
    steps=[
        (SignTheSetup(), SignedAndVerified()),
        (RunSignedSetup(f"/AUTO={FOLDER} /SILENT"), InstalledBySignedSetup()),
        (RunUninstaller(FOLDER, "/AUTO /SILENT",
                        watched=[FOLDER + "ZELO.exe", FOLDER + "Uninstall.dat"]),
         Removed()),
    ],
)
