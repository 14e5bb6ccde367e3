import QtQuick 2.12
import QtTest 1.12

// A test case on the widgets, which are its children: it is shown (a TestCase hides itself, and its
// children would get no mouse events), it runs once the window is shown, and a test function fails
// when the QML engine warned while it ran (qmlWarnings is the runner's setup object). A case that needs
// init() or cleanup() of its own calls checkWarnings() / armWarnings() from them.
TestCase {
    visible: true
    when: windowShown

    function armWarnings() {
        qmlWarnings.arm()
    }

    function checkWarnings() {
        var problems = qmlWarnings.take()
        verify(problems.length === 0, "QML engine warnings:\n" + problems.join("\n"))
    }

    function init() {
        armWarnings()
    }

    function cleanup() {
        checkWarnings()
    }
}
