#!/usr/bin/env python3
"""Packs a built quilt.exe into the release archive and writes its SHA256SUMS
and the Scoop and winget manifests beside it. tools/release.sh runs this
after the build; everything written is a function of its arguments and the
files in the checkout, so that two runs give the same bytes."""

import argparse
import datetime
import hashlib
import json
import pathlib
import re
import shutil
import sys
import zipfile

import yaml

ROOT = pathlib.Path(__file__).resolve().parent.parent

# What the archive holds, in this order, at its top level.
DOCUMENTS = ["README.md", "LICENSE", "CHANGELOG.md"]

PACKAGE_IDENTIFIER = "Quilt.Quilt"
PUBLISHER = "The Quilt authors"
LICENSE = "MIT"
SHORT_DESCRIPTION = "A small tiling window manager: every monitor's windows side by side, none overlapping."
# The newest manifest version that winget's community repository accepts, not
# the newest that exists: a newer one is refused when the package is submitted.
WINGET_MANIFEST_VERSION = "1.12.0"
# Dates before 1980 cannot be written in a zip file.
ZIP_EPOCH = 315532800


def archive_name(version):
    return f"quilt-{version}-windows-x64.zip"


def release_notes(version):
    """The CHANGELOG.md entry of this version: a release without one is a
    mistake, so it stops the release."""
    text = (ROOT / "CHANGELOG.md").read_text(encoding="utf-8")
    match = re.search(rf"^## {re.escape(version)}\n(.*?)(?=^## |\Z)", text, re.S | re.M)
    if not match or not match.group(1).strip():
        sys.exit(f"CHANGELOG.md has no entry for {version}")
    return match.group(1).strip() + "\n"


def write_archive(path, exe, epoch):
    # Fixed times, order and attributes: the bytes depend only on the contents.
    stamp = datetime.datetime.fromtimestamp(max(epoch, ZIP_EPOCH), datetime.timezone.utc).timetuple()[:6]
    members = [("quilt.exe", exe, 0o755)] + [(name, ROOT / name, 0o644) for name in DOCUMENTS]
    partial = path.with_name(path.name + ".partial")
    with zipfile.ZipFile(partial, "w") as archive:
        for name, source, mode in members:
            info = zipfile.ZipInfo(name, date_time=stamp)
            info.compress_type = zipfile.ZIP_DEFLATED
            info.create_system = 3  # Unix, so that the modes below mean what they say
            info.external_attr = (0o100000 | mode) << 16
            archive.writestr(info, pathlib.Path(source).read_bytes(), compresslevel=9)
    partial.replace(path)


def scoop_manifest(version, url, sha256, url_pattern, homepage):
    return {
        "version": version,
        "description": SHORT_DESCRIPTION,
        "homepage": homepage,
        "license": LICENSE,
        "architecture": {"64bit": {"url": url, "hash": sha256}},
        "bin": "quilt.exe",
        "checkver": {"github": homepage},
        "autoupdate": {"architecture": {"64bit": {"url": url_pattern.replace("{version}", "$version")}}},
    }


