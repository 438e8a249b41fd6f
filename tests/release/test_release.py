"""tools/release.sh, run twice into temporary folders: the two archives must
be the same bytes, and everything written beside the archive must describe
it (checksum, version, Scoop and winget manifests)."""

import hashlib
import json
import os
import pathlib
import re
import subprocess
import time
import zipfile

import pefile
import pytest
import yaml

ROOT = pathlib.Path(__file__).resolve().parents[2]
BUILD = ROOT / "build" / "release"
DOCUMENTS = ["README.md", "LICENSE", "CHANGELOG.md"]


def project_version():
    match = re.search(r"^project\(quilt VERSION (\d+)\.(\d+)\.(\d+)\b", (ROOT / "CMakeLists.txt").read_text(), re.M)
    assert match, "CMakeLists.txt names no project version"
    return tuple(int(part) for part in match.groups())


def release_url_pattern():
    match = re.search(r"^RELEASE_URL='([^']+)'$", (ROOT / "tools" / "release.sh").read_text(), re.M)
    assert match, "tools/release.sh sets no RELEASE_URL"
    return match.group(1)


VERSION_PARTS = project_version()
VERSION = ".".join(map(str, VERSION_PARTS))
ARCHIVE = f"quilt-{VERSION}-windows-x64.zip"
URL = release_url_pattern().replace("{version}", VERSION)


@pytest.fixture(scope="module")
def runs(tmp_path_factory):
    """The output folders of two runs, and the executable the second built."""
    outs = []
    for name in ("first", "second"):
        if outs:
            time.sleep(2)  # zip times have a resolution of two seconds
        out = tmp_path_factory.mktemp(name)
        # Each run links its own executable, so that anything the link or the
        # stripping stamps in (a time, a path) shows up as a difference.
        (BUILD / "quilt.exe").unlink(missing_ok=True)
        env = {k: v for k, v in os.environ.items() if k not in ("SOURCE_DATE_EPOCH", "QUILT_RELEASE_BUILD")}
        run = subprocess.run(
            [str(ROOT / "tools" / "release.sh"), str(out)], capture_output=True, text=True, env=env, timeout=600
        )
        assert run.returncode == 0, run.stdout[-3000:] + run.stderr[-3000:]
        outs.append(out)
    return outs, (BUILD / "quilt.exe").read_bytes()


def tree(folder):
    return {str(p.relative_to(folder)): p.read_bytes() for p in sorted(folder.rglob("*")) if p.is_file()}


def test_two_runs_give_one_archive_with_its_checksum(runs):
    (first, second), built_exe = runs
    assert tree(first) == tree(second), "two runs wrote different files"
    archive_bytes = (first / ARCHIVE).read_bytes()
    assert sorted(p.name for p in first.glob("*.zip")) == [ARCHIVE]
    assert (first / "SHA256SUMS").read_text() == f"{hashlib.sha256(archive_bytes).hexdigest()}  {ARCHIVE}\n"
    check = subprocess.run(["sha256sum", "--check", "--strict", "SHA256SUMS"], cwd=first, capture_output=True, text=True)
    assert check.returncode == 0, check.stdout + check.stderr

    with zipfile.ZipFile(first / ARCHIVE) as archive:
        assert archive.testzip() is None
        assert archive.namelist() == ["quilt.exe"] + DOCUMENTS
        assert archive.read("quilt.exe") == built_exe
        # What a user downloads stays small; a new static dependency shows here first.
        assert len(built_exe) < 500 * 1024, len(built_exe)
        for name in DOCUMENTS:
            assert archive.read(name) == (ROOT / name).read_bytes(), name


def test_the_shipped_executable_carries_the_project_version(runs):
    (first, _), _ = runs
    with zipfile.ZipFile(first / ARCHIVE) as archive:
        pe = pefile.PE(data=archive.read("quilt.exe"))
    assert pe.FILE_HEADER.TimeDateStamp == 0
    assert pe.FILE_HEADER.Machine == pefile.MACHINE_TYPE["IMAGE_FILE_MACHINE_AMD64"]

    major, minor, patch = VERSION_PARTS
    fixed = pe.VS_FIXEDFILEINFO[0]
    for ms, ls in ((fixed.FileVersionMS, fixed.FileVersionLS), (fixed.ProductVersionMS, fixed.ProductVersionLS)):
        assert (ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF) == (major, minor, patch, 0)
    strings = {}
    for info in pe.FileInfo[0]:
        if info.Key == b"StringFileInfo":
            for table in info.StringTable:
                strings.update({k.decode(): v.decode() for k, v in table.entries.items()})
    assert strings["FileVersion"] == VERSION
    assert strings["ProductVersion"] == VERSION
    assert strings["OriginalFilename"] == "quilt.exe"

    manifests = [
        entry
        for entry in pe.DIRECTORY_ENTRY_RESOURCE.entries
        if entry.id == pefile.RESOURCE_TYPE["RT_MANIFEST"]
    ]
    assert len(manifests) == 1
    leaf = manifests[0].directory.entries[0].directory.entries[0].data.struct
    manifest = pe.get_data(leaf.OffsetToData, leaf.Size).decode("utf-8")
    assert re.search(r'<assemblyIdentity [^>]*version="%s\.0"' % re.escape(VERSION), manifest), manifest


