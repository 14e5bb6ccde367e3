#!/usr/bin/env bash
# Remakes qml/Spartan-Bold.ttf from the Spartan web font package on npm.
# Needs npm and Debian's python3-fonttools; the build itself needs neither.
#
# The package's "all" WOFF of weight 700 is the complete font: its latin subset lacks U+03BC and
# names its family "Spartan Thin", while the complete one is named "Spartan" / "Bold" and has both
# micro signs (U+00B5, U+03BC). The WOFF is unwrapped to TrueType unchanged (timestamps kept), so
# the result is the same file on every run.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

version=4.5.8
(cd "$work" && npm pack --silent "@fontsource/spartan@$version" > /dev/null && tar xzf ./*.tgz)

/usr/bin/python3 - "$work/package/files/spartan-all-700-normal.woff" "$root/qml/Spartan-Bold.ttf" <<'EOF'
import sys
from fontTools.ttLib import TTFont

source, target = sys.argv[1], sys.argv[2]
font = TTFont(source, recalcTimestamp=False)
names = {r.nameID: r.toUnicode() for r in font["name"].names}
if names.get(1) != "Spartan" or names.get(2) != "Bold":
    sys.exit(f"unexpected family/style: {names.get(1)!r} / {names.get(2)!r}")
cmap = font.getBestCmap()
for code in (0x00B5, 0x03BC):
    if code not in cmap:
        sys.exit(f"U+{code:04X} missing")
font.flavor = None
font.save(target, reorderTables=True)
print(f"{target}: {names.get(4)}, {names.get(5)}, {len(cmap)} characters")
EOF
