import QtQuick 2.12
import QtQuick.Window 2.12

// The drag handle of one band of the response graph, centred on dragPoint (graph pixels). A press
// selects a band that is not selected; a drag reports the handle's new centre (a press that does
// not move reports nothing, so a click never moves a band); a press on the selected band that
// ends without moving sideways by 2 mm deselects it.
Item {
    id: handle

    property point dragPoint: Qt.point(0, 0)
    property bool selected: false
    property real touchSize: 40
    property real markerSize: 16
    property color colour: "white"
    readonly property bool pressed: touchArea.pressed

    signal draggedSignal(int x, int y)
    signal selectedSignal()

    // Where the press started, in the graph's coordinates, and the handle's centre then.
    property point pressPoint: Qt.point(0, 0)
    property point startPoint: Qt.point(0, 0)
    property bool wasSelected: false
    property bool moved: false

    width: touchSize
    height: touchSize
    x: dragPoint.x - width / 2
    y: dragPoint.y - height / 2

    function moveTo(mouse) {
        var point = touchArea.mapToItem(handle.parent, mouse.x, mouse.y)
        if (point.x !== pressPoint.x || point.y !== pressPoint.y) {
            moved = true
        }
        if (!moved) {
            return point
        }
        handle.draggedSignal(Math.round(startPoint.x + point.x - pressPoint.x),
                             Math.round(startPoint.y + point.y - pressPoint.y))
        return point
    }

    Rectangle {
        objectName: "marker"
        anchors.centerIn: parent
        width: handle.markerSize
        height: handle.markerSize
        color: handle.colour
        border.color: handle.colour
        border.width: 2
    }

    MouseArea {
        id: touchArea
        anchors.fill: parent
        enabled: handle.enabled
        preventStealing: true

        onPressed: {
            handle.pressPoint = mapToItem(handle.parent, mouse.x, mouse.y)
            handle.startPoint = handle.dragPoint
            handle.wasSelected = handle.selected
            handle.moved = false
            if (!handle.selected) {
                handle.selectedSignal()
            }
        }
        onPositionChanged: {
            if (pressed) {
                handle.moveTo(mouse)
            }
        }
        onReleased: {
            var point = handle.moveTo(mouse)
            if (handle.wasSelected && Math.abs(point.x - handle.pressPoint.x) < 2 * Screen.pixelDensity) {
                handle.selectedSignal()
            }
        }
    }
}
