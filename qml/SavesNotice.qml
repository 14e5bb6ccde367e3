import QtQuick 2.12

// A short notice over the window that a save or recall worked; the window loads it when it first
// tells one. It goes by itself after a few seconds and takes no input: a click goes to what is
// under it.
Rectangle {
    id: notice

    property real globalScale: 1
    // The notice is no wider; a longer text wraps within it.
    property real maximumWidth: Number.POSITIVE_INFINITY

    // Shows the text for a few seconds.
    function show(text) {
        label.text = text
        visible = true
        shownTime.restart()
    }

    visible: false
    width: Math.min(label.implicitWidth + 40 * globalScale, maximumWidth)
    height: label.implicitHeight + 30 * globalScale
    color: Styles.colorBG
    border.color: "#39b54a"
    border.width: Math.max(1, Math.round(2 * globalScale))
    radius: 6 * globalScale

    Text {
        id: label
        objectName: "noticeText"
        anchors.centerIn: parent
        width: notice.width - 40 * notice.globalScale
        color: "white"
        font.family: "Spartan"
        font.bold: true
        font.pixelSize: Math.max(1, 14 * notice.globalScale)
        horizontalAlignment: Text.AlignHCenter
        wrapMode: Text.Wrap
    }

    Timer {
        id: shownTime
        interval: 3000
        onTriggered: notice.visible = false
    }
}
