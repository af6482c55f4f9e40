#!/usr/bin/env bash
# Builds vossel.exe (Release) and packs it twice, in build/dist:
#   vossel-<version>-setup.exe     the installer (NSIS), silent with /S
#   vossel-<version>-portable.zip  vossel.exe, vossel-help.html and a read-me
# and describes both for the package managers, also in build/dist:
#   winget/manifests/q/Quorvane/Vossel/<version>/   the installer's winget
#       manifests (version, installer, default locale; schema 1.6.0)
#   scoop/vossel.json                                the portable zip's Scoop manifest
# Both name the packages at RELEASE_URL, where the maintainer uploads them.
#
#   scripts/package.sh
#
# The help page is the project's own vossel-help.html; VOSSEL_HELP_PAGE=<file>
# names another one.
set -euo pipefail
# The project's home and its releases' download folder: placeholders until
# the project has a home of its own.
HOMEPAGE=https://example.org/vossel
RELEASE_URL=$HOMEPAGE/releases/download
ROOT=$(cd "$(dirname "$0")/.." && pwd)
cd "$ROOT"

"$ROOT/scripts/install-deps.sh" cmake g++-mingw-w64-x86-64 nsis zip

VERSION=$(sed -n 's/^project(Vossel VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
FILEVERSION=$(sed -n 's/^FILEVERSION \([0-9]*\), *\([0-9]*\), *\([0-9]*\), *\([0-9]*\)/\1.\2.\3.\4/p' resources/vossel.rc)
if [ -z "$VERSION" ] || [ -z "$FILEVERSION" ]; then
    echo "package: cannot read the version from CMakeLists.txt and resources/vossel.rc" >&2
    exit 1
fi

HELP=${VOSSEL_HELP_PAGE:-}
if [ -z "$HELP" ]; then
    HELP=$(git ls-files -- '*vossel-help.html' 2>/dev/null | head -n 1)
    [ -n "$HELP" ] || HELP=$(find "$ROOT" -path "$ROOT/build" -prune -o -name vossel-help.html -print | head -n 1)
fi
if [ -z "$HELP" ] || [ ! -f "$HELP" ]; then
    echo "package: the help page vossel-help.html is missing from the project; it is part of both packages" >&2
    exit 1
fi
HELP=$(cd "$(dirname "$HELP")" && pwd)/$(basename "$HELP")

# The same Release build as the test command's.
BUILD=$ROOT/build/windows
DIST=$ROOT/build/dist
cmake -S "$ROOT" -B "$BUILD" -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-w64-x86_64.cmake" -DCMAKE_BUILD_TYPE=Release
cmake --build "$BUILD" -j2 --target vossel
EXE=$BUILD/vossel.exe

mkdir -p "$DIST"
SETUP=$DIST/vossel-$VERSION-setup.exe
ZIP=$DIST/vossel-$VERSION-portable.zip
rm -f "$SETUP" "$ZIP"

makensis -V2 -WX -INPUTCHARSET UTF8 \
    -DVERSION="$VERSION" -DFILEVERSION="$FILEVERSION" -DEXE="$EXE" -DHELP="$HELP" \
    -DICON="$ROOT/resources/vossel.ico" -DOUTFILE="$SETUP" "$ROOT/packaging/vossel.nsi"

STAGE=$BUILD/portable/Vossel
rm -rf "$BUILD/portable"
mkdir -p "$STAGE"
cp "$EXE" "$HELP" "$STAGE/"
# A read-me for Notepad: Windows line ends.
sed 's/$/\r/' "$ROOT/packaging/portable-readme.txt" >"$STAGE/README.txt"
touch -d "@$(git log -1 --format=%ct 2>/dev/null || date +%s)" "$STAGE"/* "$STAGE"
(cd "$BUILD/portable" && zip -q -X -9 -r "$ZIP" Vossel)

# --- the package managers' manifests -----------------------------------------------
ID=Quorvane.Vossel
DESCRIPTION="A bar docked to an edge of the screen, with one button per drive"
SETUP_SHA=$(sha256sum "$SETUP" | cut -d' ' -f1)
ZIP_SHA=$(sha256sum "$ZIP" | cut -d' ' -f1)
WINGET=$DIST/winget/manifests/q/Quorvane/Vossel/$VERSION
rm -rf "$DIST/winget" "$DIST/scoop"
mkdir -p "$WINGET" "$DIST/scoop"
winget_header() {  # the schema line of manifest type $1
    echo "# yaml-language-server: \$schema=https://aka.ms/winget-manifest.$1.1.6.0.schema.json"
    echo
    echo "PackageIdentifier: $ID"
    echo "PackageVersion: \"$VERSION\""
}
{
    winget_header version
    cat <<YAML
DefaultLocale: en-US
ManifestType: version
ManifestVersion: 1.6.0
YAML
} >"$WINGET/$ID.yaml"
{
    winget_header installer
    cat <<YAML
InstallerType: nullsoft
Scope: machine
InstallModes:
  - interactive
  - silent
  - silentWithProgress
UpgradeBehavior: install
ElevationRequirement: elevatesSelf
MinimumOSVersion: 6.1.0.0
Installers:
  - Architecture: x64
    InstallerUrl: $RELEASE_URL/v$VERSION/$(basename "$SETUP")
    InstallerSha256: ${SETUP_SHA^^}
ManifestType: installer
ManifestVersion: 1.6.0
YAML
} >"$WINGET/$ID.installer.yaml"
{
    winget_header defaultLocale
    cat <<YAML
PackageLocale: en-US
Publisher: Quorvane
PackageName: Vossel
PackageUrl: $HOMEPAGE
License: Free for personal use
ShortDescription: $DESCRIPTION
ManifestType: defaultLocale
ManifestVersion: 1.6.0
YAML
} >"$WINGET/$ID.locale.en-US.yaml"
cat >"$DIST/scoop/vossel.json" <<JSON
{
    "version": "$VERSION",
    "description": "$DESCRIPTION",
    "homepage": "$HOMEPAGE",
    "license": "Freeware",
    "architecture": {
        "64bit": {
            "url": "$RELEASE_URL/v$VERSION/$(basename "$ZIP")",
            "hash": "$ZIP_SHA"
        }
    },
    "extract_dir": "Vossel",
    "bin": "vossel.exe",
    "shortcuts": [
        [
            "vossel.exe",
            "Vossel"
        ]
    ]
}
JSON

for f in "$SETUP" "$ZIP"; do
    echo "package: $(basename "$f") $(stat -c %s "$f") bytes"
done
echo "package: vossel.exe $(stat -c %s "$EXE") bytes"
echo "package: winget manifests in ${WINGET#"$ROOT"/}, Scoop manifest in ${DIST#"$ROOT"/}/scoop"
