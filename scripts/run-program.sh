#!/usr/bin/env bash
# Installs what is missing, builds the project and starts the program.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
bash "$root/scripts/install-deps.sh"
bash "$root/scripts/build.sh" build
program="$root/build/CorvoGUI/CorvoGUI"
if [ -x "$program" ]; then
    exec "$program"
fi
echo "Built. The program itself is not part of the build yet."
