import QtQuick 2.12
import QtQuick.Window 2.12

// The "Faders" tab: the input pair, a divider, and the outputs of the low, mid and high panels.
Item {
    id: panel

    property QtObject panelBackend: null

    readonly property real spacingInputOutput: 0.05 * width
    readonly property real spacingOutput: 0.025 * width
    readonly property real spacingLeftRight: 0.01 * width
    readonly property real blockWidth: (width - (spacingInputOutput + 2 * spacingOutput + 2 * spacingLeftRight)) / 4
    readonly property real blockHeight: 0.85 * height
    readonly property real dividerWidth: Math.floor(5 * Styles.globalScaleOf(Window.window))

    Row {
        anchors.centerIn: parent

        FaderBlock {
            id: inputBlock
            objectName: "inputBlock"
            width: panel.blockWidth
            height: panel.blockHeight
            label: qsTr("Input")
            leftBackend: panel.panelBackend !== null ? panel.panelBackend.inputL : null
            rightBackend: panel.panelBackend !== null ? panel.panelBackend.inputR : null
        }

        Item {
            width: panel.spacingInputOutput
            height: panel.blockHeight
            Rectangle {
                anchors.centerIn: parent
                width: panel.dividerWidth
                height: inputBlock.scaledHeight
                color: Styles.colorBG
            }
        }

        FaderBlock {
            objectName: "lowBlock"
            width: panel.blockWidth
            height: panel.blockHeight
            label: qsTr("Low")
            leftBackend: panel.panelBackend !== null ? panel.panelBackend.lowL : null
            rightBackend: panel.panelBackend !== null ? panel.panelBackend.lowR : null
        }

        Item {
            width: panel.spacingOutput
            height: panel.blockHeight
        }

        FaderBlock {
            objectName: "midBlock"
            width: panel.blockWidth
            height: panel.blockHeight
            label: qsTr("Mid")
            leftBackend: panel.panelBackend !== null ? panel.panelBackend.midL : null
            rightBackend: panel.panelBackend !== null ? panel.panelBackend.midR : null
        }

        Item {
            width: panel.spacingOutput
            height: panel.blockHeight
        }

        FaderBlock {
            objectName: "highBlock"
            width: panel.blockWidth
            height: panel.blockHeight
            label: qsTr("High")
            leftBackend: panel.panelBackend !== null ? panel.panelBackend.highL : null
            rightBackend: panel.panelBackend !== null ? panel.panelBackend.highR : null
        }
    }
}
