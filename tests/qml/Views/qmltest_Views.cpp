#include "tests/qml/Views/cViewTestSetup.h"

#include <QtQuickTest>

// Runs the Qt Quick Tests of the views (tst_*.qml beside this file; "-input <file>" runs one) on
// the whole program in process.
QUICK_TEST_MAIN_WITH_SETUP(CorvoViews, cViewTestSetup)
