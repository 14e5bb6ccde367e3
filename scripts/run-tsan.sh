#!/usr/bin/env bash
# Builds the project with ThreadSanitizer in build-tsan and runs every test under it, with the
# suppressions for what happens inside the uninstrumented Qt (tests/support/tsan-qt.supp). A test
# in which ThreadSanitizer reports a race fails (exit code 66). Not part of CI: it takes minutes.
# Arguments go to ctest (for example -R tst_ServerConnection); CTEST_PARALLEL_LEVEL sets how many
# tests run at once (default: one per processor); TSAN_OPTIONS adds or overrides options.
#
# The window's tests (label "window") run with ignore_noninstrumented_modules=1: Qt Quick and the
# platform run whole in them, with threads of Qt's own (the xcb platform's accessibility bridge on
# its D-Bus thread, the thread pool, the file dialog's file-info threads) that share Qt's meta-type
# registry and heap with the program's threads under Qt's locks, which TSan cannot see; such a race
# has no frame a suppression could name. There TSan checks what our own code accesses, and leaves
# the accesses made inside Qt and the C library aside. Every other test runs with every access
# checked.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
bash "$root/scripts/install-deps.sh"
bash "$root/scripts/build.sh" build-tsan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCORVO_TSAN=ON \
    -DCORVO_WERROR=ON -DCORVO_ASSERTIONS=ON

export QT_QPA_PLATFORM=offscreen
export QT_QUICK_BACKEND=software
# Programs that the tests start inherit the options. history_size=7 keeps the stack of a race's
# earlier access, which several suppressions match.
export TSAN_OPTIONS="suppressions=$root/tests/support/tsan-qt.supp halt_on_error=0 second_deadlock_stack=1 history_size=7 ${TSAN_OPTIONS:-}"
cd "$root/build-tsan"
status=0
ctest -j"${CTEST_PARALLEL_LEVEL:-$(nproc)}" --output-on-failure -LE window "$@" || status=1
TSAN_OPTIONS="ignore_noninstrumented_modules=1 $TSAN_OPTIONS" \
    ctest -j"${CTEST_PARALLEL_LEVEL:-$(nproc)}" --output-on-failure -L window "$@" || status=1
exit $status
