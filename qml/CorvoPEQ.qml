import QtQuick 2.12
import QtQuick.Window 2.12
import QtQuick.Shapes 1.11
import KVQml 2.0
import Corvo 1.0
import ThemeColours 1.0

// The response graph of a parametric EQ: the scale, each band's curve and drag handle, and the
// combined curve, computed by a PEQQmlBackEnd from the driver's values. Dragging a handle moves its
// band; spreading or pinching two fingers widens or narrows the selected band.
Rectangle {
    id: graph

    property real dragPointRadius: 5 * Screen.pixelDensity
    property bool overviewMode: false
    property bool fillFromMin: false
    property bool showDragHandles: !overviewMode
    property bool drawCombinedCurve: true
    property bool fillCombinedCurve: !drawIndividualCurves
    property bool drawScale: !overviewMode
    property bool drawIndividualCurves: true
    property bool fillIndividualCurves: false
    property real fontScale: 1
    property int selectedBand: -1
    property bool pinchWidthEnabled: true
    property bool allowSizeChanges: true
    property var hiddenBands: []

    property alias gainRangeMin: backEnd.gainRangeMin
    property alias gainRangeMax: backEnd.gainRangeMax
    property alias bandList: backEnd.bandList
    property alias driver: backEnd.driver
    property alias backEnd: backEnd

    readonly property bool fullyBypassed: backEnd.fullyBypassed
    readonly property color bypassedColour: Theme.peqGraphBypassed.overviewColour

    color: "#15282e"
    width: 800 * Theme.scaleFactor
    height: 400 * Theme.scaleFactor
    clip: true
    // Qt 5.15's software renderer draws a layer blank at a scale factor above 1; it antialiases the
    // curves itself.
    layer.enabled: GraphicsInfo.api !== GraphicsInfo.Software
    layer.samples: 4
    layer.format: Qt.platform.os === "windows" ? ShaderEffectSource.RGBA : ShaderEffectSource.RGB

    function isBandPressed(i) {
        var item = handles.itemAt(i)
        return item !== null && item.pressed
    }

    function enableBandDrag(i, enabled) {
        var item = handles.itemAt(i)
        if (item !== null) {
            item.enabled = enabled
        }
    }

    function bandVisible(i) {
        return hiddenBands.indexOf(i) < 0
    }

    function bandBypassed(band, index) {
        return band.bypassed || (index < 6 && backEnd.fullyBypassed)
    }

    // The scale texts follow the graph's size, as the window's texts follow the window: at 1/26 of
    // the width the closest labels (100 and 200 Hz, an octave apart) stay about half a text size
    // apart, and at 1/12 of the height the gain labels (6 dB apart) stay clear of each other.
    readonly property int scaleFontPixelSize: Math.max(1, Math.floor(fontScale * Math.min(width / 26, height / 12)))

    // Fixes the scale font; its size sets the room the back end keeps for the labels.
    Text {
        id: scaleFont
        visible: false
        text: "12"
        font.family: "Spartan"
        font.bold: true
        font.pixelSize: graph.scaleFontPixelSize
    }

    PEQQmlBackEnd {
        id: backEnd
        xScaleMargin: 1.2 * scaleFont.height
        yScaleMargin: 1.2 * scaleFont.width
        width: graph.width
        height: graph.height
        calculateCombinedCurve: graph.drawCombinedCurve || graph.fillCombinedCurve
        fillFromMin: graph.fillFromMin
        allowSizeChanges: graph.allowSizeChanges
    }

    Shape {
        objectName: "scale"
        anchors.fill: parent
        visible: graph.drawScale
        ShapePath {
            strokeColor: Theme.graphLine.scaleMajor
            strokeWidth: 1
            fillColor: "transparent"
            startX: -graph.width
            startY: 0
            PathPainterPath { path: backEnd.svgPathDataScaleMajor }
        }
    }

    MultiPointTouchArea {
        anchors.fill: parent
        enabled: graph.showDragHandles && graph.pinchWidthEnabled
        mouseEnabled: false
        minimumTouchPoints: 2
        maximumTouchPoints: 2
        touchPoints: [
            TouchPoint { id: firstFinger },
            TouchPoint { id: secondFinger }
        ]
        property real previousDistance: -1

        function distance() {
            var dx = firstFinger.x - secondFinger.x
            var dy = firstFinger.y - secondFinger.y
            return Math.sqrt(dx * dx + dy * dy)
        }
        onPressed: previousDistance = firstFinger.pressed && secondFinger.pressed ? distance() : -1
        onReleased: previousDistance = -1
        onUpdated: {
            if (!firstFinger.pressed || !secondFinger.pressed) {
                previousDistance = -1
                return
            }
            var current = distance()
            if (previousDistance >= 0 && Screen.pixelDensity > 0) {
                backEnd.setPinchDelta(graph.selectedBand, (current - previousDistance) / Screen.pixelDensity)
            }
            previousDistance = current
        }
    }

    Repeater {
        objectName: "bandFills"
        model: graph.fillIndividualCurves ? backEnd.bandList : []
        Shape {
            anchors.fill: parent
            visible: graph.bandVisible(index)
            readonly property bool bypassed: graph.bandBypassed(modelData, index)
            readonly property color colour: modelData.bandColour
            ShapePath {
                strokeColor: "transparent"
                startX: -graph.width
                startY: backEnd.zeroYPos
                fillGradient: LinearGradient {
                    x1: 0
                    y1: 0
                    x2: 0
                    y2: graph.height
                    GradientStop {
                        position: 0
                        color: bypassed ? "#99808080" : Qt.rgba(colour.r, colour.g, colour.b, 0.6)
                    }
                    GradientStop {
                        position: 0.5
                        color: bypassed ? "#4f808080" : Qt.rgba(colour.r, colour.g, colour.b, 0.3)
                    }
                    GradientStop {
                        position: 1
                        color: bypassed ? "#99808080" : Qt.rgba(colour.r, colour.g, colour.b, 0.6)
                    }
                }
                PathPainterPath { path: modelData.path }
            }
        }
    }

    Shape {
        objectName: "combinedFill"
        anchors.fill: parent
        visible: graph.fillCombinedCurve
        ShapePath {
            strokeColor: "transparent"
            fillColor: backEnd.fullyBypassed ? Qt.tint(graph.bypassedColour, "#a0000000") : "#30ffffff"
            startX: -graph.width
            startY: backEnd.zeroYPos
            PathPainterPath { path: backEnd.combinedPath }
        }
    }

    Repeater {
        objectName: "bandLines"
        model: graph.drawIndividualCurves ? backEnd.bandList : []
        Shape {
            anchors.fill: parent
            visible: graph.bandVisible(index)
            ShapePath {
                strokeColor: graph.bandBypassed(modelData, index) ? graph.bypassedColour : modelData.bandColour
                strokeWidth: Theme.grGraphActive.mainLineWidth
                fillColor: "transparent"
                startX: -graph.width
                startY: backEnd.zeroYPos
                PathPainterPath { path: modelData.linePath }
            }
        }
    }

    Shape {
        objectName: "combinedLine"
        anchors.fill: parent
        visible: graph.drawCombinedCurve
        antialiasing: true
        ShapePath {
            strokeColor: backEnd.allBandsBypassed || backEnd.fullyBypassed ? graph.bypassedColour : "white"
            strokeWidth: 1
            fillColor: "transparent"
            startX: -graph.width
            startY: backEnd.zeroYPos
            PathPainterPath { path: backEnd.combinedPathLine }
        }
    }

    Repeater {
        id: handles
        objectName: "dragHandles"
        model: graph.showDragHandles ? backEnd.bandList : []
        PEQBandDragHandle {
            objectName: "dragHandle" + index
            visible: graph.bandVisible(index)
            dragPoint: Qt.point(graph.width * modelData.graphDragPoint.x, graph.height * modelData.graphDragPoint.y)
            touchSize: 5 * graph.dragPointRadius
            markerSize: 2 * graph.dragPointRadius
            colour: graph.bandBypassed(modelData, index) ? "#99808080" : modelData.bandColour
            selected: graph.selectedBand === index
            onDraggedSignal: modelData.setDragPos(x, y)
            onSelectedSignal: graph.selectedBand = graph.selectedBand === index ? -1 : index
        }
    }

    Repeater {
        objectName: "scaleLabels"
        model: graph.drawScale ? backEnd.scaleTextList : []
        Text {
            x: modelData.position.x - width / 2
            y: modelData.position.y - height / 2
            text: modelData.scaleText
            color: "white"
            font: scaleFont.font
        }
    }
}
