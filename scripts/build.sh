#!/usr/bin/env bash
# Configures and builds the project in the given folder: build.sh <folder> [cmake options...]
# RelWithDebInfo unless the options name another build type.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
folder=$1
shift
# A new folder is configured for Ninja when it is installed; an existing one keeps its generator.
generator=()
if [ ! -f "$root/$folder/CMakeCache.txt" ] && command -v ninja > /dev/null; then
    generator=(-G Ninja)
fi
cmake -S "$root" -B "$root/$folder" "${generator[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" > "$root/$folder.configure.log" \
    || { cat "$root/$folder.configure.log"; exit 1; }
cmake --build "$root/$folder" -j"$(nproc)"
