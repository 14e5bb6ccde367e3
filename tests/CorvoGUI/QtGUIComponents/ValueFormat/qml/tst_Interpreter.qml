import QtQuick 2.15
import QtTest 1.15
import CorvoTest 1.0
import Corvo 1.0
import KVQml 2.0
import ValueInterpreter 1.0

// The value interpreter's invokables as QML calls them, and a format object made in QML.
WarningCheckedTestCase {
    name: "Interpreter"

    readonly property string thin: "\u2009"

    KVCCFormat {
        id: gainFormat
        kvCCType: KVCCFormat.GAIN_OFFSET_DB
        decimalPlaces: KVCCFormat.TWO_DECIMAL_PLACES
    }

    function test_interpretValueAndUnits_data() {
        return [
            { tag: "0 dB", value: 0x8000, type: KVCCFormat.GAIN_OFFSET_DB, places: 1, text: "0.0" + thin + "dB" },
            { tag: "minus infinity", value: 0, type: KVCCFormat.GAIN_OFFSET_DB, places: 1, text: "-Inf" + thin + "dB" },
            { tag: "no unit: the separator ends the text", value: 5, type: KVCCFormat.DONT_INTERPRET, places: 0,
              text: "5" + thin },
            { tag: "exponent -5120", value: 0x8000, type: KVCCFormat.PADDED_GAIN_OFFSET_DB, places: 0,
              text: "-20" + thin + "dB" },
            { tag: "type as a text", value: 0x8000, type: "GAIN_OFFSET_DB", places: 1, text: "0.0" + thin + "dB" },
            { tag: "type as a numeric text", value: 0x1400, type: "31", places: 0, text: "1" + thin },
            { tag: "type as a fractional number", value: 0, type: 9.2, places: 0, text: "4.0" + thin + "Hz" },
            { tag: "text naming no enumerator", value: 0x8000, type: "junk", places: 1, text: "32768" + thin },
            { tag: "text naming a project type", value: 0x2C00, type: "FILTER_WIDTH", places: 0,
              text: "11264" + thin },
            { tag: "27 is the delay time", value: 96, type: 27, places: 2, text: "1.00" + thin + "ms" },
            { tag: "28 is the distance in feet, negative", value: 96, type: KVCCFormat.PERCENTAGE, places: 2,
              text: "-16.79" + thin + "ft" },
            { tag: "width label", value: 0x2C00, type: ProjectCCFormat.FILTER_WIDTH, places: 0,
              text: "1/24" + thin },
            { tag: "pan", value: 36, type: ProjectCCFormat.PAN, places: 0, text: "L  1" + thin },
            { tag: "no output", value: 1234, type: ProjectCCFormat.SUPPRESS_VALUE_OUPUT, places: 0, text: thin },
            { tag: "unhandled project type", value: 12, type: 35, places: 0, text: "12" + thin },
            { tag: "negative type", value: 12, type: -4, places: 0, text: "12" + thin },
            { tag: "decimal places past four", value: 0x8001, type: KVCCFormat.GAIN_OFFSET_DB, places: 6,
              text: "0.003906" + thin + "dB" }
        ]
    }

    function test_interpretValueAndUnits(data) {
        compare(Interpreter.interpretValueAndUnits(data.value, data.type, data.places), data.text)
    }

    function test_separator_data() {
        return [
            { tag: "blank", separator: " ", text: "1.5 dB" },
            { tag: "none", separator: "", text: "1.5dB" },
            { tag: "a % is not filled in again", separator: "%3", text: "1.5%3dB" }
        ]
    }

    function test_separator(data) {
        compare(Interpreter.interpretValueAndUnits(0x8180, KVCCFormat.GAIN_OFFSET_DB, 1, data.separator), data.text)
    }

    function test_valueAndUnitsApart_data() {
        return [
            { tag: "padded gain value", value: 0x8000, type: KVCCFormat.PADDED_GAIN_OFFSET_DB, places: 0,
              text: "-20", units: "dB" },
            { tag: "hertz without a blank", value: 0, type: KVCCFormat.FREQ_HZ, places: 0, text: "4.0", units: "Hz" },
            { tag: "kilohertz without a blank", value: 0xFFFF, type: KVCCFormat.FREQ_HZ, places: 0, text: "76.44",
              units: "kHz" },
            { tag: "gain, the locale's comma unused", value: 0x7FE6, type: KVCCFormat.GAIN_OFFSET_DB, places: 1,
              text: "-0.1", units: "dB" },
            { tag: "width past the table", value: 0x2D00, type: ProjectCCFormat.FILTER_WIDTH, places: 0, text: "",
              units: "" }
        ]
    }

    function test_valueAndUnitsApart(data) {
        compare(Interpreter.interpretValue(data.value, data.type, data.places), data.text)
        compare(Interpreter.interpretUnits(data.value, data.type, data.places), data.units)
    }

    function test_withExponent_data() {
        return [
            { tag: "value modulo 65536", value: 70000, exponent: 1.0, type: ProjectCCFormat.DELAY_TIME_MS_96K,
              places: 2, text: "46.50" + thin + "ms" },
            { tag: "negative value", value: -1, exponent: 1.0, type: KVCCFormat.RAW_HEX, places: 0,
              text: "0xffff" + thin },
            { tag: "speed of sound", value: 48000, exponent: 343.0, type: ProjectCCFormat.DELAY_DISTANCE_M_96K,
              places: 2, text: "171.50" + thin + "m" },
            { tag: "no padding", value: 0x8000, exponent: 0.0, type: KVCCFormat.PADDED_GAIN_OFFSET_DB, places: 0,
              text: "0" + thin + "dB" },
            { tag: "no decay", value: 0x8000, exponent: 1.0, type: ProjectCCFormat.DB_PER_FRAME_TO_MS_PER_10DB,
              places: 2, text: "Inf" + thin + "ms" }
        ]
    }

    function test_withExponent(data) {
        compare(Interpreter.interpretValueAndUnitsWithExponent(data.value, data.exponent, data.type, data.places),
                data.text)
        compare(Interpreter.interpretValueAndUnitsWithExponent(data.value, data.exponent, data.type, data.places,
                                                               "|"),
                data.text.replace(thin, "|"))
    }

    function test_formatObject() {
        compare(gainFormat.interpretValue(0x8180), "1.50")
        compare(gainFormat.interpretUnits(0x8180), " dB")
        compare(gainFormat.interpretValue(0x8100, 1.0, KVCCFormat.TEMP_C), "1.00")
        compare(gainFormat.interpretUnits(0x8100, 1.0, KVCCFormat.TEMP_C), " \u00b0C")
        gainFormat.compressUnits = true
        compare(gainFormat.interpretUnits(0), "dB")
        compare(gainFormat.interpretValue(0), "-Inf")
        gainFormat.compressUnits = false
    }
}
