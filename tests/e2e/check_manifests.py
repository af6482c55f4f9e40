#!/usr/bin/env python3
"""Checks the package managers' manifests that scripts/package.sh writes.

    check_manifests.py <dist folder> <version> <file version>

<version> and <file version> (such as 2.2 and 2,2,0,0) are read from the
version resource of the vossel.exe that the packages hold. Prints one line per
check, "PASS: <what>" or "FAIL: <what> (<why>)", and ends with status 1 when
one failed. The rules are the required fields and patterns of the published
schemas: winget's manifest schemas 1.6.0 and Scoop's app manifest schema.
"""
import hashlib
import json
import re
import sys
import zipfile
from pathlib import Path

import yaml

DIST = Path(sys.argv[1])
VERSION = sys.argv[2]
FILE_VERSION = sys.argv[3]
failures = 0


def check(what, ok, why=""):
    global failures
    if ok:
        print(f"PASS: {what}")
    else:
        failures += 1
        print(f"FAIL: {what} ({why})")


def sha256(path):
    return hashlib.sha256(path.read_bytes()).hexdigest()


def only(pattern):
    found = sorted(DIST.glob(pattern))
    check(f"one {pattern}", len(found) == 1, f"found {[str(p) for p in found]}")
    return found[0] if found else None


ID_PART = r'[^.\s\\/:*?"<>|\x01-\x1f]{1,32}'
WINGET_ID = re.compile(rf"^{ID_PART}(\.{ID_PART}){{1,7}}$")
WINGET_VERSION = re.compile(r'^[^\\/:*?"<>|\x01-\x1f]+$')
LOCALE = re.compile(r"^([a-zA-Z]{2,3}|[iI]-[a-zA-Z]+|[xX]-[a-zA-Z]{1,8})(-[a-zA-Z]{1,8})*$")
URL = re.compile(r"^[Hh][Tt][Tt][Pp][Ss]?://.+$")
SHA256 = re.compile(r"^[A-Fa-f0-9]{64}$")

# The version resource: its fixed file version, trailing zeros dropped, is the
# version the packages name.
parts = FILE_VERSION.split(",")
while len(parts) > 1 and parts[-1] == "0":
    parts.pop()
check("the executable's file version is its version text", ".".join(parts) == VERSION,
      f"{FILE_VERSION} against {VERSION}")

setup = only(f"vossel-{VERSION}-setup.exe")
portable = only(f"vossel-{VERSION}-portable.zip")

# --- winget: one folder per version, three files, each of its own type ---------
REQUIRED = {
    "version": ["PackageIdentifier", "PackageVersion", "DefaultLocale", "ManifestType", "ManifestVersion"],
    "installer": ["PackageIdentifier", "PackageVersion", "Installers", "ManifestType", "ManifestVersion"],
    "defaultLocale": ["PackageIdentifier", "PackageVersion", "PackageLocale", "Publisher", "PackageName", "License",
                      "ShortDescription", "ManifestType", "ManifestVersion"],
}
folder = only("winget/manifests/*/*/*/*")
manifests = {}
if folder is not None:
    for path in sorted(folder.glob("*.yaml")):
        text = path.read_text(encoding="utf-8")
        data = yaml.safe_load(text)
        kind = data.get("ManifestType") if isinstance(data, dict) else None
        check(f"{path.name} has a known type", kind in REQUIRED, f"ManifestType {kind!r}")
        if kind not in REQUIRED:
            continue
        manifests[kind] = data
        missing = [f for f in REQUIRED[kind] if data.get(f) in (None, "", [])]
        check(f"{path.name}: required fields", not missing, f"missing {missing}")
        check(f"{path.name}: schema 1.6.0", data.get("ManifestVersion") == "1.6.0" and
              f"winget-manifest.{kind}.1.6.0.schema.json" in text.splitlines()[0],
              f"ManifestVersion {data.get('ManifestVersion')!r}, first line {text.splitlines()[0]!r}")
        check(f"{path.name}: identifier and version", WINGET_ID.match(str(data.get("PackageIdentifier"))) and
              data.get("PackageVersion") == VERSION,
              f"{data.get('PackageIdentifier')!r} {data.get('PackageVersion')!r}, version resource {VERSION}")
    check("winget: a version, an installer and a default-locale manifest", sorted(manifests) == sorted(REQUIRED),
          f"found {sorted(manifests)}")
