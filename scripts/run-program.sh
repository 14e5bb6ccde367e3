#!/usr/bin/env bash
# Installs what is missing, builds the project and starts the program.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
bash "$root/scripts/install-deps.sh"
# A user's build: optimised, and a new compiler's warnings do not stop it.
bash "$root/scripts/build.sh" build -DCMAKE_BUILD_TYPE=Release -DCORVO_WERROR=OFF -DCORVO_ASSERTIONS=OFF
exec bash "$root/scripts/start-program.sh" "$root/build/CorvoGUI/CorvoGUI"
