import QtQuick 2.12
import QtTest 1.12

// A test case that fails on QML engine warnings (_QmlWarnings is the runner's cQuickTestWarnings):
// initTestCase on those of loading the file, each test function on those that came while it ran.
// The log's guard is armed as soon as the case runs, when Qt Quick Test's own message handler is in
// place. A case with an initTestCase or a cleanup of its own calls checkWarnings() from it.
TestCase {
    onRunningChanged: {
        if (running)
            _QmlWarnings.arm()
    }

    function checkWarnings() {
        var warnings = _QmlWarnings.take()
        verify(warnings.length === 0, "QML engine warnings:\n" + warnings.join("\n"))
    }

    function initTestCase() {
        checkWarnings()
    }

    function cleanup() {
        checkWarnings()
    }
}
