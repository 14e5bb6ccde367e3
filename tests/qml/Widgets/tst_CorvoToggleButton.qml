import QtQuick 2.12
import QtTest 1.12
import KVDrivers 1.0
import "qrc:/"

// The toggle on a real boolean switch driver: the image and text by the driver's value (inverted
// on request) and a click that flips the driver.
WidgetTestCase {
    id: testCase
    name: "CorvoToggleButton"
    width: 200
    height: 200

    QtBooleanSwitchDriver {
        id: switchDriver
    }

    CorvoToggleButton {
        id: toggle
        x: 20
        y: 20
        width: 64
        height: 56
        textOn: "IN"
        textOff: "OUT"
        driver: switchDriver
    }

    function shownText() {
        for (var i = 0; i < toggle.children.length; ++i) {
            if (toggle.children[i].text !== undefined) {
                return toggle.children[i]
            }
        }
        return null
    }

    function test_toggle_showsAndFlipsTheDriver_data() {
        return [
            { tag: "on", invert: false, value: true, image: "qrc:/ToggleOn.svg", text: "IN" },
            { tag: "off", invert: false, value: false, image: "qrc:/ToggleOff.svg", text: "OUT" },
            { tag: "inverted, driver false", invert: true, value: false, image: "qrc:/ToggleOn.svg", text: "IN" },
            { tag: "inverted, driver true", invert: true, value: true, image: "qrc:/ToggleOff.svg", text: "OUT" },
        ]
    }

    function test_toggle_showsAndFlipsTheDriver(data) {
        toggle.invert = data.invert
        switchDriver.value = data.value
        compare(String(toggle.source), data.image)
        compare(toggle.status, Image.Ready)
        var label = shownText()
        compare(label.text, data.text)
        verify(Qt.colorEqual(label.color, data.text === "IN" ? "#39b54a" : "white"))

        mouseClick(toggle)
        compare(switchDriver.value, !data.value)
        verify(toggle.activeFocus, "a click takes the focus")
        compare(String(toggle.source), data.image === "qrc:/ToggleOn.svg" ? "qrc:/ToggleOff.svg" : "qrc:/ToggleOn.svg")
        mouseClick(toggle)
        compare(switchDriver.value, data.value)
    }
}
