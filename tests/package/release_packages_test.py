#!/usr/bin/python3
"""release_packages_test.py MAKE_PACKAGES MAKE_TRANSFORM PREFIX SCHEDULER_EXE CHECK_EXE VERSION
                            WORK SOURCE_DIR BINARY_DIR SCHEMA_DIR [unittest options]

What scripts/package.sh makes, made by the script it runs
(scripts/lib/make_packages.sh) from the programs of this build: signed and
time-stamped with a throw-away certificate against a local RFC 3161 responder,
or nothing written at all; unsigned and saying so; the same bytes twice; the
checksums; and the bill of materials, checked against the CycloneDX 1.5 JSON
schema kept in the repository.
"""
import hashlib
import json
import os
import pathlib
import re
import shutil
import socket
import subprocess
import sys
import tempfile
import time
import unittest
import zipfile

import jsonschema

import package_support

SIGNED_FILES = ["LSScheduler.exe", "LSSchedulerCheck.exe", "deploy/LSScheduler-Detect.ps1",
                "deploy/LSScheduler-Remediate.ps1", "deploy/LSScheduler-Report.ps1"]


def sha256(path):
    return hashlib.sha256(pathlib.Path(path).read_bytes()).hexdigest()


def snapshot(folder):
    """Each file under `folder` with its bytes' hash and its time: what a run
    that writes nothing leaves alone."""
    return {str(path.relative_to(folder)): (sha256(path), path.stat().st_mtime_ns)
            for path in sorted(pathlib.Path(folder).rglob("*")) if path.is_file()}


def free_port():
    """A loopback port where nothing listens."""
    with socket.socket() as probe:
        probe.bind(("127.0.0.1", 0))
        return probe.getsockname()[1]


