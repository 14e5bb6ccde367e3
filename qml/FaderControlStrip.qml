import QtQuick 2.12
import KVQml 2.0
import "Gains.js" as Gains

// A single control strip: label, gain box, fader, and polarity and mute buttons that toggle on
// release, drawn in a 294 x 1706 design scaled to the strip's width.
Item {
    id: strip

    property QtObject backend: null
    property string label: ""

    readonly property real designWidth: 294
    readonly property real designHeight: 160 + 94 + 2 * 142 + 1032 + 136
    readonly property real s: height * designWidth / designHeight <= width ? height / designHeight
                                                                          : width / designWidth
    readonly property bool muted: backend !== null && backend.mute.value
    readonly property bool inverted: backend !== null && backend.polarity.value
    readonly property real gainDb: backend !== null ? Gains.uwordToGain(backend.faderDriver.networkValue) / 256 : 0

    Item {
        width: strip.designWidth * strip.s
        height: strip.designHeight * strip.s
        anchors.centerIn: parent

        Text {
            width: parent.width
            height: 160 * strip.s
            text: strip.label
            color: "white"
            font.family: Styles.fonts.family
            font.bold: true
            font.pixelSize: Math.max(1, 48 * strip.s)
            horizontalAlignment: Text.AlignHCenter
            verticalAlignment: Text.AlignVCenter
        }

        CorvoValueWidget {
            y: 160 * strip.s
            width: parent.width
            height: 94 * strip.s
            textColour: "#39b54a"
            driver: strip.backend !== null ? strip.backend.faderDriver : null
            kvCCType: KVCCFormat.GAIN_OFFSET_DB
            decimalPlaces: KVCCFormat.ONE_DECIMAL_PLACE
        }

        Image {
            y: (160 + 94) * strip.s
            width: parent.width
            height: 142 * strip.s
            fillMode: Image.PreserveAspectFit
            source: strip.inverted ? "qrc:/PolarityOn-V2.svg" : "qrc:/PolarityOff-V2.svg"
            sourceSize: Qt.size(Math.max(1, width), Math.max(1, height))
            MouseArea {
                anchors.fill: parent
                onReleased: {
                    if (strip.backend !== null) {
                        strip.backend.polarity.setValue(!strip.backend.polarity.value)
                    }
                }
            }
        }

        Image {
            y: (160 + 94 + 142) * strip.s
            width: parent.width
            height: 142 * strip.s
            fillMode: Image.PreserveAspectFit
            source: strip.muted ? "qrc:/MuteOn-V2.svg" : "qrc:/MuteOff-V2.svg"
            sourceSize: Qt.size(Math.max(1, width), Math.max(1, height))
            MouseArea {
                anchors.fill: parent
                onReleased: {
                    if (strip.backend !== null) {
                        strip.backend.mute.setValue(!strip.backend.mute.value)
                    }
                }
            }
        }

        CorvoFader {
            y: (160 + 94 + 2 * 142) * strip.s
            width: parent.width
            height: 1032 * strip.s
            driver: strip.backend !== null ? strip.backend.faderDriver : null
        }
    }
}