def winget_manifests(version, url, sha256, homepage, release_date, notes):
    """winget's multi-file manifest, by file name."""
    ident = {"PackageIdentifier": PACKAGE_IDENTIFIER, "PackageVersion": version}
    tail = {"ManifestVersion": WINGET_MANIFEST_VERSION}
    return {
        f"{PACKAGE_IDENTIFIER}.yaml": (
            "version",
            {**ident, "DefaultLocale": "en-US", "ManifestType": "version", **tail},
        ),
        f"{PACKAGE_IDENTIFIER}.installer.yaml": (
            "installer",
            {
                **ident,
                "Platform": ["Windows.Desktop"],
                "MinimumOSVersion": "10.0.0.0",
                "InstallerType": "zip",
                "NestedInstallerType": "portable",
                "NestedInstallerFiles": [{"RelativeFilePath": "quilt.exe", "PortableCommandAlias": "quilt"}],
                "ReleaseDate": release_date,
                "Installers": [{"Architecture": "x64", "InstallerUrl": url, "InstallerSha256": sha256.upper()}],
                "ManifestType": "installer",
                **tail,
            },
        ),
        f"{PACKAGE_IDENTIFIER}.locale.en-US.yaml": (
            "defaultLocale",
            {
                **ident,
                "PackageLocale": "en-US",
                "Publisher": PUBLISHER,
                "PublisherUrl": homepage,
                "PackageName": "Quilt",
                "PackageUrl": homepage,
                "License": LICENSE,
                "ShortDescription": SHORT_DESCRIPTION,
                "Moniker": "quilt",
                "Tags": ["tiling", "window-manager", "launcher"],
                "ReleaseNotes": notes,
                "ManifestType": "defaultLocale",
                **tail,
            },
        ),
    }


class _Dumper(yaml.SafeDumper):
    pass


# Release notes stay readable as a block instead of one escaped line.
_Dumper.add_representer(
    str,
    lambda dumper, s: dumper.represent_scalar("tag:yaml.org,2002:str", s, style="|" if "\n" in s else None),
)


def write_yaml(path, schema, doc):
    header = f"# yaml-language-server: $schema=https://aka.ms/winget-manifest.{schema}.{WINGET_MANIFEST_VERSION}.schema.json\n\n"
    body = yaml.dump(doc, Dumper=_Dumper, sort_keys=False, allow_unicode=True, width=120)
    path.write_text(header + body, encoding="utf-8")


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--version", required=True)
    parser.add_argument("--exe", required=True, type=pathlib.Path)
    parser.add_argument("--epoch", required=True, type=int)
    parser.add_argument("--url", required=True, help="the release URL, {version} standing for the version")
    parser.add_argument("--homepage", required=True)
    parser.add_argument("--out", required=True, type=pathlib.Path)
    args = parser.parse_args()

    name = archive_name(args.version)
    url = args.url.replace("{version}", args.version)
    if not url.endswith("/" + name):
        sys.exit(f"The release URL {url} does not end in the archive's name {name}")
    notes = release_notes(args.version)

    out = args.out
    out.mkdir(parents=True, exist_ok=True)
    archive = out / name
    write_archive(archive, args.exe, args.epoch)
    sha256 = hashlib.sha256(archive.read_bytes()).hexdigest()
    (out / "SHA256SUMS").write_text(f"{sha256}  {name}\n", encoding="utf-8")

    # Only this version's manifests: the folders are made afresh.
    scoop = out / "scoop"
    shutil.rmtree(scoop, ignore_errors=True)
    scoop.mkdir()
    manifest = scoop_manifest(args.version, url, sha256, args.url, args.homepage)
    (scoop / "quilt.json").write_text(json.dumps(manifest, indent=4) + "\n", encoding="utf-8")

    winget_root = out / "winget"
    shutil.rmtree(winget_root, ignore_errors=True)
    # The layout of winget's community repository, ready to copy into it.
    publisher, package = PACKAGE_IDENTIFIER.split(".")
    winget = winget_root / "manifests" / publisher[0].lower() / publisher / package / args.version
    winget.mkdir(parents=True)
    release_date = datetime.datetime.fromtimestamp(args.epoch, datetime.timezone.utc).date().isoformat()
    for file_name, (schema, doc) in winget_manifests(
        args.version, url, sha256, args.homepage, release_date, notes
    ).items():
        write_yaml(winget / file_name, schema, doc)

    print(f"{archive}: {archive.stat().st_size} bytes, SHA-256 {sha256}")
    with zipfile.ZipFile(archive) as z:
        for info in z.infolist():
            print(f"  {info.file_size:>9}  {info.filename}")
    print(f"{scoop / 'quilt.json'}\n{winget}/")


if __name__ == "__main__":
    main()
