import QtQuick 2.12
import QtTest 1.12
import "qrc:/"

// The button's signals and its auto-repeat while held.
WidgetTestCase {
    id: testCase
    name: "CorvoButton"
    width: 300
    height: 200

    CorvoButton {
        id: button
        x: 20
        y: 20
        width: 120
        height: 40
        text: "Press"
    }

    SignalSpy {
        id: holdSpy
        target: button
        signalName: "pressAndHold"
    }

    SignalSpy {
        id: clickSpy
        target: button
        signalName: "clicked"
    }

    SignalSpy {
        id: releaseSpy
        target: button
        signalName: "released"
    }

    function init() {
        button.visible = true
        button.repeat = false
        button.repeatAfter = 500
        button.repeatInterval = 50
        holdSpy.clear()
        clickSpy.clear()
        releaseSpy.clear()
    }

    function test_click_emitsPressedReleasedAndClicked() {
        mouseClick(button)
        compare(clickSpy.count, 1)
        compare(releaseSpy.count, 1)
        compare(holdSpy.count, 0)
        verify(button.activeFocus, "a press takes the focus")
    }

    // Nothing before repeatAfter; then one pressAndHold and one more every repeatInterval (none
    // when it is 0) until the release.
    function test_repeat_whileHeld_data() {
        return [
            { tag: "repeating", repeat: true, interval: 50, atLeast: 3, atMost: 1000 },
            { tag: "once", repeat: true, interval: 0, atLeast: 1, atMost: 1 },
            { tag: "off", repeat: false, interval: 50, atLeast: 0, atMost: 0 },
        ]
    }

    function test_repeat_whileHeld(data) {
        button.repeat = data.repeat
        button.repeatInterval = data.interval
        mousePress(button)
        wait(100)
        compare(holdSpy.count, 0, "nothing before repeatAfter")
        if (data.atLeast > 0) {
            tryVerify(function() { return holdSpy.count >= data.atLeast }, 3000)
        }
        wait(300)
        verify(holdSpy.count >= data.atLeast && holdSpy.count <= data.atMost, "pressAndHold " + holdSpy.count)
        mouseRelease(button)
        var afterRelease = holdSpy.count
        wait(300)
        compare(holdSpy.count, afterRelease, "the release stops the repeat")
        compare(releaseSpy.count, 1)
    }

    function test_repeat_stopsWhenHidden() {
        button.repeat = true
        mousePress(button)
        tryVerify(function() { return holdSpy.count >= 1 }, 3000)
        button.visible = false
        verify(!button.isPressed, "hiding clears the pressed state")
        var hidden = holdSpy.count
        wait(300)
        compare(holdSpy.count, hidden)
        mouseRelease(button)
    }
}
