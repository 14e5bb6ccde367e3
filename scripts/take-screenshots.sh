#!/usr/bin/env bash
# Takes a screenshot of each tab of the program's window ("Faders", "Low", "Mid", "High") under Xvfb,
# the program on a fresh home folder and connected to the simulated device, whose meters hold steady
# levels; every control keeps its default. One set per scale factor (QT_SCALE_FACTOR), written to
# docs/screenshots/<tab>-<scale>x.png. Then one of each dialog over the window (SaveDialog,
# RecallDialog, ErrorDialog, Notice), written to docs/screenshots/<dialog>-<scale>x.png.
#
#   bash scripts/take-screenshots.sh [scale...]      (default: 1 2)
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
scales=("$@")
if [ ${#scales[@]} -eq 0 ]; then
    scales=(1 2)
fi
for scale in "${scales[@]}"; do
    if ! [[ $scale =~ ^[0-9]+(\.[0-9]+)?$ ]] || [ "$(awk -v s="$scale" 'BEGIN { print (s >= 0.5 && s <= 4) }')" != 1 ]; then
        echo "usage: take-screenshots.sh [scale...]   (scale factors from 0.5 to 4, e.g. 1 1.5 2)" >&2
        exit 2
    fi
done

bash "$root/scripts/install-deps.sh"
# The folder the other scripts build in; a new one gets an optimised build.
bash "$root/scripts/build.sh" build -DCMAKE_BUILD_TYPE=Release
tool="$root/build/tests/screenshots/corvo-screenshots"
dialogTool="$root/build/tests/screenshots/corvo-dialog-screenshots"
output="$root/docs/screenshots"
mkdir -p "$output"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for scale in "${scales[@]}"; do
    # A screen with room for the 1280 x 720 window at this scale.
    width=$(awk -v s="$scale" 'BEGIN { printf "%d", 1600 * s + 0.5 }')
    height=$(awk -v s="$scale" 'BEGIN { printf "%d", 1000 * s + 0.5 }')
    shots="$work/$scale"
    # The window is shown on the X server: no offscreen platform, Qt Quick's usual renderer.
    if ! env -u QT_QPA_PLATFORM -u QT_QUICK_BACKEND QT_SCALE_FACTOR="$scale" \
        xvfb-run -a -s "-screen 0 ${width}x${height}x24" "$tool" "$shots" > "$work/log" 2>&1; then
        cat "$work/log" >&2
        echo "take-screenshots.sh: the screenshots at scale $scale failed" >&2
        exit 1
    fi
    for tab in Faders Low Mid High; do
        mv "$shots/$tab.png" "$output/$tab-${scale}x.png"
        echo "docs/screenshots/$tab-${scale}x.png"
    done
    # The dialogs are windows of their own: the screen is grabbed, without a window manager.
    if ! env -u QT_QPA_PLATFORM -u QT_QUICK_BACKEND QT_SCALE_FACTOR="$scale" \
        xvfb-run -a -s "-screen 0 ${width}x${height}x24" "$dialogTool" "$shots" > "$work/log" 2>&1; then
        cat "$work/log" >&2
        echo "take-screenshots.sh: the dialog screenshots at scale $scale failed" >&2
        exit 1
    fi
    for dialog in SaveDialog RecallDialog ErrorDialog Notice; do
        mv "$shots/$dialog.png" "$output/$dialog-${scale}x.png"
        echo "docs/screenshots/$dialog-${scale}x.png"
    done
done
