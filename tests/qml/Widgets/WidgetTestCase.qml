import QtQuick 2.12
import QtTest 1.12
import CorvoTest 1.0

// A test case on the widgets, which are its children: it is shown (a TestCase hides itself, and its
// children would get no mouse events), it runs once the window is shown, and a test function fails
// when the QML engine warned while it ran (WarningCheckedTestCase). A case that needs initTestCase()
// or cleanup() of its own calls checkWarnings() from them.
WarningCheckedTestCase {
    visible: true
    when: windowShown
}
