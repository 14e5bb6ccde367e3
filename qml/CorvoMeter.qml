import QtQuick 2.12

// A level meter: the meter image, darkened from the top down to the driver's level, so that the
// lit part grows from the bottom. Only the cover's height follows the level.
Item {
    id: meter

    property QtObject driver: null
    // Follows the driver only while shown: a meter on a hidden tab costs nothing per update, and
    // takes the driver's level at once when shown again.
    readonly property real level: driver !== null && visible ? Math.max(0, Math.min(1, driver.value)) : 0

    implicitWidth: 12
    implicitHeight: 356

    Image {
        id: bar
        anchors.fill: parent
        source: "qrc:/Meter.svg"
        // Unscaled: the pixmap has the whole-pixel size, and each repaint copies it as it is.
        fillMode: Image.Pad
        sourceSize: Qt.size(Math.max(1, width), Math.max(1, height))
    }

    Rectangle {
        objectName: "meterCover"
        anchors.top: parent.top
        width: bar.width
        height: Math.round(meter.height * (1 - meter.level))
        color: "black"
        opacity: 0.8
    }
}
