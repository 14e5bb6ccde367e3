import QtQuick 2.12
import "Gains.js" as Gains

// A scale beside a meter: pips at 22 gains from +15 dB down to -40 dB and labels at 10, 0, -10 and
// -20 dB, each placed where the meter driver shows that gain. Hidden without a driver.
Item {
    id: scale

    property QtObject driver: null
    property color colour: "#8f8f8f"
    property real pipLength: width * 0.3

    readonly property var pipGains: [Gains.PLUS_15_DB, Gains.PLUS_12_DB, Gains.PLUS_10_DB, Gains.PLUS_9_DB,
        Gains.PLUS_6_DB, Gains.PLUS_3_DB, Gains.ZERO_DB, Gains.MINUS_3_DB, Gains.MINUS_6_DB, Gains.MINUS_9_DB,
        Gains.MINUS_10_DB, Gains.MINUS_12_DB, Gains.MINUS_15_DB, Gains.MINUS_18_DB, Gains.MINUS_20_DB,
        Gains.MINUS_22_DB, Gains.MINUS_24_DB, Gains.MINUS_26_DB, Gains.MINUS_30_DB, Gains.MINUS_34_DB,
        Gains.MINUS_36_DB, Gains.MINUS_40_DB]
    readonly property var labelGains: [Gains.PLUS_10_DB, Gains.ZERO_DB, Gains.MINUS_10_DB, Gains.MINUS_20_DB]

    visible: driver !== null
    implicitWidth: 24
    implicitHeight: 356

    // Distance from the top of the scale at which the meter shows a gain.
    function positionOf(gain) {
        if (driver === null) {
            return 0
        }
        return height * (1 - driver.getFloatForUWORD(gain & 0xFFFF))
    }

    Repeater {
        model: scale.pipGains.length
        Rectangle {
            x: 0
            y: Math.round(scale.positionOf(scale.pipGains[index])) - height / 2
            width: scale.pipLength
            height: 1
            color: scale.colour
        }
    }

    Repeater {
        model: scale.labelGains.length
        Text {
            x: scale.pipLength + 2
            y: scale.positionOf(scale.labelGains[index]) - height / 2
            text: String(scale.labelGains[index] / 256)
            color: scale.colour
            font.family: Styles.fonts.family
            font.bold: true
            font.pixelSize: Math.max(6, scale.width * 0.4)
        }
    }
}