class Packages(unittest.TestCase):
    make_packages = transform = prefix = scheduler = check = version = None  # from the command line
    work = source_dir = binary_dir = schema_dir = None

    @classmethod
    def setUpClass(cls):
        cls.folder = pathlib.Path(cls.work)
        shutil.rmtree(cls.folder, ignore_errors=True)
        cls.folder.mkdir(parents=True)
        # The time-stamp server, and a code-signing certificate of the same kind.
        tsa = cls.folder / "tsa"
        tsa.mkdir()
        cls.responder = subprocess.Popen(
            [sys.executable, str(pathlib.Path(__file__).with_name("timestamp_responder.py")),
             str(tsa)])
        for _ in range(100):
            if (tsa / "port").exists():
                break
            time.sleep(0.1)
        cls.timestamp_url = f"http://127.0.0.1:{(tsa / 'port').read_text()}"
        cls.tsa_ca = tsa / "ca.pem"
        signing = cls.folder / "signing"
        signing.mkdir()
        subprocess.run(["openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-sha256",
                        "-days", "2", "-keyout", signing / "key.pem", "-out", signing / "cert.pem",
                        "-subj", "/O=Brinmoor/CN=LSScheduler test signing",
                        "-addext", "keyUsage=critical,digitalSignature",
                        "-addext", "extendedKeyUsage=codeSigning"], check=True,
                       capture_output=True)
        (signing / "password.txt").write_text("throw-away")
        subprocess.run(["openssl", "pkcs12", "-export", "-inkey", signing / "key.pem",
                        "-in", signing / "cert.pem", "-out", signing / "signing.pfx",
                        "-passout", "pass:throw-away"], check=True)
        cls.signing = signing
        cls.runs = {}

    @classmethod
    def tearDownClass(cls):
        cls.responder.terminate()
        cls.responder.wait()

    def environment(self, **settings):
        environment = {name: value for name, value in os.environ.items()
                       if not name.startswith("LSS_SIGN_")}
        environment.update(settings)
        return environment

    def make(self, dist, *options, **settings):
        return subprocess.run(
            [self.make_packages, *options, str(dist), self.version, self.transform, self.prefix,
             f"LSSchedulerExe={self.scheduler}", f"LSSchedulerCheckExe={self.check}"],
            env=self.environment(**settings), capture_output=True, text=True, check=False)

    def signing_settings(self):
        return {"LSS_SIGN_PFX": str(self.signing / "signing.pfx"),
                "LSS_SIGN_PASSWORD_FILE": str(self.signing / "password.txt"),
                "LSS_SIGN_TIMESTAMP_URL": self.timestamp_url}

    def made(self, name, *options, **settings):
        """The dist folder of a run that must succeed, made once per name."""
        if name not in self.runs:
            dist = self.folder / name
            run = self.make(dist, *options, **settings)
            self.assertEqual(run.returncode, 0, run.stdout + run.stderr)
            self.runs[name] = (dist, run.stdout.splitlines()[-1])
        return self.runs[name]

    def package(self, dist, suffix):
        return dist / f"LSScheduler-{self.version}{suffix}"

    def verify(self, path):
        return subprocess.run(["osslsigncode", "verify", "-CAfile", self.signing / "cert.pem",
                               "-TSA-CAfile", self.tsa_ca, "-in", path],
                              capture_output=True, text=True, check=False)

    def unpack(self, dist, name):
        """The zip's and the MSI's files, in folders of their own."""
        target = self.folder / f"{name}-unpacked"
        if not target.exists():
            with zipfile.ZipFile(self.package(dist, "-x64.zip")) as archive:
                archive.extractall(target / "zip")
            subprocess.run(["msiextract", "-C", target / "msi", self.package(dist, "-x64.msi")],
                           check=True, capture_output=True)
        return target

    def test_release_signs_and_time_stamps_every_program_script_and_the_msi(self):
        dist, last_line = self.made("signed", "--release", **self.signing_settings())
        self.assertIn("signed and time-stamped", last_line)
        unpacked = self.unpack(dist, "signed")
        msi_programs = {path.name: path for path in (unpacked / "msi").rglob("*.exe")}
        targets = [unpacked / "zip" / file for file in SIGNED_FILES]
        targets += [msi_programs["LSScheduler.exe"], msi_programs["LSSchedulerCheck.exe"]]
        targets += [self.package(dist, "-x64.msi")]
        for target in targets:
            with self.subTest(file=str(target.relative_to(self.folder))):
                result = self.verify(target)
                self.assertEqual(result.returncode, 0, result.stdout + result.stderr)
                self.assertIn("Timestamp Server Signature verification: ok", result.stdout)

    def test_without_release_nothing_is_signed_and_the_last_line_says_so(self):
        dist, last_line = self.made("unsigned")
        self.assertIn("NOT SIGNED", last_line)
        unpacked = self.unpack(dist, "unsigned")
        for target in [unpacked / "zip" / "LSScheduler.exe", self.package(dist, "-x64.msi")]:
            with self.subTest(file=target.name):
                self.assertNotEqual(self.verify(target).returncode, 0)

    def test_a_release_without_what_signing_needs_writes_nothing(self):
        signing = self.signing_settings()
        down = dict(signing, LSS_SIGN_TIMESTAMP_URL=f"http://127.0.0.1:{free_port()}")
        without = {name: value for name, value in signing.items() if name != "LSS_SIGN_PFX"}
        rows = [
            ("no certificate", without),
            ("a certificate without its key",
             dict(without, LSS_SIGN_CERT=str(self.signing / "cert.pem"))),
            ("no time-stamp server",
             {name: value for name, value in signing.items() if name != "LSS_SIGN_TIMESTAMP_URL"}),
            # Signing has begun when the first time stamp fails.
            ("the time-stamp server is down", down),
        ]
        source, _ = self.made("unsigned")
        for name, settings in rows:
            with self.subTest(row=name):
                dist = self.folder / "refused"
                shutil.rmtree(dist, ignore_errors=True)
                shutil.copytree(source, dist)
                before = snapshot(dist)
                run = self.make(dist, "--release", **settings)
                self.assertNotEqual(run.returncode, 0, run.stdout)
                self.assertEqual(snapshot(dist), before)

    def test_sha256sums_lists_every_file_written_with_its_hash(self):
        dist, _ = self.made("unsigned")
        lines = (dist / "SHA256SUMS").read_text().splitlines()
        listed = {line.split("  ", 1)[1]: line.split("  ", 1)[0] for line in lines}
        written = sorted(path.name for path in dist.iterdir() if path.name != "SHA256SUMS")
        self.assertEqual(sorted(listed), written)
        for name in written:
            with self.subTest(file=name):
                self.assertEqual(listed[name], sha256(dist / name))

    def test_two_runs_give_the_same_bytes(self):
        first, _ = self.made("unsigned")
        second, _ = self.made("unsigned-again")
        for suffix in ["-x64.zip", ".cdx.json"]:
            with self.subTest(file=suffix):
                self.assertEqual(sha256(self.package(first, suffix)),
                                 sha256(self.package(second, suffix)))
        # The MSI differs by design in its package code and its product code,
        # new in every build (the same length, in the same places): nothing else.
        msis = [self.package(dist, "-x64.msi") for dist in (first, second)]
        codes = [self.msi_codes(msi) for msi in msis]
        self.assertNotEqual(codes[0], codes[1])
        second_bytes = msis[1].read_bytes()
        for own, first_code in zip(codes[1], codes[0]):
            self.assertEqual(second_bytes.count(own.encode()), 1, own)
            second_bytes = second_bytes.replace(own.encode(), first_code.encode())
        self.assertTrue(msis[0].read_bytes() == second_bytes, "the MSIs differ elsewhere")

    @staticmethod
    def msi_codes(msi):
        """The package code (summary information) and the product code."""
        summary = subprocess.run(["msiinfo", "suminfo", msi], capture_output=True, text=True,
                                 check=True).stdout
        properties = subprocess.run(["msiinfo", "export", msi, "Property"], capture_output=True,
                                    text=True, check=True).stdout
        return (re.search(r"^Revision number \(UUID\): (\{[0-9A-F-]+\})", summary, re.M)[1],
                re.search(r"^ProductCode\t(\{[0-9A-F-]+\})", properties, re.M)[1])

    def test_the_programs_carry_no_link_time_and_no_build_folder(self):
        for program in [self.scheduler, self.check]:
            data = pathlib.Path(program).read_bytes()
            header = int.from_bytes(data[0x3C:0x40], "little")
            with self.subTest(program=pathlib.Path(program).name):
                self.assertEqual(data[header:header + 4], b"PE\0\0")
                # IMAGE_FILE_HEADER.TimeDateStamp follows Machine and NumberOfSections.
                self.assertEqual(int.from_bytes(data[header + 8:header + 12], "little"), 0)
                for folder in [self.source_dir, self.binary_dir]:
                    self.assertNotIn(folder.encode(), data)

    def test_the_bill_of_materials_is_valid_cyclonedx_and_lists_every_shipped_file(self):
        dist, _ = self.made("unsigned")
        bom = json.loads(self.package(dist, ".cdx.json").read_text())
        schemas = pathlib.Path(self.schema_dir)
        store = {}
        for path in schemas.glob("*.schema.json"):
            schema = json.loads(path.read_text())
            store[schema["$id"]] = schema
            store[f"http://cyclonedx.org/schema/{path.name}"] = schema
        root = store["http://cyclonedx.org/schema/bom-1.5.schema.json"]
        validator = jsonschema.Draft7Validator(
            root, resolver=jsonschema.RefResolver.from_schema(root, store=store))
        errors = [f"{list(error.path)}: {error.message}" for error in validator.iter_errors(bom)]
        self.assertEqual(errors, [])
        self.assertEqual((bom["bomFormat"], bom["specVersion"]), ("CycloneDX", "1.5"))

        listed = {component["name"]: component for component in bom["components"]}
        unpacked = self.unpack(dist, "unsigned")
        shipped = sorted(str(path.relative_to(unpacked / "zip"))
                         for path in (unpacked / "zip").rglob("*") if path.is_file())
        files = sorted(name for name, component in listed.items()
                       if component["type"] in ("file", "application"))
        self.assertEqual(files, shipped)
        for name in shipped:
            with self.subTest(file=name):
                self.assertEqual(listed[name]["hashes"],
                                 [{"alg": "SHA-256", "content": sha256(unpacked / "zip" / name)}])
        # The MSI ships the same files.
        for path in (unpacked / "msi").rglob("*"):
            if path.is_file():
                with self.subTest(msi_file=path.name):
                    self.assertIn(sha256(path), [component["hashes"][0]["content"]
                                                 for component in listed.values()
                                                 if "hashes" in component])

        libraries = {name: component for name, component in listed.items()
                     if component["type"] == "library"}
        self.assertEqual(sorted(libraries),
                         ["libgcc", "libstdc++", "mingw-w64-crt", "winpthreads"])
        for name, library in libraries.items():
            with self.subTest(library=name):
                package = library["purl"].split("/")[2].split("@")[0]
                installed = subprocess.run(["dpkg-query", "-W", "-f", "${Version}", package],
                                           capture_output=True, text=True, check=True).stdout
                self.assertEqual(library["version"], installed)
                self.assertTrue(library["licenses"][0]["expression"])
        linked = {entry["ref"]: sorted(entry["dependsOn"]) for entry in bom["dependencies"]}
        for program in ("LSScheduler.exe", "LSSchedulerCheck.exe"):
            with self.subTest(linked=program):
                self.assertEqual(linked[program], sorted(libraries))
        # The bill names no header-only library: the programs' sources include none.
        included = {match for path in pathlib.Path(self.source_dir, "src").rglob("*.[ch]*")
                    for match in re.findall(r'#include [<"]([a-z0-9_]+)/', path.read_text())}
        self.assertLessEqual(included, {"app", "check", "diag", "lib", "outlook", "platform",
                                        "settings", "handles"}, included)


if __name__ == "__main__":
    package_support.run(__doc__.splitlines()[0], Packages, "make_packages", "transform", "prefix",
                        "scheduler", "check", "version", "work", "source_dir", "binary_dir",
                        "schema_dir")
