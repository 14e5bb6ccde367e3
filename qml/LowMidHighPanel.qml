import QtQuick 2.12
import QtQuick.Window 2.12
import KVQml 2.0

// The "Low", "Mid" and "High" tabs: the high- and low-pass filters, the delays with their gang,
// one or two PEQ blocks with their gang, and the panel's output faders.
Item {
    id: panel

    property QtObject panelBackend: null
    property bool showSetupLPF: true
    property bool showSlopeHPF: false
    property real blockWidth: 0
    property real blockHeight: 0

    readonly property real verticalSpacing: 0.03 * height
    readonly property real horizontalSpacing: 0.03 * width
    readonly property real sideSpacing: 0.01 * width
    readonly property real globalScale: Styles.globalScaleOf(Window.window)
    readonly property int dividerWidth: Math.floor(5 * globalScale)
    readonly property int toggleButtonWidth: Math.floor(64 * 0.55 * globalScale)
    readonly property int toggleButtonHeight: Math.floor(56 * 0.55 * globalScale)
    readonly property int valueWidgetWidth: Math.floor(65 * globalScale)
    readonly property int valueWidgetHeight: Math.floor(24 * globalScale)
    readonly property int valueWidgetBGWidth: Math.floor(75 * globalScale)
    readonly property int valueWidgetBGHeight: Math.floor(37 * globalScale)
    readonly property real labelPixelSize: Math.max(1, 12 * globalScale)
    readonly property bool peqGanged: panelBackend !== null && panelBackend.ganged.value

    FaderBlock {
        id: outputBlock
        objectName: "outputBlock"
        anchors.right: parent.right
        anchors.rightMargin: panel.sideSpacing
        anchors.verticalCenter: parent.verticalCenter
        width: panel.blockWidth
        height: panel.blockHeight
        label: qsTr("Output")
        leftBackend: panel.panelBackend !== null ? panel.panelBackend.outFadersL : null
        rightBackend: panel.panelBackend !== null ? panel.panelBackend.outFadersR : null
    }

    Item {
        id: outputGap
        anchors.right: outputBlock.left
        width: panel.horizontalSpacing
        height: parent.height
        Rectangle {
            anchors.centerIn: parent
            width: panel.dividerWidth
            height: outputBlock.scaledHeight
            color: Styles.colorBG
        }
    }

    Item {
        id: controls
        anchors.left: parent.left
        anchors.leftMargin: panel.sideSpacing
        anchors.right: outputGap.left
        anchors.top: parent.top
        anchors.bottom: parent.bottom

        Item {
            id: setupArea
            width: parent.width
            height: parent.height / 4

            Column {
                id: filterArea
                objectName: "filterArea"
                anchors.centerIn: filterHalf
                spacing: panel.verticalSpacing / 2

                Row {
                    objectName: "hpfRow"
                    spacing: Styles.spacing * panel.globalScale
                    Image {
                        anchors.verticalCenter: parent.verticalCenter
                        width: panel.toggleButtonWidth
                        height: width * 56 / 64
                        source: "qrc:/HighPass.svg"
                        sourceSize: Qt.size(Math.max(1, width), Math.max(1, height))
                    }
                    CorvoCombiWidget {
                        objectName: "hpfFrequency"
                        anchors.verticalCenter: parent.verticalCenter
                        backgroundSource: "qrc:/ValueBGPass.svg"
                        backgroundWidth: panel.valueWidgetBGWidth
                        backgroundHeight: panel.valueWidgetBGHeight
                        widgetWidth: panel.valueWidgetWidth
                        widgetHeight: panel.valueWidgetHeight
                        driver: panel.panelBackend !== null ? panel.panelBackend.valueLF : null
                        kvCCType: KVCCFormat.FREQ_HZ
                        decimalPlaces: KVCCFormat.ONE_DECIMAL_PLACE
                    }
                    CorvoToggleButton {
                        objectName: "hpfInOut"
                        anchors.verticalCenter: parent.verticalCenter
                        width: panel.toggleButtonWidth
                        height: panel.toggleButtonHeight
                        textOn: qsTr("IN")
                        textOff: qsTr("OUT")
                        driver: panel.panelBackend !== null ? panel.panelBackend.bypassDriverLF : null
                        invert: true
                    }
                }

                Row {
                    objectName: "slopeRow"
                    visible: panel.showSlopeHPF
                    spacing: Styles.spacing * panel.globalScale
                    height: panel.valueWidgetBGHeight
                    Text {
                        anchors.verticalCenter: parent.verticalCenter
                        text: qsTr("Slope")
                        color: "white"
                        font.family: Styles.fonts.family
                        font.bold: true
                        font.pixelSize: panel.labelPixelSize
                    }
                    CorvoComboBox {
                        objectName: "slopeChooser"
                        anchors.verticalCenter: parent.verticalCenter
                        width: 1.7 * panel.valueWidgetBGWidth
                        height: 0.7 * parent.height
                        model: panel.panelBackend !== null ? panel.panelBackend.slopeLF.descriptionsStringList : []
                        currentIndexSource: panel.panelBackend !== null ? panel.panelBackend.slopeLF.currentIndex : -1
                        onActivated: {
                            if (panel.panelBackend !== null) {
                                panel.panelBackend.slopeLF.currentIndex = currentIndex
                            }
                        }
                    }
                }

                Row {
                    objectName: "lpfRow"
                    visible: panel.showSetupLPF
                    spacing: Styles.spacing * panel.globalScale
                    Image {
                        anchors.verticalCenter: parent.verticalCenter
                        width: panel.toggleButtonWidth
                        height: width * 56 / 64
                        source: "qrc:/LowPass.svg"
                        sourceSize: Qt.size(Math.max(1, width), Math.max(1, height))
                    }
                    CorvoCombiWidget {
                        objectName: "lpfFrequency"
                        anchors.verticalCenter: parent.verticalCenter
                        backgroundSource: "qrc:/ValueBGPass.svg"
                        backgroundWidth: panel.valueWidgetBGWidth
                        backgroundHeight: panel.valueWidgetBGHeight
                        widgetWidth: panel.valueWidgetWidth
                        widgetHeight: panel.valueWidgetHeight
                        driver: panel.panelBackend !== null ? panel.panelBackend.valueHF : null
                        kvCCType: KVCCFormat.FREQ_HZ
                        decimalPlaces: KVCCFormat.ONE_DECIMAL_PLACE
                    }
                    CorvoToggleButton {
                        objectName: "lpfInOut"
                        anchors.verticalCenter: parent.verticalCenter
                        width: panel.toggleButtonWidth
                        height: panel.toggleButtonHeight
                        textOn: qsTr("IN")
                        textOff: qsTr("OUT")
                        driver: panel.panelBackend !== null ? panel.panelBackend.bypassDriverHF : null
                        invert: true
                    }
                }
            }

            Item {
                id: filterHalf
                width: parent.width / 2
                height: parent.height
            }

            Rectangle {
                x: parent.width / 2 - width / 2
                anchors.verticalCenter: parent.verticalCenter
                width: panel.dividerWidth
                height: 0.8 * parent.height
                color: Styles.colorBG
            }

            Item {
                id: delayHalf
                x: parent.width / 2
                width: parent.width / 2
                height: parent.height

                Row {
                    objectName: "delayArea"
                    anchors.centerIn: parent
                    spacing: panel.horizontalSpacing

                    Column {
                        spacing: 4 * panel.globalScale
                        Text {
                            anchors.horizontalCenter: parent.horizontalCenter
                            text: qsTr("Delay L")
                            color: "white"
                            font.family: Styles.fonts.family
                            font.bold: true
                            font.pixelSize: panel.labelPixelSize
                        }
                        CorvoCombiWidget {
                            objectName: "delayLeft"
                            backgroundSource: "qrc:/ValueBGDelay.svg"
                            backgroundWidth: panel.valueWidgetBGWidth
                            backgroundHeight: panel.valueWidgetBGHeight
                            widgetWidth: panel.valueWidgetWidth
                            widgetHeight: panel.valueWidgetHeight
                            driver: panel.panelBackend !== null ? panel.panelBackend.delayL : null
                            kvCCType: KVCCFormat.TIME_SEC
                            decimalPlaces: KVCCFormat.ONE_DECIMAL_PLACE
                        }
                    }

                    CorvoToggleButton {
                        objectName: "delayGang"
                        anchors.bottom: parent.bottom
                        width: panel.toggleButtonWidth
                        height: panel.toggleButtonHeight
                        textOn: qsTr("GANG")
                        textOff: qsTr("GANG")
                        driver: panel.panelBackend !== null ? panel.panelBackend.delayGanged : null
                    }

                    Column {
                        spacing: 4 * panel.globalScale
                        Text {
                            anchors.horizontalCenter: parent.horizontalCenter
                            text: qsTr("Delay R")
                            color: "white"
                            font.family: Styles.fonts.family
                            font.bold: true
                            font.pixelSize: panel.labelPixelSize
                        }
                        CorvoCombiWidget {
                            objectName: "delayRight"
                            backgroundSource: "qrc:/ValueBGDelay.svg"
                            backgroundWidth: panel.valueWidgetBGWidth
                            backgroundHeight: panel.valueWidgetBGHeight
                            widgetWidth: panel.valueWidgetWidth
                            widgetHeight: panel.valueWidgetHeight
                            driver: panel.panelBackend !== null ? panel.panelBackend.delayR : null
                            kvCCType: KVCCFormat.TIME_SEC
                            decimalPlaces: KVCCFormat.ONE_DECIMAL_PLACE
                        }
                    }
                }
            }
        }

        Rectangle {
            id: horizontalDivider
            anchors.top: setupArea.bottom
            anchors.horizontalCenter: parent.horizontalCenter
            width: 0.8 * parent.width
            height: panel.dividerWidth
            color: Styles.colorBG
        }

        Item {
            id: peqArea
            objectName: "peqArea"
            anchors.top: horizontalDivider.bottom
            anchors.bottom: parent.bottom
            width: parent.width

            CorvoToggleButton {
                id: peqGang
                objectName: "peqGang"
                anchors.top: parent.top
                anchors.right: parent.right
                anchors.topMargin: panel.verticalSpacing / 2
                width: panel.toggleButtonWidth
                height: panel.toggleButtonHeight
                textOn: qsTr("GANG")
                textOff: qsTr("GANG")
                driver: panel.panelBackend !== null ? panel.panelBackend.ganged : null
            }

            Row {
                anchors.horizontalCenter: parent.horizontalCenter
                anchors.top: peqGang.bottom
                anchors.topMargin: panel.verticalSpacing / 3
                anchors.bottom: parent.bottom
                anchors.bottomMargin: panel.verticalSpacing / 2
                spacing: panel.horizontalSpacing

                PEQBlock {
                    objectName: "peqBlockLeft"
                    width: panel.peqGanged ? peqArea.width : (peqArea.width - panel.horizontalSpacing) / 2
                    height: parent.height
                    bandSetup: panel.panelBackend !== null ? panel.panelBackend.panelType : 0
                    blockBackend: panel.panelBackend !== null ? panel.panelBackend.peqBlockL : null
                }

                PEQBlock {
                    objectName: "peqBlockRight"
                    visible: !panel.peqGanged
                    width: (peqArea.width - panel.horizontalSpacing) / 2
                    height: parent.height
                    bandSetup: panel.panelBackend !== null ? panel.panelBackend.panelType : 0
                    blockBackend: panel.panelBackend !== null ? panel.panelBackend.peqBlockR : null
                }
            }
        }
    }
}