if len(manifests) == len(REQUIRED):
    ident = manifests["version"]["PackageIdentifier"]
    publisher, name = ident.split(".", 1)
    expected = Path("winget/manifests") / publisher[0].lower() / publisher / name / VERSION
    check("winget: the folder follows the identifier and version", folder.relative_to(DIST) == expected,
          f"{folder.relative_to(DIST)} against {expected}")
    check("winget: one identifier throughout", all(m["PackageIdentifier"] == ident for m in manifests.values()),
          "identifiers differ")
    locale = manifests["defaultLocale"]
    check("winget: the default locale is the locale file's", LOCALE.match(str(locale["PackageLocale"])) and
          locale["PackageLocale"] == manifests["version"]["DefaultLocale"],
          f"{locale['PackageLocale']!r} against {manifests['version']['DefaultLocale']!r}")
    installers = manifests["installer"]["Installers"]
    check("winget: one installer", isinstance(installers, list) and len(installers) == 1, f"{installers!r}")
    entry = installers[0] if isinstance(installers, list) and installers else {}
    check("winget: the installer is the 64-bit NSIS setup",
          entry.get("Architecture") == "x64" and manifests["installer"].get("InstallerType") == "nullsoft",
          f"{entry.get('Architecture')!r} {manifests['installer'].get('InstallerType')!r}")
    url = str(entry.get("InstallerUrl"))
    check("winget: the installer's address names the setup", URL.match(url) and setup is not None and
          url.endswith("/" + setup.name), url)
    digest = str(entry.get("InstallerSha256"))
    check("winget: InstallerSha256 is the setup's", SHA256.match(digest) and setup is not None and
          digest.lower() == sha256(setup), f"{digest} against {setup and sha256(setup)}")

# --- Scoop: one JSON manifest for the portable zip ------------------------------
scoop_path = only("scoop/*.json")
if scoop_path is not None:
    scoop = json.loads(scoop_path.read_text(encoding="utf-8"))
    check("scoop: version", scoop.get("version") == VERSION and re.match(r"^[\w\-.+_]+$", VERSION),
          f"{scoop.get('version')!r}, version resource {VERSION}")
    check("scoop: description, homepage and license",
          all(scoop.get(f) for f in ("description", "homepage", "license")), f"{scoop!r}")
    arch = scoop.get("architecture", {}).get("64bit", {})
    check("scoop: only a 64-bit download", list(scoop.get("architecture", {})) == ["64bit"] and
          "url" not in scoop and "hash" not in scoop, f"{scoop.get('architecture')!r}")
    url = str(arch.get("url"))
    check("scoop: the address names the zip", URL.match(url) and "$" not in url and portable is not None and
          url.endswith("/" + portable.name), url)
    digest = str(arch.get("hash"))
    digest = digest[len("sha256:"):] if digest.startswith("sha256:") else digest
    check("scoop: hash is the zip's", SHA256.match(digest) and portable is not None and
          digest.lower() == sha256(portable), f"{digest} against {portable and sha256(portable)}")
    names = set(zipfile.ZipFile(portable).namelist()) if portable is not None else set()
    root = scoop.get("extract_dir", "")
    inside = lambda f: (f"{root}/{f}" if root else f) in names
    bins = scoop.get("bin")
    bins = [bins] if isinstance(bins, str) else bins or []
    check("scoop: bin is in the zip", bins and all(isinstance(b, str) and inside(b) for b in bins),
          f"bin {bins!r}, zip {sorted(names)}")
    shortcuts = scoop.get("shortcuts") or []
    check("scoop: each shortcut starts a file of the zip and has a name",
          shortcuts and all(isinstance(s, list) and 2 <= len(s) <= 4 and inside(s[0]) and s[1]
                            for s in shortcuts), f"{shortcuts!r}")

sys.exit(1 if failures else 0)
