import QtQuick 2.12
import QtTest 1.12
import KVDrivers 1.0
import "qrc:/"

// The fader on a real controller driver: drags with their sideways damping, the press held before
// a small movement, steps too small to move it, the ends, and double clicks.
WidgetTestCase {
    id: testCase
    name: "CorvoFader"
    width: 300
    height: 420

    readonly property real travel: fader.minPosition - fader.maxPosition
    readonly property real centreX: fader.width / 2

    QtSignalSlotContinuousControllerDriver {
        id: controller
    }

    CorvoFader {
        id: fader
        x: 100
        y: 60
        width: 60
        height: 300
        driver: controller
    }

    SignalSpy {
        id: doubleClickSpy
        target: fader
        signalName: "doubleClicked"
    }

    function init() {
        fader.faderYThreshold = 0
        fader.faderXYThresholdRatio = 1.0
        startAt(0.5)
        // Presses of an earlier test do not count towards a double click.
        fader.pressesWithoutMovement = 0
        doubleClickSpy.clear()
    }

    function startAt(fraction) {
        controller.setValue(fraction)
        fuzzyCompare(controller.value, fraction, 1e-4)
    }

    // The value a knob position stands for.
    function valueAt(position) {
        return (fader.minPosition - position) / travel
    }

    function press(dx, dy) {
        mousePress(fader, centreX + dx, fader.knobPosition + dy, Qt.LeftButton)
    }

    function moveTo(x, y) {
        mouseMove(fader, x, y, -1, Qt.LeftButton)
    }

    // The first step starts the movement straight up; the next two go 40 pixels further up each with
    // the finger dx to the side of where it pressed: the damping holds for the whole drag.
    function test_sidewaysDrag_isDamped_data() {
        return [
            { tag: "straight", dx: 0, damping: 1 },
            { tag: "half the width to the right", dx: 30, damping: 1 },
            { tag: "half the width to the left", dx: -30, damping: 1 },
            { tag: "half a width beyond the band", dx: 60, damping: Math.exp(-0.5) },
            { tag: "a width beyond the band, right", dx: 90, damping: Math.exp(-1) },
            { tag: "a width beyond the band, left", dx: -90, damping: Math.exp(-1) },
        ]
    }

    function test_sidewaysDrag_isDamped(data) {
        var y0 = fader.knobPosition
        press(0, 0)
        moveTo(centreX, y0 - 10)
        fuzzyCompare(controller.value, valueAt(y0 - 10), 1e-4)
        moveTo(centreX + data.dx, y0 - 50)
        fuzzyCompare(controller.value, valueAt(y0 - 10 - 40 * data.damping), 1e-4)
        fuzzyCompare(fader.dampingFactor, data.damping, 1e-6)
        moveTo(centreX + data.dx, y0 - 90)
        mouseRelease(fader, centreX + data.dx, y0 - 90, Qt.LeftButton)
        fuzzyCompare(controller.value, valueAt(y0 - 10 - 80 * data.damping), 1e-4)
    }

    // A small movement that would not start a drag (below the vertical threshold, or more sideways
    // than up) moves the fader once the press has been held for 250 ms.
    function test_heldPress_letsASmallMovementMove_data() {
        return [
            { tag: "below the threshold, held", threshold: 5, dx: 0, dy: -3, hold: true, travel: 3 },
            { tag: "below the threshold, not held", threshold: 5, dx: 0, dy: -3, hold: false, travel: 0 },
            { tag: "mostly sideways, held", threshold: 0, dx: 40, dy: -4, hold: true, travel: 4 * Math.exp(-10 / 60) },
            { tag: "mostly sideways, not held", threshold: 0, dx: 40, dy: -4, hold: false, travel: 0 },
        ]
    }

    function test_heldPress_letsASmallMovementMove(data) {
        fader.faderYThreshold = data.threshold
        var y0 = fader.knobPosition
        var before = controller.value
        press(0, 0)
        if (data.hold) {
            tryCompare(fader, "moved", true, 1000)
        } else {
            verify(!fader.moved)
        }
        moveTo(centreX + data.dx, y0 + data.dy)
        mouseRelease(fader, centreX + data.dx, y0 + data.dy, Qt.LeftButton)
        verify(!fader.moved, "a release clears the hold")
        if (data.travel === 0) {
            compare(controller.value, before)
        } else {
            fuzzyCompare(controller.value, valueAt(y0 - data.travel), 1e-4)
        }
    }

    // A step of one pixel sends nothing and leaves the start where it was, so slow drags add up.
    function test_onePixelSteps_addUp() {
        var y0 = fader.knobPosition
        var before = controller.value
        press(0, 0)
        moveTo(centreX, y0 - 1)
        compare(controller.value, before)
        moveTo(centreX, y0 - 2)
        fuzzyCompare(controller.value, valueAt(y0 - 2), 1e-4)
        moveTo(centreX, y0 - 3)
        moveTo(centreX, y0 - 4)
        mouseRelease(fader, centreX, y0 - 4, Qt.LeftButton)
        fuzzyCompare(controller.value, valueAt(y0 - 4), 1e-4)
    }

    // Past an end the fader stops there, and the way back starts at once.
    function test_drag_clampsAtTheEnds_data() {
        return [
            { tag: "top", start: 0.9, beyond: -100, end: 1, back: 30 },
            { tag: "bottom", start: 0.1, beyond: 100, end: 0, back: -30 },
        ]
    }

    function test_drag_clampsAtTheEnds(data) {
        startAt(data.start)
        var y0 = fader.knobPosition
        press(0, 0)
        moveTo(centreX, y0 + data.beyond)
        compare(controller.value, data.end)
        moveTo(centreX, y0 + data.beyond + data.back)
        mouseRelease(fader, centreX, y0 + data.beyond + data.back, Qt.LeftButton)
        var endPosition = data.end === 1 ? fader.maxPosition : fader.minPosition
        fuzzyCompare(controller.value, valueAt(endPosition + data.back), 1e-4)
    }

    function test_doubleClick_twoPressesWithin500ms() {
        var before = controller.value
        mouseDoubleClickSequence(fader, centreX, fader.knobPosition)
        compare(doubleClickSpy.count, 1)
        compare(controller.value, before, "a double click does not move the fader")
    }

    function test_doubleClick_notWhenThePressesAreTooFarApart() {
        mouseClick(fader, centreX, fader.knobPosition)
        wait(600)
        mouseClick(fader, centreX, fader.knobPosition)
        compare(doubleClickSpy.count, 0)
        // The late press started a new count.
        mouseClick(fader, centreX, fader.knobPosition)
        compare(doubleClickSpy.count, 1)
    }

    function test_doubleClick_notAfterAMovement() {
        var y0 = fader.knobPosition
        press(0, 0)
        moveTo(centreX, y0 - 20)
        mouseRelease(fader, centreX, y0 - 20, Qt.LeftButton)
        mouseClick(fader, centreX, fader.knobPosition)
        compare(doubleClickSpy.count, 0)
    }

    function test_knob_sitsAtTheValue_data() {
        return [
            { tag: "bottom", value: 0 },
            { tag: "middle", value: 0.5 },
            { tag: "top", value: 1 },
        ]
    }

    function test_knob_sitsAtTheValue(data) {
        startAt(data.value)
        var knob = findChild(fader, "faderKnob")
        fuzzyCompare(knob.y + knob.height / 2, fader.height * (1 - data.value), 0.05)
        fuzzyCompare(knob.width, fader.width * 0.8, 1e-6)
        fuzzyCompare(knob.height, fader.width * 0.8 * 2.13, 1e-6)
        fuzzyCompare(knob.x + knob.width / 2, fader.width / 2, 1e-6)
    }
}
