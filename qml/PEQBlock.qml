import QtQuick 2.12
import QtQuick.Window 2.12
import KVQml 2.0
import Corvo 1.0

// One parametric EQ: the response graph with a handle per band, and under it per band its
// frequency, gain and width boxes (type buttons on the outer bands), with the EQ's in/out button
// at the bottom. Drawn in a 600 x 580 design scaled to fit and centred.
Item {
    id: block

    property QtObject blockBackend: null
    property int bandSetup: 0

    readonly property real designWidth: 600
    readonly property real designHeight: 580
    readonly property real s: height * designWidth / designHeight <= width ? height / designHeight
                                                                          : width / designWidth
    readonly property var bands: bandsFor(bandSetup)
    readonly property alias graph: graph

    function bandsFor(setup) {
        switch (setup) {
        case 1:
            return [lfBand, hfBand]
        case 2:
            return [lfBand, lm2Band, hm1Band, hfBand]
        case 3:
            return [lfBand, lm1Band, lm2Band, hm1Band, hm2Band, hfBand]
        }
        return []
    }

    function bandDrivers(index) {
        if (blockBackend === null || index < 0 || index >= blockBackend.bands.count) {
            return null
        }
        return blockBackend.bands.get(index)
    }

    PEQQmlBand { id: lfBand; bandColour: "#ff00ff"; bandBackground: "qrc:/ValueBGPink.svg" }
    PEQQmlBand { id: lm1Band; bandColour: "#a700fe"; bandBackground: "qrc:/ValueBGPurple.svg" }
    PEQQmlBand { id: lm2Band; bandColour: "#116c56"; bandBackground: "qrc:/ValueBGGreen.svg" }
    PEQQmlBand { id: hm1Band; bandColour: "#0084ff"; bandBackground: "qrc:/ValueBGBlue.svg" }
    PEQQmlBand { id: hm2Band; bandColour: "#9f2424"; bandBackground: "qrc:/ValueBGRed.svg" }
    PEQQmlBand { id: hfBand; bandColour: "#ff7200"; bandBackground: "qrc:/ValueBGOrange.svg" }

    Item {
        id: drawn
        objectName: "drawnArea"
        width: block.designWidth * block.s
        height: block.designHeight * block.s
        anchors.centerIn: parent

        CorvoPEQ {
            id: graph
            objectName: "graph"
            x: 0
            y: 0
            width: 600 * block.s
            height: 280 * block.s
            color: "#000000"
            gainRangeMin: -20
            gainRangeMax: 20
            dragPointRadius: 4 * block.s
            driver: block.blockBackend !== null ? block.blockBackend.peqDriver : null
            bandList: block.bands
        }

        Row {
            id: bandControls
            objectName: "bandControls"
            anchors.horizontalCenter: parent.horizontalCenter
            y: graph.height + 10 * block.s
            spacing: (block.bandSetup === 1 ? 35 : block.bandSetup === 2 ? 15 : 1) * block.s

            Repeater {
                model: block.bands.length

                Column {
                    id: bandColumn
                    objectName: "bandColumn" + index
                    readonly property int bandIndex: index
                    readonly property QtObject band: block.bands[index]
                    readonly property QtObject drivers: block.bandDrivers(index)
                    readonly property QtObject typeSwitch: drivers !== null ? drivers.bandTypeSwitchDriver : null
                    readonly property bool firstBand: index === 0
                    readonly property bool lastBand: index === 2 * block.bandSetup - 1
                    readonly property bool widthShown: typeSwitch === null || typeSwitch.integerValue === PEQTypes.BELL
                    spacing: 10 * block.s

                    CorvoCombiWidget {
                        objectName: "frequencyBox" + bandColumn.bandIndex
                        backgroundSource: bandColumn.band.bandBackground
                        backgroundWidth: 75 * 1.3 * block.s
                        backgroundHeight: 37 * 1.3 * block.s
                        widgetWidth: 65 * 1.3 * block.s
                        widgetHeight: 24 * 1.3 * block.s
                        width: backgroundWidth
                        height: backgroundHeight
                        driver: bandColumn.drivers !== null ? bandColumn.drivers.frequencyDriver : null
                        kvCCType: KVCCFormat.FREQ_HZ
                        decimalPlaces: KVCCFormat.ONE_DECIMAL_PLACE
                    }

                    CorvoCombiWidget {
                        objectName: "gainBox" + bandColumn.bandIndex
                        backgroundSource: bandColumn.band.bandBackground
                        backgroundWidth: 75 * 1.3 * block.s
                        backgroundHeight: 37 * 1.3 * block.s
                        widgetWidth: 65 * 1.3 * block.s
                        widgetHeight: 24 * 1.3 * block.s
                        width: backgroundWidth
                        height: backgroundHeight
                        driver: bandColumn.drivers !== null ? bandColumn.drivers.gainDriver : null
                        kvCCType: KVCCFormat.GAIN_OFFSET_DB
                        decimalPlaces: KVCCFormat.ONE_DECIMAL_PLACE
                    }

                    CorvoCombiWidget {
                        objectName: "widthBox" + bandColumn.bandIndex
                        visible: bandColumn.widthShown
                        backgroundSource: bandColumn.band.bandBackground
                        backgroundWidth: 75 * 1.3 * block.s
                        backgroundHeight: 37 * 1.3 * block.s
                        widgetWidth: 65 * 1.3 * block.s
                        widgetHeight: 24 * 1.3 * block.s
                        width: backgroundWidth
                        height: backgroundHeight
                        driver: bandColumn.drivers !== null ? bandColumn.drivers.widthDriver : null
                        kvCCType: ProjectCCFormat.FILTER_WIDTH
                    }

                    // Holds the hidden width box's place, so that a shelf band's type button stays in
                    // the row of the other type button and under the pointer that switched it.
                    Item {
                        visible: !bandColumn.widthShown
                        width: 75 * 1.3 * block.s
                        height: 37 * 1.3 * block.s
                    }

                    Image {
                        objectName: "typeButton" + bandColumn.bandIndex
                        readonly property int shelfType: bandColumn.firstBand ? PEQTypes.LFSHELF : PEQTypes.HFSHELF
                        readonly property bool shelf: bandColumn.typeSwitch !== null
                                                      && bandColumn.typeSwitch.integerValue === shelfType
                        visible: bandColumn.firstBand || bandColumn.lastBand
                        anchors.horizontalCenter: parent.horizontalCenter
                        width: 64 * block.s
                        height: 56 * block.s
                        source: bandColumn.firstBand ? (shelf ? "qrc:/ShelfLow.svg" : "qrc:/BellLow.svg")
                                                     : (shelf ? "qrc:/ShelfHigh.svg" : "qrc:/BellHigh.svg")
                        sourceSize: Qt.size(Math.max(1, width), Math.max(1, height))
                        MouseArea {
                            anchors.fill: parent
                            onClicked: {
                                parent.forceActiveFocus()
                                if (bandColumn.typeSwitch !== null) {
                                    bandColumn.typeSwitch.setValue(parent.shelf ? PEQTypes.BELL : parent.shelfType)
                                }
                            }
                        }
                    }
                }
            }
        }

        CorvoToggleButton {
            objectName: "inOutButton"
            anchors.horizontalCenter: parent.horizontalCenter
            anchors.bottom: parent.bottom
            width: 64 * block.s
            height: 56 * block.s
            textOn: qsTr("IN")
            textOff: qsTr("OUT")
            driver: block.blockBackend !== null ? block.blockBackend.bypassDriver : null
            invert: true
        }
    }
}
