import QtQuick 2.12
import QtQuick.Window 2.12
import QtTest 1.2
import Corvo 1.0
import KVQml 2.0
import ThemeColours 1.0
import ValueInterpreter 1.0
import "qrc:/"

// A PEQ block on the left PEQ unit of a panel of the running program: its graph's handles and pinch
// edit the unit's bands, its value boxes and type buttons follow them and move the graph, and its
// in/out button greys every curve. Values travel through the framework's threads, so every check
// waits for them.
Item {
    id: root
    width: 1280
    height: 900

    ViewTestCase {
        id: testCase
        name: "PEQBlock"

        Component {
            id: blockComponent
            PEQBlock {}
        }

        function panelBackend(panel) {
            return [null, _App.backendLow, _App.backendMid, _App.backendHigh][panel]
        }

        // A block of the design size times scale at (x, y) in the test window (default its top left),
        // once every band of its graph shows the unit's values.
        function createBlock(panel, scale, x, y) {
            var block = createTemporaryObject(blockComponent, root, {
                x: x === undefined ? 0 : x, y: y === undefined ? 0 : y,
                width: 600 * scale, height: 580 * scale,
                bandSetup: panel, blockBackend: panelBackend(panel).peqBlockL
            })
            verify(block !== null)
            for (var i = 0; i < block.bands.length; ++i) {
                waitForBandInSync(block, panel, i)
            }
            compare(_Probe.pixelWidth(block.graph.backEnd), Math.floor(block.graph.width))
            compare(_Probe.pixelHeight(block.graph.backEnd), Math.floor(block.graph.height))
            return block
        }

        function drivers(block, index) {
            return block.blockBackend.bands.get(index)
        }

        function handle(block, index) {
            var item = findChild(block.graph, "dragHandle" + index)
            verify(item !== null, "dragHandle" + index)
            return item
        }

        function box(block, name, index) {
            var item = findChild(block, name + index)
            verify(item !== null, name + index)
            return item
        }

        // The graph band, its value boxes' drivers and the unit hold the same codes.
        function waitForBandInSync(block, panel, index) {
            var d = drivers(block, index)
            tryVerify(function() {
                var unit = _Probe.unitBand(panel, false, index)
                var band = _Probe.band(block.bands[index])
                return unit.frequency === band.frequency && unit.gain === band.gain
                        && unit.width === band.width
                        && d.frequencyDriver.networkValue === unit.frequency
                        && d.gainDriver.networkValue === unit.gain + 32768
                        && d.widthDriver.networkValue === unit.width
            }, patience, "band " + index + " of panel " + panel + " in sync")
        }

        // Waits until every part shows the band's frequency and gain codes: the unit, the graph band,
        // the value boxes' drivers and texts, and the handle's place on the graph.
        function waitForBand(block, panel, index, frequency, gain) {
            var d = drivers(block, index)
            var graph = block.graph
            tryVerify(function() {
                var unit = _Probe.unitBand(panel, false, index)
                return unit.frequency === frequency && unit.gain === gain
            }, patience, "the unit takes frequency " + frequency + " and gain " + gain)
            tryCompare(d.frequencyDriver, "networkValue", frequency, patience)
            tryCompare(d.gainDriver, "networkValue", gain + 32768, patience)
            tryVerify(function() {
                var band = _Probe.band(block.bands[index])
                return band.frequency === frequency && band.gain === gain
            }, patience, "the graph band takes them")
            tryCompare(box(block, "frequencyBox", index).valueWidget, "text",
                       Interpreter.interpretValueAndUnits(frequency, KVCCFormat.FREQ_HZ,
                                                          KVCCFormat.ONE_DECIMAL_PLACE), patience)
            tryCompare(box(block, "gainBox", index).valueWidget, "text",
                       Interpreter.interpretValueAndUnits(gain + 32768, KVCCFormat.GAIN_OFFSET_DB,
                                                          KVCCFormat.ONE_DECIMAL_PLACE), patience)
            tryVerify(function() {
                var expectedX = graph.width * _Probe.frequencyFraction(graph.backEnd, frequency)
                var expectedY = graph.height * _Probe.gainFraction(graph.backEnd, gain / 256)
                var point = handle(block, index).dragPoint
                return Math.abs(point.x - expectedX) < 1e-6 && Math.abs(point.y - expectedY) < 1e-6
            }, patience, "the handle moves to the band's place")
        }

        // Sets the band's frequency code and gain (1/256 dB) through its value boxes' drivers, as an
        // entry would, and waits until the graph shows them.
        function placeBand(block, panel, index, frequency, gain) {
            var d = drivers(block, index)
            d.frequencyDriver.setNetworkValue(frequency)
            d.gainDriver.setNetworkValue(gain + 32768)
            waitForBand(block, panel, index, frequency, gain)
        }

        // Waits until the handle shows its band's codes, as it does under a finger between two moves.
        function waitForHandleOnBand(block, index) {
            var graph = block.graph
            var item = handle(block, index)
            tryVerify(function() {
                var codes = _Probe.band(block.bands[index])
                var x = graph.width * _Probe.frequencyFraction(graph.backEnd, codes.frequency)
                var y = graph.height * _Probe.gainFraction(graph.backEnd, codes.gain / 256)
                return Math.abs(item.dragPoint.x - x) < 1e-6 && Math.abs(item.dragPoint.y - y) < 1e-6
            }, patience, "handle " + index + " follows its band")
        }

        // Where a press on the handle lands: its centre to the whole pixel, kept inside the graph (a
        // band at an edge has half its handle outside).
        function pressPoint(graph, item) {
            return Qt.point(bound(0, Math.round(item.dragPoint.x), graph.width - 1),
                            bound(0, Math.round(item.dragPoint.y), graph.height - 1))
        }

        // Presses the handle, moves by (dx, dy) in steps and releases there. Answers the graph pixel
        // the band was dragged to: the handle's centre at the press plus the movement, rounded.
        function dragHandle(block, index, dx, dy, steps) {
            var graph = block.graph
            var item = handle(block, index)
            // A copy: a point read from a property follows the property.
            var start = Qt.point(item.dragPoint.x, item.dragPoint.y)
            var press = pressPoint(graph, item)
            var px = press.x
            var py = press.y
            mousePress(graph, px, py)
            verify(item.pressed, "the press lands on handle " + index)
            for (var k = 1; k <= steps; ++k) {
                mouseMove(graph, px + Math.round(dx * k / steps), py + Math.round(dy * k / steps), -1,
                          Qt.LeftButton)
                waitForHandleOnBand(block, index)
            }
            mouseRelease(graph, px + dx, py + dy)
            verify(!item.pressed)
            return Qt.point(Math.round(start.x + dx), Math.round(start.y + dy))
        }

        // The codes a drag to graph pixel target gives a band whose gain applies, as the graph back
        // end maps pixels (a negative coordinate counting as 0) and the band limits them to its ranges.
        function dragCodes(block, index, target) {
            var band = block.bands[index]
            var codes = _Probe.band(band)
            var backEnd = block.graph.backEnd
            var frequency = _Probe.frequencyCodeAt(backEnd, Math.max(0, target.x))
            var gain = Math.trunc(_Probe.gainAt(backEnd, Math.max(0, target.y)))
            return {
                frequency: bound(codes.frequencyMin, frequency, codes.frequencyMax),
                gain: bound(band.gainRangeMin * 256, gain, band.gainRangeMax * 256)
            }
        }

        function clickHandle(block, index) {
            var press = pressPoint(block.graph, handle(block, index))
            mouseClick(block.graph, press.x, press.y)
        }

        function test_dragHandle_setsTheBandsCodesAsTheGraphMapsPixels_data() {
            return [
                { tag: "LF up and right", panel: 1, scale: 1, band: 0, frequency: 25000, gain: 0,
                  dx: 60, dy: -40, steps: 6 },
                { tag: "HF down and left", panel: 1, scale: 1, band: 1, frequency: 45000, gain: 768,
                  dx: -85, dy: 33, steps: 4 },
                { tag: "above the graph: the gain stops at the band's top", panel: 1, scale: 1, band: 1,
                  frequency: 40000, gain: 0, dx: 10, dy: -400, steps: 5 },
                { tag: "beyond the right edge: the frequency stops at the graph's end", panel: 1, scale: 1,
                  band: 0, frequency: 50000, gain: -768, dx: 700, dy: 7, steps: 3 },
                { tag: "below and left of the graph: its start and the band's bottom", panel: 1, scale: 1,
                  band: 0, frequency: 20000, gain: 256, dx: -700, dy: 400, steps: 3 },
                { tag: "six bands at 1.5 times the size", panel: 3, scale: 1.5, band: 1, frequency: 15000,
                  gain: 0, dx: 97, dy: 51, steps: 5 },
                { tag: "four bands at 0.8 times the size", panel: 2, scale: 0.8, band: 3, frequency: 50000,
                  gain: -1536, dx: -41, dy: -29, steps: 2 },
                { tag: "at a size and place of fractional pixels", panel: 1, scale: 0.737, x: 13.4, y: 7.6,
                  band: 1, frequency: 33333, gain: 1000, dx: 52, dy: 21, steps: 4 }
            ]
        }

        function test_dragHandle_setsTheBandsCodesAsTheGraphMapsPixels(data) {
            var block = createBlock(data.panel, data.scale, data.x, data.y)
            placeBand(block, data.panel, data.band, data.frequency, data.gain)
            var others = []
            for (var i = 0; i < block.bands.length; ++i) {
                others.push(_Probe.unitBand(data.panel, false, i))
            }
            var target = dragHandle(block, data.band, data.dx, data.dy, data.steps)
            var expected = dragCodes(block, data.band, target)
            verify(expected.frequency !== data.frequency, "the drag moves the frequency")
            verify(expected.gain !== data.gain, "the drag moves the gain")
            waitForBand(block, data.panel, data.band, expected.frequency, expected.gain)
            // The press selected the band; the other bands stayed.
            compare(block.graph.selectedBand, data.band)
            for (i = 0; i < block.bands.length; ++i) {
                if (i !== data.band) {
                    compare(_Probe.unitBand(data.panel, false, i), others[i], "band " + i)
                }
            }
        }

        function test_clickOnHandle_changesNothingAndTogglesTheSelection() {
            var block = createBlock(1, 1)
            placeBand(block, 1, 0, 25000, 512)
            placeBand(block, 1, 1, 45000, 0)
            var before = _Probe.unitBand(1, false, 0)
            var beforeBand = _Probe.band(block.bands[0])
            compare(block.graph.selectedBand, -1)
            clickHandle(block, 0)
            compare(block.graph.selectedBand, 0)
            compare(handle(block, 0).selected, true)
            clickHandle(block, 0)
            compare(block.graph.selectedBand, -1)
            // A drag of the other band goes the same way after the clicks; once it has arrived, so
            // would anything the clicks had sent.
            var target = dragHandle(block, 1, 20, 20, 2)
            var expected = dragCodes(block, 1, target)
            waitForBand(block, 1, 1, expected.frequency, expected.gain)
            compare(_Probe.unitBand(1, false, 0), before)
            compare(_Probe.band(block.bands[0]), beforeBand)
            compare(drivers(block, 0).frequencyDriver.networkValue, before.frequency)
            compare(drivers(block, 0).gainDriver.networkValue, before.gain + 32768)
        }

        function test_pinch_changesTheSelectedBandsWidth_data() {
            return [
                { tag: "spread: wider", band: 0, spread: 24 },
                { tag: "squeeze: narrower", band: 1, spread: -30 },
                { tag: "fingers down one by one", band: 0, spread: 16, oneByOne: true }
            ]
        }

        function test_pinch_changesTheSelectedBandsWidth(data) {
            var block = createBlock(1, 1)
            var graph = block.graph
            placeBand(block, 1, 0, 25000, 0)
            placeBand(block, 1, 1, 45000, 0)
            var width = 22 * 256
            var d = drivers(block, data.band)
            d.widthDriver.setNetworkValue(width)
            tryVerify(function() { return _Probe.band(block.bands[data.band]).width === width }, patience,
                      "the graph takes the width")
            clickHandle(block, data.band)
            compare(graph.selectedBand, data.band)
            var other = _Probe.band(block.bands[1 - data.band]).width

            // Two fingers near the bottom of the graph, clear of every handle.
            var y = graph.height - 10
            var left = 200
            var right = 320
            var half = data.spread / 2
            var touch = touchEvent(graph)
            if (data.oneByOne) {
                touch.press(0, graph, left, y).commit()
                touch.stationary(0).press(1, graph, right, y).commit()
            } else {
                touch.press(0, graph, left, y).press(1, graph, right, y).commit()
            }
            touch.move(0, graph, left - half, y).move(1, graph, right + half, y).commit()
            touch.release(0, graph, left - half, y).release(1, graph, right + half, y).commit()

            var millimetres = data.spread / Screen.pixelDensity
            var expected = Math.floor(bound(0, ((0 - 11392) / 50) * millimetres + width, 11392))
            verify(data.spread > 0 ? expected < width : expected > width)
            tryCompare(d.widthDriver, "networkValue", expected, patience)
            tryVerify(function() { return _Probe.unitBand(1, false, data.band).width === expected },
                      5000, "the unit takes the width")
            compare(_Probe.band(block.bands[data.band]).width, expected)
            tryCompare(box(block, "widthBox", data.band).valueWidget, "text",
                       Interpreter.interpretValueAndUnits(expected, ProjectCCFormat.FILTER_WIDTH,
                                                          KVCCFormat.NO_DECIMAL_PLACES), patience)
            compare(_Probe.band(block.bands[1 - data.band]).width, other)
        }

        function test_typedValue_movesTheHandle_data() {
            return [
                { tag: "frequency of LF", box: "frequencyBox", band: 0, text: "1k",
                  driver: "frequencyDriver" },
                { tag: "gain of HF", box: "gainBox", band: 1, text: "-6.5", driver: "gainDriver" }
            ]
        }

        function test_typedValue_movesTheHandle(data) {
            var block = createBlock(1, 1)
            placeBand(block, 1, data.band, 25000, 0)
            var driver = drivers(block, data.band)[data.driver]
            var before = driver.networkValue
            enterText(box(block, data.box, data.band), data.text)
            verify(driver.networkValue !== before, "the entry changes the value")
            var frequency = drivers(block, data.band).frequencyDriver.networkValue
            var gain = drivers(block, data.band).gainDriver.networkValue - 32768
            waitForBand(block, 1, data.band, frequency, gain)
        }

        function test_fourBands_showFourColumnsWithTheHFTypeButtonOnTheFourth() {
            var block = createBlock(2, 1)
            var backgrounds = ["qrc:/ValueBGPink.svg", "qrc:/ValueBGGreen.svg", "qrc:/ValueBGBlue.svg",
                               "qrc:/ValueBGOrange.svg"]
            var previousX = -1
            for (var i = 0; i < 4; ++i) {
                var column = findChild(block, "bandColumn" + i)
                verify(column !== null, "column " + i)
                verify(column.visible)
                verify(column.x > previousX, "columns left to right")
                previousX = column.x
                compare(box(block, "frequencyBox", i).backgroundSource, backgrounds[i])
                compare(box(block, "typeButton", i).visible, i === 0 || i === 3, "type button " + i)
            }
            compare(findChild(block, "bandColumn4"), null)
            var hfButton = box(block, "typeButton", 3)
            compare(String(hfButton.source), "qrc:/BellHigh.svg")
            compare(String(box(block, "typeButton", 0).source), "qrc:/BellLow.svg")
        }

        function test_shelfBand_hidesItsWidthBox_data() {
            return [
                { tag: "LF of two bands", panel: 1, band: 0, shelf: PEQTypes.LFSHELF,
                  image: "qrc:/ShelfLow.svg", bell: "qrc:/BellLow.svg" },
                { tag: "HF of four bands", panel: 2, band: 3, shelf: PEQTypes.HFSHELF,
                  image: "qrc:/ShelfHigh.svg", bell: "qrc:/BellHigh.svg" }
            ]
        }

        function test_shelfBand_hidesItsWidthBox(data) {
            var block = createBlock(data.panel, 1)
            var button = box(block, "typeButton", data.band)
            var widthBox = box(block, "widthBox", data.band)
            var band = block.bands[data.band]
            verify(widthBox.visible)

            mouseClick(button)
            tryCompare(widthBox, "visible", false, patience)
            compare(String(button.source), data.image)
            tryVerify(function() { return _Probe.unitBand(data.panel, false, data.band).type === data.shelf },
                      5000, "the unit takes the shelf")
            tryVerify(function() { return _Probe.band(band).type === data.shelf }, patience,
                      "the graph draws a shelf")

            mouseClick(button)
            tryCompare(widthBox, "visible", true, patience)
            compare(String(button.source), data.bell)
            tryVerify(function() {
                return _Probe.unitBand(data.panel, false, data.band).type === PEQTypes.BELL
            }, patience, "the unit takes the bell")
            tryVerify(function() { return _Probe.band(band).type === PEQTypes.BELL }, patience,
                      "the graph draws a bell")
        }

        // The colours of the graph's curves and handles: each band's outline, fill gradient and
        // handle, the combined outline and fill.
        function curveColours(graph) {
            var lines = findChild(graph, "bandLines")
            var fills = findChild(graph, "bandFills")
            var handles = findChild(graph, "dragHandles")
            var colours = {
                lines: [], fills: [], handles: [],
                combinedLine: findChild(graph, "combinedLine").data[0].strokeColor,
                combinedFill: findChild(graph, "combinedFill").data[0].fillColor
            }
            compare(lines.count, graph.bandList.length)
            compare(fills.count, graph.bandList.length)
            compare(handles.count, graph.bandList.length)
            for (var i = 0; i < lines.count; ++i) {
                colours.lines.push(lines.itemAt(i).data[0].strokeColor)
                var stops = fills.itemAt(i).data[0].fillGradient.stops
                var stopColours = []
                for (var k = 0; k < stops.length; ++k) {
                    stopColours.push(stops[k].color)
                }
                colours.fills.push(stopColours)
                var handleItem = handles.itemAt(i)
                var marker = findChild(handleItem, "marker")
                verify(Qt.colorEqual(marker.color, handleItem.colour)
                       && Qt.colorEqual(marker.border.color, handleItem.colour), "marker " + i)
                colours.handles.push(handleItem.colour)
            }
            return colours
        }

        function test_fullyBypassed_drawsEveryCurveInTheBypassedColour() {
            var block = createBlock(1, 1)
            var graph = block.graph
            // Every curve the graph can draw: the outlines and, besides them, the fills.
            graph.fillIndividualCurves = true
            graph.fillCombinedCurve = true
            var bypassed = Theme.peqGraphBypassed.overviewColour
            var inOut = findChild(block, "inOutButton")
            compare(graph.fullyBypassed, false)
            var colours = curveColours(graph)
            for (var i = 0; i < 2; ++i) {
                var colour = block.bands[i].bandColour
                verify(Qt.colorEqual(colours.lines[i], colour), "band outline " + i)
                verify(Qt.colorEqual(colours.handles[i], colour), "handle " + i)
                verify(Qt.colorEqual(colours.fills[i][1], Qt.rgba(colour.r, colour.g, colour.b, 0.3)),
                       "band fill " + i)
            }
            verify(Qt.colorEqual(colours.combinedLine, "white"))
            verify(Qt.colorEqual(colours.combinedFill, "#30ffffff"))

            mouseClick(inOut)
            tryVerify(function() { return _Probe.unitBypass(1, false) === 1 }, patience, "the unit is bypassed")
            tryCompare(graph, "fullyBypassed", true, patience)
            colours = curveColours(graph)
            for (i = 0; i < 2; ++i) {
                verify(Qt.colorEqual(colours.lines[i], bypassed), "band outline " + i)
                verify(Qt.colorEqual(colours.handles[i], "#99808080"), "handle " + i)
                verify(Qt.colorEqual(colours.fills[i][0], "#99808080")
                       && Qt.colorEqual(colours.fills[i][1], "#4f808080")
                       && Qt.colorEqual(colours.fills[i][2], "#99808080"), "band fill " + i)
            }
            verify(Qt.colorEqual(colours.combinedLine, bypassed), "combined outline")
            verify(Qt.colorEqual(colours.combinedFill, Qt.tint(bypassed, "#a0000000")), "combined fill")

            mouseClick(inOut)
            tryVerify(function() { return _Probe.unitBypass(1, false) === 0 }, patience, "the unit is in again")
            tryCompare(graph, "fullyBypassed", false, patience)
            colours = curveColours(graph)
            for (i = 0; i < 2; ++i) {
                verify(Qt.colorEqual(colours.lines[i], block.bands[i].bandColour), "band outline " + i)
            }
            verify(Qt.colorEqual(colours.combinedLine, "white"))
        }
    }
}
