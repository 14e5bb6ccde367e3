import QtQuick 2.12
import QtQuick.Window 2.12

// A push button drawn as a rounded rectangle (the default), a border image, an image or a
// translucent rectangle, with a fitted text, an optional icon and popup marker, and an optional
// auto-repeat that emits pressAndHold while it is held.
Item {
    id: button

    property string text: ""
    property bool highlighted: false
    readonly property real globalScale: Styles.globalScaleOf(Window.window)

    property color textColor: Styles.colorText
    property color textColorHovered: Styles.colorText
    property color textColorPressed: Styles.colorTextHighlight
    property color textColorDisabled: "#7f7f7f"
    property color fillColor: Styles.colorFG
    property color fillColorHovered: Styles.colorHighlight
    property color fillColorPressed: Styles.colorHighlight
    property color fillColorDisabled: Styles.colorBG
    property color borderColor: "white"
    property color borderColorHovered: "white"
    property color borderColorPressed: "white"
    property color borderColorDisabled: "white"
    property real borderWidth: 1
    property real radius: 4 * globalScale

    property bool useRectangle: !useBorderImage && !useImage && !useAlphaRectangle
    property bool useBorderImage: false
    property bool useImage: false
    property bool useAlphaRectangle: false
    property string imageSource: "qrc:/Button.png"
    property string imagePressedSource: "qrc:/ButtonPressed.png"

    property bool useIcon: false
    property string iconSource: ""
    property bool showPopupIndicator: false
    property bool elideText: false
    property real pixelSizeScale: 0.4

    property bool repeat: false
    property int repeatAfter: 1000
    property int repeatInterval: 100

    readonly property bool isPressed: mouseArea.pressed
    readonly property bool isHovered: mouseArea.containsMouse

    signal clicked()
    signal pressed(var mouse)
    signal released()
    signal pressAndHold()
    signal pressedPositionChanged(var mouse)

    implicitWidth: 120
    implicitHeight: 40
    opacity: enabled ? 1.0 : 0.6

    readonly property color currentTextColor: !enabled ? textColorDisabled
                                                       : isPressed ? textColorPressed
                                                                   : isHovered ? textColorHovered : textColor
    readonly property color currentFillColor: !enabled ? fillColorDisabled
                                                       : (isPressed || highlighted) ? fillColorPressed
                                                                                    : isHovered ? fillColorHovered
                                                                                                : fillColor
    readonly property color currentBorderColor: !enabled ? borderColorDisabled
                                                         : (isPressed || highlighted) ? borderColorPressed
                                                                                      : isHovered ? borderColorHovered
                                                                                                  : borderColor

    Rectangle {
        anchors.fill: parent
        visible: button.useRectangle
        radius: button.radius
        color: button.currentFillColor
        border.color: button.currentBorderColor
        border.width: button.borderWidth
    }

    Rectangle {
        anchors.fill: parent
        visible: button.useAlphaRectangle
        radius: button.radius
        color: button.isPressed ? "#40ffffff" : button.isHovered ? "#20ffffff" : "transparent"
    }

    BorderImage {
        anchors.fill: parent
        visible: button.useBorderImage
        source: button.useBorderImage ? (button.isPressed ? button.imagePressedSource : button.imageSource) : ""
        border { left: 8; right: 8; top: 8; bottom: 8 }
    }

    Image {
        anchors.fill: parent
        visible: button.useImage
        source: button.useImage ? (button.isPressed ? button.imagePressedSource : button.imageSource) : ""
        sourceSize: Qt.size(Math.max(1, width), Math.max(1, height))
    }

    Text {
        id: label
        anchors {
            left: parent.left
            right: icon.visible ? icon.left : (popupIndicator.visible ? popupIndicator.left : parent.right)
            top: parent.top
            bottom: parent.bottom
            leftMargin: 4 * button.globalScale
            rightMargin: 4 * button.globalScale
        }
        text: button.text
        color: button.currentTextColor
        font.family: Styles.fonts.family
        font.bold: true
        font.pixelSize: Math.max(11, button.height * button.pixelSizeScale)
        fontSizeMode: Text.Fit
        minimumPixelSize: 6
        horizontalAlignment: Text.AlignHCenter
        verticalAlignment: Text.AlignVCenter
        elide: button.elideText ? Text.ElideRight : Text.ElideNone
    }

    Image {
        id: icon
        visible: button.useIcon && button.iconSource !== ""
        source: visible ? button.iconSource : ""
        height: 18
        width: height
        sourceSize: Qt.size(width, height)
        anchors.right: popupIndicator.visible ? popupIndicator.left : parent.right
        anchors.rightMargin: 4 * button.globalScale
        anchors.verticalCenter: parent.verticalCenter
    }

    Image {
        id: popupIndicator
        visible: button.showPopupIndicator
        source: "qrc:/PopupIndicator.png"
        width: 12 * button.globalScale
        height: width
        smooth: true
        anchors.right: parent.right
        anchors.rightMargin: 4 * button.globalScale
        anchors.verticalCenter: parent.verticalCenter
    }

    Timer {
        id: repeatTimer
        interval: button.repeatAfter
        onTriggered: {
            button.pressAndHold()
            if (button.repeatInterval !== 0) {
                interval = button.repeatInterval
                repeat = true
                start()
            }
        }
    }

    onVisibleChanged: {
        if (!visible) {
            repeatTimer.stop()
        }
    }

    MouseArea {
        id: mouseArea
        anchors.fill: parent
        hoverEnabled: true
        enabled: button.enabled && button.visible
        onPressed: {
            button.forceActiveFocus()
            button.pressed(mouse)
            if (button.repeat && button.repeatAfter !== 0) {
                repeatTimer.repeat = false
                repeatTimer.interval = button.repeatAfter
                repeatTimer.restart()
            }
        }
        onReleased: {
            repeatTimer.stop()
            button.released()
        }
        onCanceled: repeatTimer.stop()
        onClicked: button.clicked()
        onPositionChanged: {
            if (pressed) {
                button.pressedPositionChanged(mouse)
            }
        }
    }
}
