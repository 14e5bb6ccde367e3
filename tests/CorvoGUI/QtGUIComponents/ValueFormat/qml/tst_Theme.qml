import QtQuick 2.15
import QtTest 1.15
import CorvoTest 1.0
import ThemeColours 1.0
import UISettingsSingleton 1.0

// The theme's colour groups and sizes, and the UI settings, as QML reads them.
WarningCheckedTestCase {
    name: "Theme"

    function names(colours) {
        return colours.map(function (colour) { return colour.toString() })
    }

    function test_groups_data() {
        var t = Theme
        return [
            { tag: "grGraphActive", actual: [t.grGraphActive.mainLineColour, t.grGraphActive.fillColourTop,
                                            t.grGraphActive.fillColourBottom, t.grGraphActive.mainLineWidth],
              expected: ["#ffffff", "#ffffff", "#000000", 2] },
            { tag: "grGraphBypassed", actual: [t.grGraphBypassed.mainLineColour, t.grGraphBypassed.fillColourTop,
                                              t.grGraphBypassed.fillColourBottom, t.grGraphBypassed.mainLineWidth],
              expected: ["#e1e1e1", "#e1e1e1", "#e1e1e1", 2] },
            { tag: "peqGraphActive", actual: names([t.peqGraphActive.overviewColour, t.peqGraphActive.hpfBandColour,
                                                   t.peqGraphActive.lpfBandColour,
                                                   t.peqGraphActive.sideChainLPFBandColour,
                                                   t.peqGraphActive.lfBandColour, t.peqGraphActive.lmBandColour,
                                                   t.peqGraphActive.hmBandColour, t.peqGraphActive.hfBandColour]),
              expected: ["#ffff00", "#00ff00", "#ffff00", "#ff0000", "#ff00ff", "#00ffff", "#0000ff", "#ff0000"] },
            { tag: "peqGraphBypassed", actual: names([t.peqGraphBypassed.overviewColour,
                                                     t.peqGraphBypassed.hpfBandColour,
                                                     t.peqGraphBypassed.lpfBandColour,
                                                     t.peqGraphBypassed.sideChainLPFBandColour,
                                                     t.peqGraphBypassed.lfBandColour, t.peqGraphBypassed.lmBandColour,
                                                     t.peqGraphBypassed.hmBandColour,
                                                     t.peqGraphBypassed.hfBandColour]),
              expected: ["#7f7f7f", "#7f7f7f", "#7f7f7f", "#7f7f7f", "#7f7f7f", "#7f7f7f", "#7f7f7f", "#7f7f7f"] },
            { tag: "graphLine", actual: names([t.graphLine.scaleMajor, t.graphLine.scaleMinor]),
              expected: ["#3f3f3f", "#1f1f1f"] },
            { tag: "rotaryColours", actual: names([t.rotaryColours.tickColour, t.rotaryColours.arcColour]),
              expected: ["#000000", "#ff0000"] },
            { tag: "ledColours", actual: names([t.ledColours.off, t.ledColours.red, t.ledColours.green,
                                               t.ledColours.yellow, t.ledColours.blue, t.ledColours.magenta,
                                               t.ledColours.cyan, t.ledColours.white]),
              expected: ["#000000", "#ff0000", "#00ff00", "#ffff00", "#0000ff", "#ff00ff", "#00ffff", "#ffffff"] },
            { tag: "listItem", actual: names([t.listItem.defaultBorderColour, t.listItem.selectedBorderColour,
                                             t.listItem.selectedSpecialNextColour, t.listItem.selectedSpecialColour,
                                             t.listItem.selectedNextColour, t.listItem.selectedColour,
                                             t.listItem.nextColour, t.listItem.holdColour, t.listItem.inactiveColour,
                                             t.listItem.overwriteColour, t.listItem.unselectedColour,
                                             t.listItem.inactiveBorderColour, t.listItem.recallProgressColour]),
              expected: ["#b9dff9", "#39b54a", "#f19429", "#f19429", "#f9ed32", "#00aeef", "#39b54a", "#0a5a78",
                         "#3c3c3c", "#c40000", "#000000", "#58595b", "#00ff00"] },
            { tag: "bankViewColours", actual: names([t.bankViewColours.masterSectionBackground,
                                                    t.bankViewColours.stripBackground,
                                                    t.bankViewColours.selectedStripBackground,
                                                    t.bankViewColours.stripBorder, t.bankViewColours.geqFaderFlip]),
              expected: ["#7f7f7f", "#000000", "#00ff00", "#7f7f7f", "#ff0000"] },
            { tag: "ammColours", actual: names([t.ammColours.amm1, t.ammColours.amm2, t.ammColours.amm3,
                                               t.ammColours.amm4]),
              expected: ["#7f7f7f", "#7f7f7f", "#7f7f7f", "#7f7f7f"] },
            { tag: "single colours", actual: names([t.mainThemeColour, t.peqZeroLineColour, t.tftActiveColour,
                                                   t.blockingLayerColour, t.virtualSoundCheckColour,
                                                   t.panIndicatorColour, t.routingPostColour, t.routingPreColour,
                                                   t.copyColour, t.pasteColour, t.resetColour, t.listenColour,
                                                   t.formBackgroundColour]),
              expected: ["#e1e1e1", "#ffffff", "#f7ad34", "#80000000", "#ff5a00", "#ff0000", "#b411cc", "#1ef01e",
                         "#00ff00", "#0000ff", "#ff0000", "#ffff00", "#828282"] },
            { tag: "sizes", actual: [t.scaleFactor, t.productName, t.majorSpacing, t.minorSpacing, t.panelGap,
                                     t.maxRoutingBarWidth, t.ioCellSize, t.editorScaleFactor],
              expected: [1, "", 25, 8, 12, 16, 0, 1] }
        ]
    }

    function test_groups(data) {
        compare(data.actual.length, data.expected.length)
        for (var i = 0; i < data.expected.length; ++i)
            compare(data.actual[i], data.expected[i], "member " + i)
    }

    SignalSpy {
        id: scaleSpy
        target: Theme
        signalName: "scaleFactorChanged"
    }

    function test_scaleFactor_changesOnlyWhenDifferent() {
        scaleSpy.clear()
        Theme.scaleFactor = Theme.scaleFactor
        compare(scaleSpy.count, 0)
        Theme.scaleFactor = 1.5
        compare(scaleSpy.count, 1)
        compare(Theme.scaleFactor, 1.5)
        Theme.scaleFactor = 1.0
        compare(scaleSpy.count, 2)
    }

    function test_uiSettings() {
        compare(UISettings.enableDisplayAsConnected, true)
        compare(UISettings.listboxBackGroundColour.toString(), "#000000")
        compare(UISettings.listboxBackGroundColour.a, 1)
    }
}
