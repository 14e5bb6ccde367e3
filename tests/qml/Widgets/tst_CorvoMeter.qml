import QtQuick 2.12
import QtTest 1.12
import KVDrivers 1.0
import "qrc:/"

// The meter's cover: black from the top down to the level, so the lit part grows from the bottom.
// Levels come from the metering sources by framework message, so a stand-in with the driver's
// value property moves them here; a real meter driver, silent, covers the whole bar.
WidgetTestCase {
    id: testCase
    name: "CorvoMeter"
    width: 100
    height: 400

    QtObject {
        id: level
        property real value: 0
    }

    QtSignalSlotMeterDriver {
        id: silentDriver
    }

    CorvoMeter {
        id: meter
        x: 20
        y: 20
        width: 12
        height: 355
        driver: level
    }

    function test_cover_coversDownToTheLevel_data() {
        return [
            { tag: "silence", value: 0, height: 355 },
            { tag: "a quarter", value: 0.25, height: 266 },
            { tag: "half, rounded up", value: 0.5, height: 178 },
            { tag: "full", value: 1, height: 0 },
            { tag: "above full", value: 1.5, height: 0 },
            { tag: "below silence", value: -0.5, height: 355 },
        ]
    }

    function test_cover_coversDownToTheLevel(data) {
        meter.driver = level
        level.value = data.value
        var cover = findChild(meter, "meterCover")
        compare(cover.height, data.height)
        compare(cover.y, 0)
        compare(cover.width, meter.width)
        verify(Qt.colorEqual(cover.color, "black"))
        fuzzyCompare(cover.opacity, 0.8, 1e-6)
    }

    // A hidden meter follows nothing; shown again, it shows the driver's level at once.
    function test_cover_hiddenMeterShowsTheLevelOnceShown() {
        meter.driver = level
        level.value = 0.25
        meter.visible = false
        level.value = 1
        meter.visible = true
        compare(findChild(meter, "meterCover").height, 0)
        level.value = 0.5
        compare(findChild(meter, "meterCover").height, 178)
    }

    function test_cover_silentDriverCoversTheBar() {
        meter.driver = silentDriver
        compare(findChild(meter, "meterCover").height, meter.height)
        meter.driver = null
        compare(findChild(meter, "meterCover").height, meter.height)
    }
}
