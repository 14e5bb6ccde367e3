pragma Singleton
import QtQuick 2.12

// Sizes and colours shared by every view.
QtObject {
    readonly property int margin: 10
    readonly property int spacing: 10
    readonly property int radius: 5
    readonly property color colorBG: "#1a1a1a"
    readonly property color colorFG: "#2a2a2a"
    readonly property color colorHighlight: "#000a14"
    readonly property color colorHighlight2: "#00ffff"
    readonly property color colorText: "white"
    readonly property color colorTextHighlight: "white"

    readonly property QtObject fonts: QtObject {
        readonly property color colorText: "white"
        readonly property color colorTextAlt: "black"
        readonly property color colorTextHighlight: "#000a14"
        readonly property color colorTabSelected: "#00ffff"
        readonly property string family: "Spartan"
        readonly property int ptsize: 12
        readonly property int ptsizeBig: 14
        readonly property int ptsizeBigger: 16
    }
}
