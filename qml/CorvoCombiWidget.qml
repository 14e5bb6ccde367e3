import QtQuick 2.12
import KVQml 2.0

// A value box centred on a background image.
Item {
    id: combi

    property string backgroundSource: ""
    property real backgroundWidth: 75
    property real backgroundHeight: 37
    property real widgetWidth: 65
    property real widgetHeight: 24
    property QtObject driver: null
    property int kvCCType: KVCCFormat.DONT_INTERPRET
    property int decimalPlaces: KVCCFormat.NO_DECIMAL_PLACES
    property alias valueWidget: valueWidget

    implicitWidth: backgroundWidth
    implicitHeight: backgroundHeight

    Image {
        anchors.centerIn: parent
        width: combi.backgroundWidth
        height: combi.backgroundHeight
        source: combi.backgroundSource
        sourceSize: Qt.size(Math.max(1, width), Math.max(1, height))
    }

    CorvoValueWidget {
        id: valueWidget
        anchors.centerIn: parent
        width: combi.widgetWidth
        height: combi.widgetHeight
        driver: combi.driver
        kvCCType: combi.kvCCType
        decimalPlaces: combi.decimalPlaces
    }
}
