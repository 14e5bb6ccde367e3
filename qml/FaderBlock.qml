import QtQuick 2.12
import KVQml 2.0

// A stereo pair of control strips: for the left and the right strip a gain box, a fader, polarity
// and mute buttons, and a meter each, drawn in a 339 x 610 design scaled to fit and centred.
Item {
    id: block

    property QtObject leftBackend: null
    property QtObject rightBackend: null
    property string label: ""

    readonly property real designWidth: 339
    readonly property real designHeight: 610
    readonly property real s: height * designWidth / designHeight <= width ? height / designHeight
                                                                          : width / designWidth
    readonly property real scaledWidth: designWidth * s
    readonly property real scaledHeight: designHeight * s
    readonly property bool inputStrip: leftBackend !== null && leftBackend.inputFader
    readonly property real faderOffset: inputStrip ? 0 : 3
    readonly property real buttonWidth: 45
    readonly property real buttonHeight: Math.floor(45 * 56 / 64)

    Item {
        id: drawn
        objectName: "drawnArea"
        width: block.scaledWidth
        height: block.scaledHeight
        anchors.centerIn: parent

        Image {
            x: 0
            y: 0
            width: 339 * block.s
            height: width * 441 / 283
            source: block.inputStrip ? "qrc:/FaderBlockInput.svg" : "qrc:/FaderBlockOutput.svg"
            // Unscaled: the pixmap has the whole-pixel size, and each repaint copies it as it is.
            fillMode: Image.Pad
            sourceSize: Qt.size(Math.max(1, width), Math.max(1, height))
        }

        Text {
            objectName: "blockLabel"
            x: 9 * block.s
            width: (137 + 67 - 9) * block.s
            y: -12 * block.s - height
            text: block.label
            color: "white"
            font.family: Styles.fonts.family
            font.bold: true
            font.pixelSize: Math.max(1, 24 * block.s)
            horizontalAlignment: Text.AlignHCenter
        }

        Repeater {
            model: 2

            Item {
                id: strip
                readonly property int stripIndex: index
                readonly property QtObject backend: stripIndex === 0 ? block.leftBackend : block.rightBackend
                readonly property real centre: stripIndex === 0 ? 43.5 : 171.5
                readonly property real leftEdge: stripIndex === 0 ? 9 : 137
                anchors.fill: parent

                CorvoValueWidget {
                    objectName: "gainBox" + strip.stripIndex
                    x: strip.leftEdge * block.s
                    y: 50 * block.s
                    width: 67 * block.s
                    height: 32 * block.s
                    textColour: "#39b54a"
                    showUnits: false
                    slider: false
                    driver: strip.backend !== null ? strip.backend.faderDriver : null
                    kvCCType: KVCCFormat.GAIN_OFFSET_DB
                    decimalPlaces: KVCCFormat.ONE_DECIMAL_PLACE
                }

                CorvoFader {
                    objectName: "fader" + strip.stripIndex
                    x: strip.leftEdge * block.s
                    y: (163 + block.faderOffset) * block.s
                    width: 69 * block.s
                    height: (313 - block.faderOffset) * block.s
                    driver: strip.backend !== null ? strip.backend.faderDriver : null
                }

                Image {
                    objectName: "polarityButton" + strip.stripIndex
                    readonly property QtObject switchDriver: strip.backend !== null ? strip.backend.polarity : null
                    x: (strip.centre - (block.buttonWidth + 4)) * block.s
                    y: 552 * block.s
                    width: block.buttonWidth * block.s
                    height: block.buttonHeight * block.s
                    source: switchDriver !== null && switchDriver.value ? "qrc:/PolarityOn-V2.svg"
                                                                        : "qrc:/PolarityOff-V2.svg"
                    sourceSize: Qt.size(Math.max(1, width), Math.max(1, height))
                    MouseArea {
                        anchors.fill: parent
                        onClicked: {
                            parent.forceActiveFocus()
                            if (parent.switchDriver !== null) {
                                parent.switchDriver.setValue(!parent.switchDriver.value)
                            }
                        }
                    }
                }

                Image {
                    objectName: "muteButton" + strip.stripIndex
                    readonly property QtObject switchDriver: strip.backend !== null ? strip.backend.mute : null
                    x: (strip.centre + 4) * block.s
                    y: 552 * block.s
                    width: block.buttonWidth * block.s
                    height: block.buttonHeight * block.s
                    source: switchDriver !== null && switchDriver.value ? "qrc:/MuteOn-V2.svg"
                                                                        : "qrc:/MuteOff-V2.svg"
                    sourceSize: Qt.size(Math.max(1, width), Math.max(1, height))
                    MouseArea {
                        anchors.fill: parent
                        onClicked: {
                            parent.forceActiveFocus()
                            if (parent.switchDriver !== null) {
                                parent.switchDriver.setValue(!parent.switchDriver.value)
                            }
                        }
                    }
                }

                CorvoMeter {
                    objectName: "meter" + strip.stripIndex
                    x: (283.5 + (strip.stripIndex === 0 ? -2.5 - 12 : 2.5)) * block.s
                    y: 123 * block.s
                    width: 12 * block.s
                    height: 356 * block.s
                    driver: strip.backend !== null ? strip.backend.meterDriver : null
                }
            }
        }
    }
}
