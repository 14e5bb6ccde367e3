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

    // The scale that sizes a widget in that window: the window's own globalScale where it has one
    // (the program's window), else its width / 1024 (a widget shown in a window of its own); 1 outside
    // a window.
    function globalScaleOf(window) {
        if (!window) {
            return 1
        }
        if (window.globalScale !== undefined) {
            return window.globalScale
        }
        return window.width > 0 ? window.width / 1024 : 1
    }

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
