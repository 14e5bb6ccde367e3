#!/usr/bin/env bash
# Builds the project with ThreadSanitizer in build-tsan and runs every test under it, with the
# suppressions for what happens inside the uninstrumented Qt (tests/support/tsan-qt.supp). A test
# in which ThreadSanitizer reports a race fails (exit code 66). Not part of CI: it takes minutes.
# Arguments go to ctest (for example -R tst_ServerConnection); CTEST_PARALLEL_LEVEL sets how many
# tests run at once (default: one per processor); TSAN_OPTIONS adds or overrides options.
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
ctest -j"${CTEST_PARALLEL_LEVEL:-$(nproc)}" --output-on-failure "$@"
