#!/usr/bin/env bash
# Installs what is missing, then builds and runs every test twice: a normal build and a build
# with the address and undefined-behaviour sanitizers.
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
        options=(-DCORVO_SANITIZE=ON)
    else
        folder=build
        options=()
    fi
    echo "=== $variant build"
    bash "$root/scripts/build.sh" "$folder" "${options[@]}"
    echo "=== $variant tests"
    (cd "$root/$folder" && ctest -j"$(nproc)" --output-on-failure) || status=1
done
exit $status
