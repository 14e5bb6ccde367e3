import QtQuick 2.12
import QtTest 1.12
import "qrc:/"

// The combo box: its popup grid, a choice, the value from the model (currentIndexSource), the
// popup's fit in the window and its closing when the window changes size.
WidgetTestCase {
    id: testCase
    name: "CorvoComboBox"
    width: 400
    height: 300

    CorvoComboBox {
        id: combo
        x: 20
        y: 20
        width: 100
        height: 40
        model: ["A", "B", "C", "D", "E"]
        columns: 2
    }

    SignalSpy {
        id: activatedSpy
        target: combo
        signalName: "activated"
    }

    SignalSpy {
        id: sourceSpy
        target: combo
        signalName: "activatedBySource"
    }

    function popup() {
        return findChild(combo, "comboPopup")
    }

    function item(index) {
        return findChild(popup().contentItem, "comboItem" + index)
    }

    function place(x, y, width, height, count, columns) {
        combo.x = x
        combo.y = y
        combo.width = width
        combo.height = height
        combo.columns = columns
        combo.model = combo.integerModel(count)
        // The grid's old items go at the next deferred delete; until then they still take places.
        wait(0)
    }

    // Opens the popup and waits for the grid's layout (at the next frame).
    function open() {
        mouseClick(combo)
        tryCompare(combo, "popupOpen", true)
        tryVerify(function() {
            var last = item(combo.count - 1)
            return combo.count < 2 || last.x > 0 || last.y > 0
        })
    }

    function init() {
        popup().close()
        tryCompare(combo, "popupOpen", false)
        testCase.width = 400
        testCase.height = 300
        place(20, 20, 100, 40, 0, 2)
        combo.model = ["A", "B", "C", "D", "E"]
        wait(0)
        combo.currentIndex = 1
        combo.currentIndexSource = 1
        activatedSpy.clear()
        sourceSpy.clear()
    }

    function test_click_opensAGridOfEveryItem() {
        open()
        for (var i = 0; i < 5; ++i) {
            var cell = item(i)
            verify(cell !== null, "item " + i)
            compare(cell.width, 100)
            compare(cell.height, 40)
            compare(cell.x, (i % 2) * 100)
            compare(cell.y, Math.floor(i / 2) * 40)
        }
        compare(item(5), null)
        // Three rows for five items in two columns.
        compare(popup().contentItem.height, 120)
        verify(Qt.colorEqual(item(1).border.color, Styles.colorHighlight2), "the current item is framed")
        verify(Qt.colorEqual(item(0).border.color, "transparent"))
    }

    function test_choice_setsCurrentIndexEmitsActivatedAndCloses() {
        open()
        mouseClick(item(3))
        tryCompare(combo, "popupOpen", false)
        compare(combo.currentIndex, 3)
        compare(combo.currentText, "D")
        compare(activatedSpy.count, 1)
        compare(sourceSpy.count, 0)
    }

    function test_currentIndexSource_followsTheModel() {
        combo.currentIndexSource = 4
        compare(combo.currentIndex, 4)
        compare(sourceSpy.count, 1)
        compare(activatedSpy.count, 0)
        // A choice in the box, then the model's value again: only a change of it reverts.
        open()
        mouseClick(item(0))
        compare(combo.currentIndex, 0)
        combo.currentIndexSource = 4
        compare(combo.currentIndex, 0)
        compare(sourceSpy.count, 1)
        combo.revertToCurrentIndexSource()
        compare(combo.currentIndex, 4)
        compare(sourceSpy.count, 2)
        combo.revertToCurrentIndexSource()
        compare(sourceSpy.count, 2, "nothing to revert")
    }

    function test_text_showsTheCurrentEntryOrNoSelection() {
        combo.noSelectionText = "none"
        combo.currentIndex = 2
        compare(combo.currentText, "C")
        combo.currentIndex = -1
        compare(combo.currentText, "none")
        compare(combo.integerModel(3), [1, 2, 3])
    }

    // The window is 400 x 300; the popup (items of the box's size) sits below the box unless it
    // must move up or left, and its items shrink to fit, to half their size at most.
    function test_popup_fitsTheWindow_data() {
        return [
            { tag: "fits below the box", x: 20, y: 20, w: 100, h: 40, count: 4, columns: 1,
              cellW: 100, cellH: 40, popupX: 20, popupY: 60 },
            { tag: "moved up", x: 20, y: 250, w: 100, h: 40, count: 4, columns: 1,
              cellW: 100, cellH: 40, popupX: 20, popupY: 140 },
            { tag: "moved up: a row partly filled counts", x: 20, y: 250, w: 100, h: 40, count: 5, columns: 2,
              cellW: 100, cellH: 40, popupX: 20, popupY: 180 },
            { tag: "moved left", x: 330, y: 20, w: 60, h: 40, count: 4, columns: 2,
              cellW: 60, cellH: 40, popupX: 280, popupY: 60 },
            { tag: "too tall: items shrink", x: 20, y: 20, w: 100, h: 40, count: 12, columns: 1,
              cellW: 62.5, cellH: 25, popupX: 20, popupY: 0 },
            { tag: "far too tall: half size", x: 20, y: 20, w: 100, h: 40, count: 30, columns: 1,
              cellW: 50, cellH: 20, popupX: 20, popupY: 0 },
            { tag: "too wide: items shrink", x: 20, y: 20, w: 100, h: 40, count: 8, columns: 8,
              cellW: 50, cellH: 20, popupX: 0, popupY: 60 },
        ]
    }

    function test_popup_fitsTheWindow(data) {
        place(data.x, data.y, data.w, data.h, data.count, data.columns)
        open()
        compare(item(0).width, data.cellW)
        compare(item(0).height, data.cellH)
        compare(popup().x, data.popupX)
        compare(popup().y, data.popupY)
        verify(item(data.count - 1) !== null, "every item is in the grid")
    }

    function test_windowResize_closesThePopup_data() {
        return [
            { tag: "width", width: 420, height: 300 },
            { tag: "height", width: 400, height: 280 },
        ]
    }

    function test_windowResize_closesThePopup(data) {
        open()
        testCase.width = data.width
        testCase.height = data.height
        tryCompare(combo, "popupOpen", false)
        compare(combo.currentIndex, 1, "closing chooses nothing")
        compare(activatedSpy.count, 0)
    }
}
