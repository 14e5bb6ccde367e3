import QtQuick 2.12
import QtTest 1.2
import CorvoTest 1.0

// A test case of the views on the program in process: every test function during which the QML
// engine warned fails with the warnings (WarningCheckedTestCase). Test cases built on it leave
// initTestCase and cleanup to it.
WarningCheckedTestCase {
    when: windowShown

    // How long a wait may take: the device model and the window answer within a few ticks, but a
    // sanitizer build on a loaded machine can be many times slower.
    readonly property int patience: 15000

    // A value that lies within [low, high].
    function bound(low, value, high) {
        return Math.max(low, Math.min(value, high))
    }

    // Types a text into the value box (CorvoCombiWidget) and enters it.
    function enterText(box, text) {
        mouseClick(box.valueWidget)
        verify(box.valueWidget.editing, "the box takes the entry")
        for (var i = 0; i < text.length; ++i) {
            keyClick(text.charAt(i))
        }
        keyClick(Qt.Key_Return)
        verify(!box.valueWidget.editing)
    }
}
