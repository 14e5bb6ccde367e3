import QtQuick 2.12
import QtTest 1.12
import KVDrivers 1.0
import KVQml 2.0
import Corvo 1.0
import ValueInterpreter 1.0
import "qrc:/"

// The value box: typed entries and the control values they send, typing back what it shows, the
// keys that end an entry, and the drag with the right mouse button.
WidgetTestCase {
    id: testCase
    name: "CorvoValueWidget"
    width: 300
    height: 200

    readonly property string thinSpace: "\u2009"

    QtSignalSlotContinuousControllerDriver {
        id: controller
    }

    CorvoValueWidget {
        id: box
        x: 20
        y: 20
        width: 100
        height: 24
        driver: controller
    }

    // The box that Tab and Shift+Tab move on to from the first (the only other one).
    QtSignalSlotContinuousControllerDriver {
        id: otherController
    }

    CorvoValueWidget {
        id: otherBox
        x: 20
        y: 80
        width: 100
        height: 24
        driver: otherController
        kvCCType: KVCCFormat.GAIN_OFFSET_DB
        decimalPlaces: KVCCFormat.ONE_DECIMAL_PLACE
    }

    function init() {
        // Ends an entry a test left open.
        testCase.forceActiveFocus()
        verify(!box.editing)
        box.showUnits = true
        box.enableMouseControl = true
        otherBox.enableMouseControl = true
        otherController.networkValue = 30000
        useType(KVCCFormat.GAIN_OFFSET_DB, KVCCFormat.ONE_DECIMAL_PLACE, 0, 65535, 40000)
    }

    // The box shows no value its new type cannot show (a width code above the table) on the way.
    function useType(type, places, min, max, start) {
        box.kvCCType = KVCCFormat.NO_UNITS
        controller.setRange(min, max, false)
        controller.networkValue = start
        compare(controller.networkValue, start)
        box.kvCCType = type
        box.decimalPlaces = places
    }

    function shown() {
        return box.showUnits ? Interpreter.interpretValueAndUnits(controller.networkValue, box.kvCCType, box.decimalPlaces)
                             : Interpreter.interpretValue(controller.networkValue, box.kvCCType, box.decimalPlaces)
    }

    function beginEntry() {
        mouseClick(box)
        verify(box.editing, "a click starts an entry")
        compare(box.text, "", "gaining the focus empties the text")
    }

    // Types text as a person would: key by key, through the box's input pattern. Key events carry
    // only Latin-1 text, so other characters (U+03BC) are inserted at the cursor, still through the
    // pattern.
    function typeText(text) {
        var input = findChild(box, "valueInput")
        for (var i = 0; i < text.length; ++i) {
            var character = text.charAt(i)
            if (text.charCodeAt(i) < 256) {
                keyClick(character)
            } else {
                input.insert(input.cursorPosition, character)
            }
        }
    }

    function enter(text) {
        beginEntry()
        typeText(text)
        keyClick(Qt.Key_Return)
        verify(!box.editing, "Enter ends the entry")
        compare(box.text, shown(), "the box shows the value again")
    }

    // expected undefined: nothing is sent, the value stays at start.
    function test_entry_sendsItsControlValue_data() {
        var gain = KVCCFormat.GAIN_OFFSET_DB
        var time = KVCCFormat.TIME_SEC
        var frequency = KVCCFormat.FREQ_HZ
        var width = ProjectCCFormat.FILTER_WIDTH
        var one = KVCCFormat.ONE_DECIMAL_PLACE
        return [
            { tag: "gain 0", type: gain, min: 10, max: 65000, start: 40000, entry: "0", expected: 32768 },
            { tag: "gain 1.5", type: gain, min: 10, max: 65000, start: 40000, entry: "1.5", expected: 33160 },
            { tag: "gain -1.5", type: gain, min: 10, max: 65000, start: 40000, entry: "-1.5", expected: 32376 },
            { tag: "gain 6 dB", type: gain, min: 10, max: 65000, start: 40000, entry: "6 dB", expected: 34312 },
            { tag: "gain -3dB", type: gain, min: 10, max: 65000, start: 40000, entry: "-3dB", expected: 31992 },
            { tag: "gain -inf is the minimum", type: gain, min: 10, max: 65000, start: 40000, entry: "-inf", expected: 10 },
            { tag: "gain -INF", type: gain, min: 10, max: 65000, start: 40000, entry: "-INF", expected: 10 },
            { tag: "gain inf is the maximum", type: gain, min: 10, max: 65000, start: 40000, entry: "inf", expected: 65000 },
            { tag: "gain far above the range is the maximum", type: gain, min: 10, max: 65000, start: 40000, entry: "16777216", expected: 65000 },
            { tag: "gain far below the range is the minimum", type: gain, min: 10, max: 65000, start: 40000, entry: "-99999999", expected: 10 },
            { tag: "gain: only the unit", type: gain, min: 10, max: 65000, start: 40000, entry: "dB", expected: undefined },
            { tag: "gain: only a minus", type: gain, min: 10, max: 65000, start: 40000, entry: "-", expected: undefined },
            { tag: "gain: nothing typed", type: gain, min: 10, max: 65000, start: 40000, entry: "", expected: undefined },
            { tag: "gain: letters refused", type: gain, min: 10, max: 65000, start: 40000, entry: "x", expected: undefined },
            { tag: "time 2us", type: time, min: 5, max: 65535, start: 30000, entry: "2us", expected: 1794 },
            { tag: "time 2 and the micro sign as shown", type: time, min: 5, max: 65535, start: 30000, entry: "2\u00b5s", expected: 1794 },
            { tag: "time 2 mu s", type: time, min: 5, max: 65535, start: 30000, entry: "2 \u03bcs", expected: 1794 },
            { tag: "time 2US", type: time, min: 5, max: 65535, start: 30000, entry: "2US", expected: 1794 },
            { tag: "time bare number is ms", type: time, min: 5, max: 65535, start: 30000, entry: "2", expected: 19668 },
            { tag: "time 0.002 is 2 us", type: time, min: 5, max: 65535, start: 30000, entry: "0.002", expected: 1794 },
            { tag: "time 2ms is not seconds", type: time, min: 5, max: 65535, start: 30000, entry: "2ms", expected: 19668 },
            { tag: "time 2 MS", type: time, min: 5, max: 65535, start: 30000, entry: "2 MS", expected: 19668 },
            { tag: "time 2s", type: time, min: 5, max: 65535, start: 30000, entry: "2s", expected: 37541 },
            { tag: "time 2 S", type: time, min: 5, max: 65535, start: 30000, entry: "2 S", expected: 37541 },
            { tag: "time 0 is the minimum", type: time, min: 5, max: 65535, start: 30000, entry: "0", expected: 5 },
            { tag: "time: only the unit", type: time, min: 5, max: 65535, start: 30000, entry: "ms", expected: undefined },
            { tag: "time: negative", type: time, min: 5, max: 65535, start: 30000, entry: "-2", expected: undefined },
            { tag: "frequency 1k", type: frequency, min: 1000, max: 65535, start: 30000, entry: "1k", expected: 36706 },
            { tag: "frequency 1khz", type: frequency, min: 1000, max: 65535, start: 30000, entry: "1khz", expected: 36706 },
            { tag: "frequency 1 kHz", type: frequency, min: 1000, max: 65535, start: 30000, entry: "1 kHz", expected: 36706 },
            { tag: "frequency 1000", type: frequency, min: 1000, max: 65535, start: 30000, entry: "1000", expected: 36706 },
            { tag: "frequency 2.5K", type: frequency, min: 1000, max: 65535, start: 30000, entry: "2.5K", expected: 42798 },
            { tag: "frequency 20 Hz", type: frequency, min: 1000, max: 65535, start: 30000, entry: "20 Hz", expected: 10699 },
            { tag: "frequency 0 is the minimum", type: frequency, min: 1000, max: 65535, start: 30000, entry: "0", expected: 1000 },
            { tag: "frequency: only the unit", type: frequency, min: 1000, max: 65535, start: 30000, entry: "khz", expected: undefined },
            { tag: "frequency: negative", type: frequency, min: 1000, max: 65535, start: 30000, entry: "-20", expected: undefined },
            { tag: "no units 1", type: KVCCFormat.NO_UNITS, min: 0, max: 65535, start: 40000, entry: "1", expected: 33024 },
            { tag: "no units -0.5", type: KVCCFormat.NO_UNITS, min: 0, max: 65535, start: 40000, entry: "-0.5", expected: 32640 },
            { tag: "no units far above the range is the maximum", type: KVCCFormat.NO_UNITS, min: 0, max: 60000, start: 40000, entry: "16777216", expected: 60000 },
            { tag: "no units: only a point", type: KVCCFormat.NO_UNITS, min: 0, max: 65535, start: 40000, entry: ".", expected: undefined },
            { tag: "doubled value 2", type: KVCCFormat.DOUBLED_VALUE, min: 0, max: 65535, start: 40000, entry: "2", expected: 33280 },
            { tag: "raw 2", type: KVCCFormat.DONT_INTERPRET, min: 0, max: 65535, start: 40000, entry: "2", expected: 33280 },
            { tag: "width 1/3", type: width, min: 0, max: 65535, start: 0x2b00, entry: "1/3", expected: 0x2100 },
            { tag: "width 2/3", type: width, min: 0, max: 65535, start: 0x2b00, entry: "2/3", expected: 0x1b00 },
            { tag: "width 3/4", type: width, min: 0, max: 65535, start: 0x2b00, entry: "3/4", expected: 0x1900 },
            { tag: "width 1/24", type: width, min: 0, max: 65535, start: 0x2b00, entry: "1/24", expected: 0x2c00 },
            { tag: "width 3", type: width, min: 0, max: 65535, start: 0x2b00, entry: "3", expected: 0 },
            { tag: "width 1", type: width, min: 0, max: 65535, start: 0x2b00, entry: "1", expected: 0x1400 },
            { tag: "width 0.01 is below the table", type: width, min: 0, max: 65535, start: 0x2b00, entry: "0.01", expected: undefined },
            { tag: "width 1/0 sends nothing", type: width, min: 0, max: 65535, start: 0x2b00, entry: "1/0", expected: undefined },
            { tag: "width: 4 refused", type: width, min: 0, max: 65535, start: 0x2b00, entry: "4", expected: undefined },
            { tag: "hexadecimal: not converted", type: KVCCFormat.RAW_HEX, min: 0, max: 65535, start: 40000, entry: "1A", expected: undefined },
        ]
    }

    function test_entry_sendsItsControlValue(data) {
        useType(data.type, KVCCFormat.ONE_DECIMAL_PLACE, data.min, data.max, data.start)
        enter(data.entry)
        compare(controller.networkValue, data.expected !== undefined ? data.expected : data.start)
    }

    // A delay box shows microseconds with the micro sign U+00B5, and takes it back as typed.
    function test_delayBox_takesTheMicroSignItShows() {
        useType(KVCCFormat.TIME_SEC, KVCCFormat.ONE_DECIMAL_PLACE, 0, 65535, 30000)
        enter("2\u00b5s")
        compare(controller.networkValue, 1794)
        compare(box.text, "2.00" + thinSpace + "\u00b5s")
        enter(box.text.replace(thinSpace, " "))
        compare(controller.networkValue, 1794)
    }

    // Codes around every change of unit or decimals of each type, and the ends.
    function test_typingBackWhatTheBoxShows_keepsTheValue_data() {
        var gainCodes = [0, 1, 0x7fe6, 0x8000, 0x8001, 0x8180, 33160, 20000, 45678, 0xffff]
        var widthCodes = [0x14ff]
        for (var i = 0; i < 45; ++i) {
            widthCodes.push(i * 256)
        }
        return [
            { tag: "gain with units", type: KVCCFormat.GAIN_OFFSET_DB, units: true, codes: gainCodes },
            { tag: "gain as a fader block shows it", type: KVCCFormat.GAIN_OFFSET_DB, units: false, codes: gainCodes },
            { tag: "delay", type: KVCCFormat.TIME_SEC, units: true,
              codes: [0, 1, 0x1745, 0x1746, 0x2e8b, 0x2e8c, 0x45d1, 0x45d2, 0x5d17, 0x5d18, 0x745d, 0x745e,
                      0x8ba2, 0x8ba3, 0xa2e8, 0xa2e9, 0xba2e, 0xba2f, 0xffff] },
            { tag: "frequency", type: KVCCFormat.FREQ_HZ, units: true,
              codes: [0, 10699, 21000, 30000, 36705, 36706, 36707, 56622, 0xffff] },
            { tag: "width", type: ProjectCCFormat.FILTER_WIDTH, units: true, codes: widthCodes },
        ]
    }

    function test_typingBackWhatTheBoxShows_keepsTheValue(data) {
        box.showUnits = data.units
        for (var i = 0; i < data.codes.length; ++i) {
            var code = data.codes[i]
            useType(data.type, KVCCFormat.ONE_DECIMAL_PLACE, 0, 65535, code)
            var withUnit = shown().replace(thinSpace, " ").trim()
            var valueOnly = Interpreter.interpretValue(code, data.type, KVCCFormat.ONE_DECIMAL_PLACE)
            var upperCase = withUnit.replace(/[a-z]/g, function(letter) { return letter.toUpperCase() })
            var entries = [withUnit, valueOnly, upperCase]
            for (var j = 0; j < entries.length; ++j) {
                enter(entries[j])
                compare(controller.networkValue, code, "typed \"" + entries[j] + "\" back")
            }
        }
    }

    function test_focus_emptiesTheTextAndLosingItShowsTheValue() {
        var before = shown()
        compare(box.text, before)
        beginEntry()
        typeText("6")
        mouseClick(box)
        verify(!box.editing, "a second click ends the entry")
        compare(box.text, before)
        compare(controller.networkValue, 40000, "leaving the box sends nothing")
    }

    function test_escape_cancelsTheEntry() {
        beginEntry()
        typeText("6")
        keyClick(Qt.Key_Escape)
        verify(!box.editing)
        compare(box.text, shown())
        compare(controller.networkValue, 40000)
    }

    function test_enterKeys_sendTheEntry_data() {
        return [
            { tag: "Return", key: Qt.Key_Return },
            { tag: "Enter", key: Qt.Key_Enter },
        ]
    }

    function test_enterKeys_sendTheEntry(data) {
        beginEntry()
        typeText("6")
        keyClick(data.key)
        verify(!box.editing)
        compare(controller.networkValue, 34312)
        compare(box.text, "6.0" + thinSpace + "dB")
    }

    // Tab and Shift+Tab send the entry as Enter does and move on to the other box, which takes what
    // is typed next; with no other box to take the focus (mouse control off), the entry just ends.
    function test_tabKeys_sendTheEntryAndMoveOn_data() {
        return [
            { tag: "Tab", key: Qt.Key_Tab, modifiers: Qt.NoModifier, otherTakes: true },
            { tag: "Shift+Tab", key: Qt.Key_Tab, modifiers: Qt.ShiftModifier, otherTakes: true },
            { tag: "Backtab", key: Qt.Key_Backtab, modifiers: Qt.ShiftModifier, otherTakes: true },
            { tag: "Tab, no other box", key: Qt.Key_Tab, modifiers: Qt.NoModifier, otherTakes: false },
            { tag: "Shift+Tab, no other box", key: Qt.Key_Tab, modifiers: Qt.ShiftModifier, otherTakes: false },
        ]
    }

    function test_tabKeys_sendTheEntryAndMoveOn(data) {
        otherBox.enableMouseControl = data.otherTakes
        var otherText = otherBox.text
        beginEntry()
        typeText("-3")
        keyClick(data.key, data.modifiers)
        verify(!box.editing)
        compare(controller.networkValue, 31992)
        compare(box.text, "-3.0" + thinSpace + "dB")
        compare(otherBox.editing, data.otherTakes)
        typeText("5")
        compare(box.text, "-3.0" + thinSpace + "dB", "nothing typed after the key joins the entry")
        compare(controller.networkValue, 31992)
        if (data.otherTakes) {
            compare(otherBox.text, "5")
            keyClick(Qt.Key_Return)
            verify(!otherBox.editing)
            compare(otherController.networkValue, 34056)
        } else {
            compare(otherBox.text, otherText)
            compare(otherController.networkValue, 30000)
        }
    }

    // One pixel of movement (right or up) moves the value by width / range of the range.
    function test_rightButtonDrag_movesTheValue_data() {
        return [
            { tag: "right", dx: 10, dy: 0, pixels: 10 },
            { tag: "up", dx: 0, dy: -10, pixels: 10 },
            { tag: "left and down", dx: -20, dy: 5, pixels: -25 },
            { tag: "one pixel is no drag", dx: 1, dy: -1, pixels: 0 },
            { tag: "to the top end", dx: 400, dy: 0, pixels: 400 },
        ]
    }

    function test_rightButtonDrag_movesTheValue(data) {
        useType(KVCCFormat.GAIN_OFFSET_DB, KVCCFormat.ONE_DECIMAL_PLACE, 0, 65535, 32768)
        var x = box.width / 2
        var y = box.height / 2
        mousePress(box, x, y, Qt.RightButton)
        mouseMove(box, x + data.dx, y + data.dy, -1, Qt.RightButton)
        mouseRelease(box, x + data.dx, y + data.dy, Qt.RightButton)
        verify(!box.editing, "the right button starts no entry")
        var expected = Math.min(65535, 32768 + data.pixels * box.width)
        verify(Math.abs(controller.networkValue - expected) <= 1,
               "value " + controller.networkValue + ", expected " + expected)
    }

    function test_mouseControlOff_ignoresTheMouse() {
        box.enableMouseControl = false
        mouseClick(box)
        verify(!box.editing)
        mousePress(box, 50, 12, Qt.RightButton)
        mouseMove(box, 80, 12, -1, Qt.RightButton)
        mouseRelease(box, 80, 12, Qt.RightButton)
        compare(controller.networkValue, 40000)
    }
}
