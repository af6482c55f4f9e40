# shellcheck shell=bash
# The manifests that scripts/package.sh writes for winget and Scoop: their
# required fields, the hashes of the packages they name, and their version,
# which must be that of the vossel.exe inside the portable zip.

DIST=$(dirname "$BUILD")/dist
ZIP=$(ls "$DIST"/vossel-*-portable.zip 2>/dev/null | head -n 1)
[ -n "$ZIP" ] || { fail "packages built" "no build/dist/vossel-*-portable.zip: run scripts/package.sh"; finish "nothing to check"; }
mkdir -p "$OUT/unpacked"
python3 -c 'import sys, zipfile; zipfile.ZipFile(sys.argv[1]).extractall(sys.argv[2])' "$ZIP" "$OUT/unpacked"
drv resources "$(winpath "$OUT/unpacked/Vossel/vossel.exe")"
VERSION=$(val version.ProductVersion)
check "the packed vossel.exe has a version" "$(val version.file)" test -n "$VERSION" -a "$VERSION" != missing
python3 "$(dirname "${BASH_SOURCE[0]}")/../check_manifests.py" "$DIST" "$VERSION" "$(val version.file)" >"$OUT/manifests.txt"
cat "$OUT/manifests.txt"
FAILURES=$((FAILURES + $(grep -c '^FAIL' "$OUT/manifests.txt")))
check "the manifests' checks ran" "see $OUT/manifests.txt" grep -q '^PASS' "$OUT/manifests.txt"