def test_the_manifests_point_at_the_archive(runs):
    (first, _), _ = runs
    sha256 = hashlib.sha256((first / ARCHIVE).read_bytes()).hexdigest()
    assert URL.startswith("https://") and URL.endswith("/" + ARCHIVE)

    scoop = json.loads((first / "scoop" / "quilt.json").read_text())
    assert scoop["version"] == VERSION
    assert scoop["architecture"]["64bit"] == {"url": URL, "hash": sha256}
    assert scoop["bin"] == "quilt.exe"
    assert scoop["license"] == "MIT"
    assert scoop["description"] and scoop["homepage"].startswith("https://")
    assert scoop["checkver"]
    autoupdate = scoop["autoupdate"]["architecture"]["64bit"]["url"]
    assert "$version" in autoupdate and autoupdate.replace("$version", VERSION) == URL

    # The fields each file's schema requires, and the file's type.
    required = {
        "version": ["PackageIdentifier", "PackageVersion", "DefaultLocale", "ManifestType", "ManifestVersion"],
        "installer": ["PackageIdentifier", "PackageVersion", "Installers", "ManifestType", "ManifestVersion"],
        "defaultLocale": [
            "PackageIdentifier", "PackageVersion", "PackageLocale", "Publisher", "PackageName", "License",
            "ShortDescription", "ManifestType", "ManifestVersion",
        ],
    }
    folders = list((first / "winget" / "manifests").glob(f"*/*/*/{VERSION}"))
    assert len(folders) == 1
    docs = {}
    for path in sorted(folders[0].iterdir()):
        text = path.read_text(encoding="utf-8")
        doc = yaml.safe_load(text)
        kind = doc["ManifestType"]
        assert kind not in docs, path.name
        missing = [field for field in required[kind] if not doc.get(field)]
        assert not missing, f"{path.name} lacks {missing}"
        schema = re.match(r"# yaml-language-server: \$schema=https://aka\.ms/winget-manifest\.(\w+)\.([\d.]+)\.schema\.json\n", text)
        assert schema and schema.groups() == (kind, doc["ManifestVersion"]), path.name
        docs[kind] = (path.name, doc)
    assert sorted(docs) == sorted(required)

    identifier = docs["version"][1]["PackageIdentifier"]
    assert re.fullmatch(r"[^.\s\\/:*?\"<>|\x01-\x1f]{1,32}(\.[^.\s\\/:*?\"<>|\x01-\x1f]{1,32}){1,7}", identifier)
    publisher, package = identifier.split(".")
    assert folders[0].relative_to(first / "winget" / "manifests").parts == (publisher[0].lower(), publisher, package, VERSION)
    for kind, (name, doc) in docs.items():
        assert doc["PackageIdentifier"] == identifier and doc["PackageVersion"] == VERSION, name
        assert doc["ManifestVersion"] == docs["version"][1]["ManifestVersion"], name
    assert docs["version"][0] == f"{identifier}.yaml"
    locale = docs["version"][1]["DefaultLocale"]
    assert docs["defaultLocale"][0] == f"{identifier}.locale.{locale}.yaml"
    assert docs["defaultLocale"][1]["PackageLocale"] == locale
    assert docs["defaultLocale"][1]["License"] == "MIT"

    installer = docs["installer"][1]
    assert installer["InstallerType"] == "zip"
    assert installer["NestedInstallerType"] == "portable"
    assert installer["NestedInstallerFiles"] == [{"RelativeFilePath": "quilt.exe", "PortableCommandAlias": "quilt"}]
    assert installer["Installers"] == [{"Architecture": "x64", "InstallerUrl": URL, "InstallerSha256": sha256.upper()}]
