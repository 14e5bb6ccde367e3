import QtQuick 2.12

// A vertical fader on a continuous-controller driver (value 0 at minPosition, 1 at maxPosition).
// A drag moves the knob by the vertical movement, damped by e^(-|dx|/width) once the finger is
// more than half the width to the side; a press held for 250 ms lets the next small movement move
// it; two presses without movement within 500 ms emit doubleClicked.
Item {
    id: fader

    property QtObject driver: internalDriver
    property real maxPosition: 0
    property real minPosition: height
    property real faderYThreshold: 0
    property real faderXYThresholdRatio: 1.0
    property bool glowOnTouch: false
    property bool externalCancel: false
    property bool moved: false

    signal doubleClicked()

    readonly property real value: driver !== null ? Math.max(0, Math.min(1, driver.value)) : 0
    readonly property real knobWidth: width * 0.8
    readonly property real knobHeight: knobWidth * 2.13
    readonly property real knobPosition: minPosition - value * (minPosition - maxPosition)
    readonly property bool touched: touchArea.pressed

    // Press state: where the touch started, where the knob was then, and the presses counted
    // towards a double click.
    property real startX: 0
    property real startY: 0
    property real startPosition: 0
    property real dampingFactor: 1
    property int pressesWithoutMovement: 0
    property double firstPressTime: 0

    function cancelPressAndHold() {
        holdTimer.stop()
    }

    function beginPress(x, y) {
        startX = x
        startY = y
        startPosition = knobPosition
        moved = false
        dampingFactor = 1
        holdTimer.restart()
    }

    implicitWidth: 69
    implicitHeight: 313

    QtObject {
        id: internalDriver
        property real value: 0
        function setValue(newValue) {
            value = newValue
        }
    }

    Timer {
        id: holdTimer
        interval: 250
        onTriggered: fader.moved = true
    }

    Item {
        id: knob
        objectName: "faderKnob"
        width: fader.knobWidth
        height: fader.knobHeight
        x: (fader.width - width) / 2
        y: fader.knobPosition - height / 2

        Image {
            id: cap
            width: knob.width * 1.56
            height: knob.height * 1.10
            x: (knob.width - width) / 2 - width * 7 / 92
            y: (knob.height - height) / 2 - height * 6 / 138
            source: "qrc:/FaderCap.svg"
            sourceSize: Qt.size(Math.max(1, width), Math.max(1, height))
        }

        Image {
            width: cap.width * 0.9
            height: cap.height * 0.93
            x: cap.x + (cap.width - width) / 2
            y: cap.y + (cap.height - height) / 2
            z: -1
            source: "qrc:/FaderCapShadow.png"
            opacity: 0.75
            smooth: true
        }

        // Made only while glowOnTouch is on: an effect item per fader is dear to make.
        Loader {
            anchors.fill: parent
            active: fader.glowOnTouch
            source: "qrc:/FaderGlow.qml"
            onLoaded: {
                item.knobWidth = Qt.binding(function() { return knob.width })
                item.visible = Qt.binding(function() { return fader.touched })
                item.opacity = Qt.binding(function() { return fader.dampingFactor })
            }
        }
    }

    MouseArea {
        id: touchArea
        x: 0
        y: -fader.knobHeight / 2
        width: fader.width
        height: fader.height + fader.knobHeight
        preventStealing: true

        onPressed: {
            fader.forceActiveFocus()
            fader.beginPress(mouse.x, mouse.y)
            var now = Date.now()
            if (fader.pressesWithoutMovement === 0 || now - fader.firstPressTime > 500) {
                fader.pressesWithoutMovement = 1
                fader.firstPressTime = now
            } else {
                fader.pressesWithoutMovement += 1
            }
        }

        onPositionChanged: {
            if (!pressed) {
                return
            }
            if (fader.externalCancel) {
                fader.externalCancel = false
                fader.beginPress(mouse.x, mouse.y)
                return
            }
            var dy = mouse.y - fader.startY
            var dx = mouse.x - fader.startX
            var deadBand = fader.width / 2
            if (Math.abs(dx) <= deadBand) {
                dx = 0
            } else {
                dx = dx > 0 ? dx - deadBand : dx + deadBand
            }
            if (!fader.moved) {
                if (Math.abs(dy) <= fader.faderYThreshold
                        || Math.abs(dy) <= fader.faderXYThresholdRatio * Math.abs(dx)) {
                    return
                }
                fader.moved = true
            }
            fader.pressesWithoutMovement = 0
            var k = fader.width > 0 ? Math.exp(-Math.abs(dx) / fader.width) : 1
            fader.dampingFactor = k
            var step = dy * k
            var travel = fader.minPosition - fader.maxPosition
            if (Math.abs(step) <= 1 || travel <= 0 || fader.driver === null) {
                return
            }
            var position = Math.max(fader.maxPosition, Math.min(fader.minPosition, fader.startPosition + step))
            fader.driver.setValue((fader.minPosition - position) / travel)
            fader.startY = mouse.y
            fader.startPosition = position
        }

        onReleased: {
            holdTimer.stop()
            fader.moved = false
            if (fader.pressesWithoutMovement >= 2 && Date.now() - fader.firstPressTime <= 500) {
                fader.pressesWithoutMovement = 0
                fader.doubleClicked()
            }
        }

        onCanceled: {
            holdTimer.stop()
            fader.moved = false
        }
    }
}
