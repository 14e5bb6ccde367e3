import QtQuick 2.12
import QtTest 1.12
import KVDrivers 1.0
import "qrc:/"

// A fader block on two strips of real drivers: its scale and centring, the input and output forms,
// the polarity and mute buttons, and the strip's fader driver shared by its gain box and fader.
WidgetTestCase {
    id: testCase
    name: "FaderBlock"
    width: 1000
    height: 1300

    QtObject {
        id: leftStrip
        property bool inputFader: true
        property QtObject faderDriver: QtSignalSlotContinuousControllerDriver {}
        property QtObject polarity: QtBooleanSwitchDriver {}
        property QtObject mute: QtBooleanSwitchDriver {}
        property QtObject meterDriver: QtSignalSlotMeterDriver {}
    }

    QtObject {
        id: rightStrip
        property bool inputFader: true
        property QtObject faderDriver: QtSignalSlotContinuousControllerDriver {}
        property QtObject polarity: QtBooleanSwitchDriver {}
        property QtObject mute: QtBooleanSwitchDriver {}
        property QtObject meterDriver: QtSignalSlotMeterDriver {}
    }

    FaderBlock {
        id: block
        width: 339
        height: 610
        label: "Input"
        leftBackend: leftStrip
        rightBackend: rightStrip
    }

    function init() {
        block.width = 339
        block.height = 610
        leftStrip.inputFader = true
    }

    function test_scale_fitsAndCentresTheDesign_data() {
        return [
            { tag: "339 x 1000", width: 339, height: 1000, s: 1 },
            { tag: "200 x 610", width: 200, height: 610, s: 200 / 339 },
            { tag: "678 x 1220", width: 678, height: 1220, s: 2 },
            { tag: "1000 x 610", width: 1000, height: 610, s: 1 },
        ]
    }

    function test_scale_fitsAndCentresTheDesign(data) {
        block.width = data.width
        block.height = data.height
        fuzzyCompare(block.s, data.s, 1e-9)
        var drawn = findChild(block, "drawnArea")
        fuzzyCompare(drawn.width, 339 * data.s, 1e-6)
        fuzzyCompare(drawn.height, 610 * data.s, 1e-6)
        // Centred to the pixel.
        fuzzyCompare(drawn.x, (data.width - 339 * data.s) / 2, 0.5)
        fuzzyCompare(drawn.y, (data.height - 610 * data.s) / 2, 0.5)
        var gainBox = findChild(block, "gainBox1")
        fuzzyCompare(gainBox.x, 137 * data.s, 1e-6)
        fuzzyCompare(gainBox.y, 50 * data.s, 1e-6)
        fuzzyCompare(gainBox.width, 67 * data.s, 1e-6)
        var meter = findChild(block, "meter1")
        fuzzyCompare(meter.x, 286 * data.s, 1e-6)
        fuzzyCompare(meter.height, 356 * data.s, 1e-6)
    }

    function test_strip_inputAndOutputForms_data() {
        return [
            { tag: "input", input: true, top: 163, height: 313 },
            { tag: "output", input: false, top: 166, height: 310 },
        ]
    }

    function test_strip_inputAndOutputForms(data) {
        leftStrip.inputFader = data.input
        var fader = findChild(block, "fader0")
        compare(fader.y, data.top)
        compare(fader.height, data.height)
    }

    function test_button_twoClicksReturnTheSwitch_data() {
        return [
            { tag: "left polarity", button: "polarityButton0", strip: leftStrip, which: "polarity",
              on: "qrc:/PolarityOn-V2.svg", off: "qrc:/PolarityOff-V2.svg" },
            { tag: "right polarity", button: "polarityButton1", strip: rightStrip, which: "polarity",
              on: "qrc:/PolarityOn-V2.svg", off: "qrc:/PolarityOff-V2.svg" },
            { tag: "left mute", button: "muteButton0", strip: leftStrip, which: "mute",
              on: "qrc:/MuteOn-V2.svg", off: "qrc:/MuteOff-V2.svg" },
            { tag: "right mute", button: "muteButton1", strip: rightStrip, which: "mute",
              on: "qrc:/MuteOn-V2.svg", off: "qrc:/MuteOff-V2.svg" },
        ]
    }

    function test_button_twoClicksReturnTheSwitch(data) {
        var button = findChild(block, data.button)
        var switchDriver = data.strip[data.which]
        var first = switchDriver.value
        compare(String(button.source), first ? data.on : data.off)
        mouseClick(button)
        compare(switchDriver.value, !first)
        compare(String(button.source), first ? data.off : data.on)
        mouseClick(button)
        compare(switchDriver.value, first)
        compare(String(button.source), first ? data.on : data.off)
    }

    function test_gainBoxAndFader_shareTheFaderDriver() {
        var gainBox = findChild(block, "gainBox0")
        var fader = findChild(block, "fader0")
        mouseClick(gainBox)
        keyClick("0")
        keyClick(Qt.Key_Return)
        compare(leftStrip.faderDriver.networkValue, 32768)
        compare(gainBox.text, "0.0")
        fuzzyCompare(fader.value, leftStrip.faderDriver.value, 1e-6)
        compare(rightStrip.faderDriver.networkValue, 0, "the other strip is untouched")
    }
}
