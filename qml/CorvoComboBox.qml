import QtQuick 2.12
import QtQuick.Controls 2.12
import QtQuick.Window 2.12

// A button that shows the current entry of a list of texts and opens a grid of all entries in a
// modal popup. A choice sets currentIndex and emits activated; a new currentIndexSource (the value
// from the model) sets currentIndex and emits activatedBySource.
Item {
    id: combo

    property var model: []
    property int currentIndex: -1
    property int currentIndexSource: -1
    property int columns: 1
    property string noSelectionText: ""
    property real itemWidth: width
    property real itemHeight: height
    readonly property real globalScale: Styles.globalScaleOf(Window.window)
    readonly property int count: model ? model.length : 0
    readonly property string currentText: currentIndex >= 0 && currentIndex < count ? String(model[currentIndex])
                                                                                     : noSelectionText
    readonly property bool popupOpen: popup.opened

    signal activated()
    signal activatedBySource()

    implicitWidth: 120
    implicitHeight: 32

    function integerModel(n) {
        var list = []
        for (var i = 1; i <= n; ++i) {
            list.push(i)
        }
        return list
    }

    function revertToCurrentIndexSource() {
        if (currentIndexSource !== currentIndex) {
            currentIndex = currentIndexSource
            activatedBySource()
        }
    }

    onCurrentIndexSourceChanged: revertToCurrentIndexSource()
    Component.onCompleted: revertToCurrentIndexSource()

    function choose(index) {
        currentIndex = index
        popup.close()
        activated()
    }

    // Sizes the grid to fit the window (shrinking the items, at most to half their size) and places
    // it below the box, moved up or left as far as needed to stay inside the window.
    function openPopup() {
        var window = Window.window
        if (window === null || count === 0) {
            return
        }
        var columnCount = Math.max(1, columns)
        var rows = Math.ceil(count / columnCount)
        var width = itemWidth * columnCount
        var height = itemHeight * rows
        var shrink = 1
        if (height > window.height || width > window.width) {
            shrink = Math.max(0.5, Math.min(window.height / height, window.width / width))
        }
        popup.cellWidth = itemWidth * shrink
        popup.cellHeight = itemHeight * shrink
        var below = combo.mapToItem(null, 0, combo.height)
        var popupWidth = popup.cellWidth * columnCount
        var popupHeight = popup.cellHeight * rows
        popup.x = Math.max(0, Math.min(below.x, window.width - popupWidth))
        popup.y = Math.max(0, Math.min(below.y, window.height - popupHeight))
        popup.open()
    }

    CorvoButton {
        id: box
        anchors.fill: parent
        text: combo.currentText
        showPopupIndicator: true
        elideText: true
        onClicked: combo.openPopup()
    }

    Connections {
        target: combo.Window.window
        ignoreUnknownSignals: true
        function onWidthChanged() {
            popup.close()
        }
        function onHeightChanged() {
            popup.close()
        }
    }

    Popup {
        id: popup
        objectName: "comboPopup"
        parent: Overlay.overlay
        modal: true
        // Open, it has the keys: Tab goes round inside it, not to the value boxes under it.
        focus: true
        padding: 0
        closePolicy: Popup.CloseOnEscape | Popup.CloseOnPressOutside
        property real cellWidth: combo.itemWidth
        property real cellHeight: combo.itemHeight

        background: Rectangle {
            color: Styles.colorBG
            border.color: Styles.colorTextHighlight
            border.width: 1
            radius: 4 * combo.globalScale
        }

        contentItem: Grid {
            columns: Math.max(1, combo.columns)

            Repeater {
                model: combo.count

                Rectangle {
                    objectName: "comboItem" + index
                    width: popup.cellWidth
                    height: popup.cellHeight
                    radius: 4 * combo.globalScale
                    color: itemArea.containsMouse ? Styles.colorHighlight : Styles.colorBG
                    border.color: index === combo.currentIndex ? Styles.colorHighlight2 : "transparent"
                    border.width: 1

                    Text {
                        anchors.fill: parent
                        anchors.leftMargin: 6 * combo.globalScale
                        anchors.rightMargin: 6 * combo.globalScale
                        text: String(combo.model[index])
                        color: index === combo.currentIndex ? Styles.colorTextHighlight : Styles.colorText
                        font.family: Styles.fonts.family
                        font.bold: true
                        font.pixelSize: Math.max(1, parent.height * 0.4)
                        elide: Text.ElideRight
                        horizontalAlignment: Text.AlignHCenter
                        verticalAlignment: Text.AlignVCenter
                    }

                    MouseArea {
                        id: itemArea
                        anchors.fill: parent
                        hoverEnabled: true
                        onClicked: combo.choose(index)
                    }
                }
            }
        }
    }
}
