import QtQuick 2.14
import KVQml 2.0
import Corvo 1.0
import ValueInterpreter 1.0

// A numeric box on a continuous-controller driver: it shows the driver's value as text of its
// value type, takes a typed entry (Enter converts it into the 16-bit control value, Escape
// cancels) and follows a drag with the right mouse button. Tab and Shift+Tab send the entry as
// Enter does and move the focus on to the next or previous box of the window, so that nothing typed
// after them joins the entry.
Item {
    id: widget

    property QtObject driver: null
    property bool showUnits: true
    property bool enableMouseControl: true
    property bool displayAsConnected: false
    property real baseFontPixelSize: 9
    property string style: ""
    property bool slider: true
    property color sliderColor: "white"
    property string label: ""
    property color textColour: Styles.fonts.colorText
    property int kvCCType: KVCCFormat.DONT_INTERPRET
    property int decimalPlaces: KVCCFormat.NO_DECIMAL_PLACES

    readonly property int currentValue: driver !== null ? driver.networkValue : 0
    readonly property int minValue: driver !== null ? driver.min : 0
    readonly property int maxValue: driver !== null ? driver.max : 65535
    readonly property bool editing: input.activeFocus
    readonly property string text: input.text

    implicitWidth: 65
    implicitHeight: 24

    function displayText() {
        if (driver === null) {
            return ""
        }
        return showUnits ? Interpreter.interpretValueAndUnits(driver.networkValue, kvCCType, decimalPlaces)
                         : Interpreter.interpretValue(driver.networkValue, kvCCType, decimalPlaces)
    }

    function bindText() {
        input.text = Qt.binding(displayText)
    }

    function endEditing() {
        bindText()
        input.focus = false
        widget.focus = false
    }

    // Sends the entry and gives the focus to the next box along the window's focus chain (the
    // previous one backwards); with no other box there, the entry just ends.
    function endEditingAndMoveOn(forward) {
        setValueFromString(input.text)
        var next = input.nextItemInFocusChain(forward)
        if (next !== null && next !== input) {
            next.forceActiveFocus(forward ? Qt.TabFocusReason : Qt.BacktabFocusReason)
        } else {
            endEditing()
        }
    }

    // The form of a text for comparing it with what the box shows: no blanks, lower case.
    function normalised(text) {
        return text.replace(/[\s\u2009]+/g, "").toLowerCase()
    }

    function isGainType(type) {
        return type >= KVCCFormat.GAIN_OFFSET_DB && type <= KVCCFormat.GAIN_OFFSET_DB_SUB_40
    }

    function isTimeType(type) {
        return type === KVCCFormat.TIME_SEC || type === KVCCFormat.TIME_SEC_INVERTED
                || type === KVCCFormat.TIME_SEC_DOUBLED
    }

    function isFrequencyType(type) {
        return type === KVCCFormat.FREQ_HZ || type === KVCCFormat.FREQ_HZ_COMPACT
    }

    // The control value a typed text stands for, or undefined when it stands for none (no
    // number, or a number the type cannot take).
    function valueFromString(text) {
        var entry = text.trim()
        var lower = entry.toLowerCase()
        var number = parseFloat(entry)
        if (isGainType(kvCCType)) {
            if (lower.indexOf("-inf") === 0) {
                return minValue
            }
            if (lower.indexOf("inf") === 0) {
                return maxValue
            }
            if (isNaN(number)) {
                return undefined
            }
            if (number === 0) {
                return 32768
            }
            return Math.round(number * 256) + 32768 + 8 * Math.sign(number)
        }
        if (isTimeType(kvCCType)) {
            if (isNaN(number)) {
                return undefined
            }
            if (number === 0) {
                return minValue
            }
            var unit = lower.replace(/^[-+0-9.\s\u2009]*/, "")
            var milliseconds = number
            if (unit.indexOf("ms") === 0) {
                milliseconds = number
            } else if (unit.indexOf("us") === 0 || unit.indexOf("\u00b5s") === 0 || unit.indexOf("\u03bcs") === 0) {
                milliseconds = number / 1000
            } else if (unit.indexOf("s") === 0) {
                milliseconds = number * 1000
            }
            if (!(milliseconds > 0)) {
                return undefined
            }
            return Math.round(Math.log10((milliseconds / 1000) / 1e-6) / (1 / 8192 + 1 / 65536 + 1 / 32768)) + 1
        }
        if (isFrequencyType(kvCCType)) {
            if (isNaN(number)) {
                return undefined
            }
            if (number === 0) {
                return minValue
            }
            var hertz = (lower.indexOf("khz") >= 0 || /k$/.test(lower)) ? number * 1000 : number
            if (!(hertz > 0)) {
                return undefined
            }
            return Math.round(4608 * Math.log2(hertz / 4))
        }
        if (kvCCType === KVCCFormat.NO_UNITS || kvCCType === KVCCFormat.DOUBLED_VALUE
                || kvCCType === KVCCFormat.DONT_INTERPRET) {
            if (isNaN(number)) {
                return undefined
            }
            return number * 256 + 32768
        }
        if (kvCCType === ProjectCCFormat.FILTER_WIDTH) {
            var fraction = entry.match(/^\s*(\d*\.?\d+)\s*\/\s*(\d*\.?\d+)/)
            var octaves = fraction !== null ? parseFloat(fraction[1]) / parseFloat(fraction[2]) : number
            if (!isFinite(octaves)) {
                return undefined
            }
            for (var i = 0; i < widthTable.length; ++i) {
                if (octaves >= widthTable[i]) {
                    return i * 256
                }
            }
            return undefined
        }
        console.log("Unhandled KVCCFormat type. Check and/or add type")
        return undefined
    }

    // Sends the value a typed text stands for, within the driver's range. A text that reads as what
    // the box shows (with or without its unit) leaves the value as it is.
    function setValueFromString(text) {
        if (driver === null) {
            return
        }
        var entry = normalised(text)
        if (entry === normalised(Interpreter.interpretValueAndUnits(driver.networkValue, kvCCType, decimalPlaces))
                || entry === normalised(Interpreter.interpretValue(driver.networkValue, kvCCType, decimalPlaces))) {
            return
        }
        var value = valueFromString(text)
        if (value !== undefined && isFinite(value)) {
            // Into the driver's range here: a number far outside it would wrap on its way to an int.
            driver.setNetworkValue(Math.max(minValue, Math.min(maxValue, value)))
        }
    }

    // Widths in octaves for width codes 0..44 (the code's high byte).
    readonly property var widthTable: [3.0, 2.9, 2.8, 2.7, 2.6, 2.5, 2.4, 2.3, 2.2, 2.1, 2.0, 1.9, 1.8, 1.7, 1.6,
        1.5, 1.4, 1.3, 1.2, 1.1, 1.0, 0.95, 0.9, 0.85, 0.8, 0.75, 0.7, 0.65, 0.6, 0.55, 0.5, 0.45, 0.4,
        0.32, 0.3, 0.25, 0.2, 0.15, 0.13, 0.1, 0.09, 0.08, 0.06, 0.05, 0.04]

    function inputPattern(type) {
        if (type === KVCCFormat.NO_UNITS || type === KVCCFormat.DONT_INTERPRET || type === KVCCFormat.DOUBLED_VALUE
                || (type >= KVCCFormat.RAW_DIVIDED_10 && type <= KVCCFormat.RAW_PLUS_1)) {
            return /-?\d*\.?\d*/
        }
        if (isGainType(type)) {
            return new RegExp("-?(inf)?\\d*\\.?\\d*[ \u2009]*(d|db)?", "i")
        }
        if (type >= KVCCFormat.TIME_SEC && type <= KVCCFormat.TEMP_F) {
            return new RegExp("-?\\d*(\\.\\d*)?[ \u2009]?[a-zA-Z\u00b5\u03bc]*")
        }
        if (type === ProjectCCFormat.FILTER_WIDTH) {
            return /([0-3].*)?/
        }
        return /[0-9A-F]*/
    }

    TextInput {
        id: input
        objectName: "valueInput"
        anchors.fill: parent
        clip: true
        maximumLength: 10
        color: widget.textColour
        font.family: Styles.fonts.family
        font.bold: true
        font.pixelSize: Math.max(1, widget.baseFontPixelSize * widget.height / 20)
        horizontalAlignment: TextInput.AlignHCenter
        verticalAlignment: TextInput.AlignVCenter
        selectByMouse: false
        // The mouse area gives the focus, and only while mouse control is on; so does Tab from
        // another box.
        activeFocusOnPress: false
        activeFocusOnTab: widget.enableMouseControl
        validator: RegularExpressionValidator {
            regularExpression: widget.inputPattern(widget.kvCCType)
        }
        text: widget.displayText()

        onActiveFocusChanged: {
            if (activeFocus) {
                text = ""
            } else {
                widget.bindText()
            }
        }
        Keys.onReturnPressed: {
            widget.setValueFromString(text)
            widget.endEditing()
        }
        Keys.onEnterPressed: {
            widget.setValueFromString(text)
            widget.endEditing()
        }
        Keys.onEscapePressed: widget.endEditing()
        Keys.onTabPressed: widget.endEditingAndMoveOn(!(event.modifiers & Qt.ShiftModifier))
        Keys.onBacktabPressed: widget.endEditingAndMoveOn(false)
    }

    MouseArea {
        id: mouseArea
        anchors.fill: parent
        enabled: widget.enableMouseControl && widget.enabled
        acceptedButtons: Qt.LeftButton | Qt.RightButton
        property real pressX: 0
        property real pressY: 0
        property real startSteps: 0
        property bool dragging: false

        onPressed: {
            if (mouse.button === Qt.LeftButton) {
                if (input.activeFocus) {
                    widget.endEditing()
                } else {
                    input.forceActiveFocus()
                }
                return
            }
            pressX = mouse.x
            pressY = mouse.y
            dragging = false
            var range = widget.driver !== null ? widget.driver.range : 0
            startSteps = range > 0 && widget.width > 0 ? widget.driver.value * range / widget.width : 0
        }
        onPositionChanged: {
            if (!(mouse.buttons & Qt.RightButton) || widget.driver === null) {
                return
            }
            var dx = mouse.x - pressX
            var dy = mouse.y - pressY
            if (!dragging && Math.abs(dx) <= 1 && Math.abs(dy) <= 1) {
                return
            }
            dragging = true
            var range = widget.driver.range
            if (range > 0) {
                widget.driver.setValue(((startSteps + dx - dy) * widget.width) / range)
            }
        }
    }
}
