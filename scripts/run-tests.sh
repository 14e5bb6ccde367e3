#!/usr/bin/env bash
# Installs what is missing, then builds and runs every test twice: a Release build with assertions
# kept, and a RelWithDebInfo build with the address and undefined-behaviour sanitizers. Warnings
# are errors in both.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
bash "$root/scripts/install-deps.sh"

export QT_QPA_PLATFORM=offscreen
export QT_QUICK_BACKEND=software
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

status=0
for variant in normal sanitize; do
    if [ "$variant" = sanitize ]; then
        folder=build-sanitize
        options=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DCORVO_SANITIZE=ON)
    else
        folder=build
        options=(-DCMAKE_BUILD_TYPE=Release)
    fi
    options+=(-DCORVO_WERROR=ON -DCORVO_ASSERTIONS=ON)
    echo "=== $variant build"
    bash "$root/scripts/build.sh" "$folder" "${options[@]}"
    echo "=== $variant tests"
    (cd "$root/$folder" && ctest -j"$(nproc)" --output-on-failure) || status=1
done
exit $status
