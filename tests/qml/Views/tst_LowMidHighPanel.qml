import QtQuick 2.12
import QtTest 1.2
import "qrc:/"

// The Low, Mid and High tabs of the program's window (loaded from its resources, on the running
// program): the filter rows each tab shows, the PEQ gang's layout of the two blocks, and the High
// tab's slope chooser, which writes to the high-pass unit through the framework's threads.
Item {
    id: root
    width: 200
    height: 100

    ViewTestCase {
        id: testCase
        name: "LowMidHighPanel"

        readonly property var panelNames: ["", "lowPanel", "midPanel", "highPanel"]
        property var window: null

        // The program's window, on the tab of panel 1, 2 or 3; answers that panel.
        function openTab(panel) {
            var component = Qt.createComponent("qrc:/main.qml")
            compare(component.status, Component.Ready, component.errorString())
            window = createTemporaryObject(component, null)
            verify(window !== null)
            tryCompare(window, "visible", true, patience)
            var tab = findChild(window.contentItem, "tab" + panel)
            verify(tab !== null)
            // The window lays its tabs out on its first frame.
            tryVerify(function() { return !isPolishScheduled(tab.parent) && tab.x === panel * tab.width },
                      patience, "the tabs are laid out")
            // The hidden tabs' panels are made after the window's first frame.
            tryCompare(window, "panelsMade", true, patience)
            mouseClick(tab)
            compare(findChild(window.contentItem, "tabBar").currentIndex, panel)
            var item = findChild(window.contentItem, panelNames[panel])
            verify(item !== null)
            tryCompare(item, "visible", true, patience)
            return item
        }

        function child(parent, name) {
            var item = findChild(parent, name)
            verify(item !== null, name)
            return item
        }

        function test_tab_showsItsFilterRows_data() {
            return [
                { tag: "Low", panel: 1, slope: false, lpf: true },
                { tag: "Mid", panel: 2, slope: false, lpf: true },
                { tag: "High", panel: 3, slope: true, lpf: false }
            ]
        }

        function test_tab_showsItsFilterRows(data) {
            var panel = openTab(data.panel)
            compare(child(panel, "hpfRow").visible, true)
            compare(child(panel, "slopeRow").visible, data.slope)
            compare(child(panel, "lpfRow").visible, data.lpf)
            compare(child(panel, "slopeChooser").visible, data.slope)
            compare(child(panel, "lpfFrequency").visible, data.lpf)
        }

        function test_peqGang_widensTheLeftBlockAndHidesTheRight_data() {
            return [
                { tag: "Low", panel: 1 },
                { tag: "Mid", panel: 2 },
                { tag: "High", panel: 3 }
            ]
        }

        function test_peqGang_widensTheLeftBlockAndHidesTheRight(data) {
            var panel = openTab(data.panel)
            var area = child(panel, "peqArea")
            var left = child(panel, "peqBlockLeft")
            var right = child(panel, "peqBlockRight")
            var gang = child(panel, "peqGang")
            var half = (area.width - panel.horizontalSpacing) / 2
            if (panel.panelBackend.ganged.value) {
                panel.panelBackend.ganged.setValue(false)
            }
            tryVerify(function() { return _Probe.peqGang(data.panel) === 0 }, patience, "the gang unit is off")
            compare(left.width, half)
            compare(right.width, half)
            compare(right.visible, true)
            verify(right.x >= left.x + left.width, "the right block beside the left one")

            mouseClick(gang)
            tryCompare(panel.panelBackend.ganged, "value", true, patience)
            tryVerify(function() { return _Probe.peqGang(data.panel) === 1 }, patience, "the gang unit is on")
            compare(left.width, area.width)
            compare(right.visible, false)
            // The block's drawing stays centred in it, so in the panel.
            var drawn = child(left, "drawnArea")
            tryVerify(function() { return Math.abs(drawn.x - (left.width - drawn.width) / 2) <= 0.5 }, patience,
                      "centred")

            mouseClick(gang)
            tryVerify(function() { return _Probe.peqGang(data.panel) === 0 }, patience, "the gang unit is off")
            compare(left.width, half)
            compare(right.visible, true)
        }

        function test_slopeChooser_writesTheChosenIndexToTheSlopeListBox_data() {
            return [
                { tag: "24dB Butterworth", index: 2 },
                { tag: "18dB Bessel", index: 3 },
                { tag: "12dB Butterworth", index: 0 }
            ]
        }

        function test_slopeChooser_writesTheChosenIndexToTheSlopeListBox(data) {
            var panel = openTab(3)
            var chooser = child(panel, "slopeChooser")
            var slopes = panel.panelBackend.slopeLF
            compare(chooser.count, 4)
            // Another slope first, so that the choice changes it.
            var other = (data.index + 1) % 4
            slopes.currentIndex = other
            tryVerify(function() { return _Probe.hpfSlope(3) === other }, patience, "the high-pass unit's slope")
            compare(chooser.currentIndex, other)
            mouseClick(chooser)
            tryCompare(chooser, "popupOpen", true, patience)
            // The entry of this chooser's popup: every tab's chooser has a popup in the window's overlay.
            var popup = null
            for (var i = 0; i < chooser.resources.length; ++i) {
                if (chooser.resources[i].objectName === "comboPopup") {
                    popup = chooser.resources[i]
                }
            }
            verify(popup !== null)
            var entry = findChild(popup.contentItem, "comboItem" + data.index)
            verify(entry !== null)
            // Its entries are placed on the frame that shows it.
            tryVerify(function() { return !isPolishScheduled(popup.contentItem) }, patience, "the entries are placed")
            mouseClick(entry)
            tryCompare(chooser, "popupOpen", false, patience)
            compare(slopes.currentIndex, data.index)
            compare(slopes.currentDescription, data.tag)
            compare(chooser.currentText, data.tag)
            tryVerify(function() { return _Probe.hpfSlope(3) === data.index }, patience,
                      "the high-pass unit takes it")
        }
    }
}
