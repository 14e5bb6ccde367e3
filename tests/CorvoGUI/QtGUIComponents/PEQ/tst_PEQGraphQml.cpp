#include "CorvoGUI/Core/App/QmlTypeRegistration.h"
#include "CorvoGUI/QtGUIComponents/PEQ/QPainterPathWrapper.h"
#include "CorvoGUI/QtGUIComponents/PEQ/QQuickPathPainterPath.h"
#include "CorvoGUI/QtGUIComponents/PEQ/cPEQQmlBand2.h"
#include "tests/CorvoGUI/QtGUIComponents/PEQ/PEQDriverRig.h"
#include "tests/CorvoGUI/QtGUIComponents/PEQ/PEQGraphTestSupport.h"
#include "tests/support/cScopedKVNetSystem.h"

#include <QQmlComponent>
#include <QQmlContext>
#include <QQmlEngine>
#include <QQmlExpression>
#include <QQuickItem>
#include <QSignalSpy>
#include <QtTest>

#include <private/qquickpath_p.h>

#include <memory>

namespace
{

// Every warning the QML engine writes is a failure of the test that caused it.
QStringList gWarnings;

void CollectWarnings(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type != QtDebugMsg && type != QtInfoMsg)
    {
        gWarnings << message;
    }
}

std::unique_ptr<QObject> Create(QQmlEngine& engine, const QByteArray& qml)
{
    QQmlComponent component(&engine);
    component.setData(qml, QUrl());
    std::unique_ptr<QObject> object(component.create());
    if (object == nullptr)
    {
        qWarning("%s", qPrintable(component.errorString()));
    }
    return object;
}

const char* const SCENE = R"(
import QtQuick 2.15
import QtQuick.Shapes 1.11
import KVQml 2.0
import Corvo 1.0

Item {
    id: root
    width: 649
    height: 325
    property alias graph: backEnd
    property alias lowMid: lowMidBand

    PEQQmlBackEnd {
        id: backEnd
        driver: peqDriver
        width: root.width
        height: root.height
        allowSizeChanges: true
        xScaleMargin: 20
        yScaleMargin: 30
        gainRangeMin: -20
        gainRangeMax: 20
        bandList: [
            PEQQmlBand { bandColour: "#ff00ff"; bandBackground: "ValueBGPink.svg" },
            PEQQmlBand { id: lowMidBand; bandColour: "#116c56" },
            PEQQmlBand { bandColour: "#0084ff" },
            PEQQmlBand { bandColour: "#ff7200" }
        ]
    }
    Shape {
        anchors.fill: parent
        ShapePath {
            objectName: "combinedLine"
            strokeColor: "white"
            fillColor: "transparent"
            startX: 0
            startY: backEnd.zeroYPos
            PathPainterPath { path: backEnd.combinedPathLine }
        }
    }
    Repeater {
        objectName: "handles"
        model: backEnd.bandList
        Rectangle {
            objectName: "handle" + index
            width: 8
            height: 8
            x: root.width * modelData.graphDragPoint.x
            y: root.height * modelData.graphDragPoint.y
            color: modelData.bypassed ? "#99808080" : modelData.bandColour
        }
    }
    Repeater {
        objectName: "labels"
        model: backEnd.scaleTextList
        Text { text: modelData.scaleText; x: modelData.position.x }
    }
}
)";

} // namespace

class tst_PEQGraphQml : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        RegisterQmlTypes();
        qInstallMessageHandler(CollectWarnings);
    }
    void init() { gWarnings.clear(); }
    void cleanup() { QVERIFY2(gWarnings.isEmpty(), qPrintable(gWarnings.join('\n'))); }

    void uncreatableTypes_giveTheirReason_data();
    void uncreatableTypes_giveTheirReason();
    void pathElement_splicesItsWrappersPath();
    void graph_followsTheUnitThroughItsDriverAndDragsBack();
};

void tst_PEQGraphQml::uncreatableTypes_giveTheirReason_data()
{
    QTest::addColumn<QByteArray>("module");
    QTest::addColumn<QByteArray>("type");
    QTest::addColumn<QString>("reason");
    QTest::newRow("PEQDriverInterface") << QByteArray("KVDrivers 1.0") << QByteArray("PEQDriverInterface")
                                        << "Cannot instantiate this abstract interface";
    QTest::newRow("PEQScaleText") << QByteArray("KVQml 2.0") << QByteArray("PEQScaleText")
                                  << "This type should not be used directly in qml";
    QTest::newRow("PEQQmlBandBase") << QByteArray("KVQml 2.0") << QByteArray("PEQQmlBandBase")
                                    << "Cannot instantiate base class";
    QTest::newRow("PEQDriver") << QByteArray("Corvo 1.0") << QByteArray("PEQDriver")
                               << "Can't instantiate this driver";
}

void tst_PEQGraphQml::uncreatableTypes_giveTheirReason()
{
    QFETCH(QByteArray, module);
    QFETCH(QByteArray, type);
    QFETCH(QString, reason);
    QQmlEngine engine;
    QQmlComponent component(&engine);
    component.setData("import QtQml 2.15\nimport " + module + "\n" + type + " {}", QUrl());
    QVERIFY(component.isError());
    QVERIFY2(component.errorString().contains(reason), qPrintable(component.errorString()));
}

void tst_PEQGraphQml::pathElement_splicesItsWrappersPath()
{
    QQmlEngine engine;
    QPainterPathWrapper wrapper;
    QPainterPath segment;
    segment.moveTo(10, 20);
    segment.lineTo(30, 40);
    wrapper.setPath(segment);
    engine.rootContext()->setContextProperty("wrapper", &wrapper);
    std::unique_ptr<QObject> object = Create(engine, "import QtQuick 2.15\nimport Corvo 1.0\n"
                                                     "Path { startX: 0; startY: 5; PathLine { x: 2; y: 5 }\n"
                                                     "       PathPainterPath { path: wrapper } }");
    QVERIFY(object != nullptr);
    auto* path = qobject_cast<QQuickPath*>(object.get());
    QVERIFY(path != nullptr);
    auto* element = path->findChild<QQuickPathPainterPath*>();
    if (element == nullptr)
    {
        QQmlListReference elements(path, "pathElements");
        element = qobject_cast<QQuickPathPainterPath*>(elements.at(1));
    }
    QVERIFY(element != nullptr);
    // A line from the start to the stored path's first point, then the stored path.
    QCOMPARE(PathPoints(path->path()), (QVector<QPointF>{{0, 5}, {2, 5}, {10, 20}, {30, 40}}));

    QSignalSpy changed(element, &QQuickPathElement::changed);
    QSignalSpy pathChanged(element, &QQuickPathPainterPath::pathChanged);
    element->setPath(&wrapper); // the same wrapper: nothing, and still connected once
    QCOMPARE(pathChanged.count(), 0);
    QSignalSpy wrapperChanged(&wrapper, &QPainterPathWrapper::painterPathChanged);
    wrapper.setPath(segment); // an equal path: the wrapper tells, the element does not change
    QCOMPARE(wrapperChanged.count(), 1);
    QCOMPARE(changed.count(), 0);
    segment.lineTo(50, 0);
    wrapper.setPath(segment);
    QCOMPARE(changed.count(), 1);
    QCOMPARE(PathPoints(path->path()).last(), QPointF(50, 0));

    // Without a wrapper the last path stays; a deleted wrapper is let go.
    element->setPath(nullptr);
    QCOMPARE(pathChanged.count(), 1);
    QCOMPARE(element->storedPath(), segment);
    {
        QPainterPathWrapper shortLived;
        element->setPath(&shortLived);
    }
    QVERIFY(element->path() == nullptr);
    QVERIFY(element->storedPath().isEmpty());
}

void tst_PEQGraphQml::graph_followsTheUnitThroughItsDriverAndDragsBack()
{
    cScopedKVNetSystem system;
    cPEQDriverRig rig(4);
    QVERIFY(rig.LinkLikeThePanel());
    QQmlEngine engine;
    engine.rootContext()->setContextProperty("peqDriver", &rig.Driver());
    std::unique_ptr<QObject> root = Create(engine, SCENE);
    QVERIFY(root != nullptr);
    auto* backEnd = root->property("graph").value<cPEQQmlBackEnd2*>();
    auto* lowMid = root->property("lowMid").value<cPEQQmlBand2*>();
    QVERIFY(backEnd != nullptr && lowMid != nullptr);
    QCOMPARE(backEnd->driver(), &rig.Driver());
    QCOMPARE(backEnd->BandCount(), 4);
    QVERIFY(Settle(*backEnd));

    // The unit's defaults are drawn: the second band sits at its frequency on the 0 dB line.
    QCOMPARE(lowMid->GetFrequency(), UWORD(25563));
    QQuickItem* handle = nullptr;
    QMetaObject::invokeMethod(root->findChild<QObject*>("handles"), "itemAt",
                              Q_RETURN_ARG(QQuickItem*, handle), Q_ARG(int, 1));
    QVERIFY(handle != nullptr);
    QCOMPARE(handle->y(), 162.5);
    QCOMPARE(root->findChild<QObject*>("labels")->property("count").toInt(), 13);

    // A gain change in the unit moves the handle and raises the combined curve to the band's gain.
    SendParameter(rig.Unit(), cParametricEQUnit::GainParameter(1), UWORDPayload(32768 + 9 * 256));
    QVERIFY(Settle(*backEnd));
    QCOMPARE(lowMid->GetGain(), GAIN(9 * 256));
    QCOMPARE(handle->y(), 325.0 * 11.0 / 40.0);
    auto* combined = root->findChild<QQuickPath*>("combinedLine");
    QVERIFY(combined != nullptr);
    double top = 1e9;
    for (const QPointF& point : PathPoints(combined->path()))
    {
        top = std::min(top, point.y());
    }
    QVERIFY2(std::abs(top - backEnd->GainToY(9.0)) < 0.5, qPrintable(QString::number(top)));

    // A drag in QML goes to the unit on the next tick, and nothing comes back.
    QSignalSpy driverGain(&rig.Driver(), &cPEQDriver::GainChanged);
    QQmlExpression drag(engine.rootContext(), root.get(), "lowMid.setDragPos(200, 100)");
    drag.evaluate();
    QVERIFY(!drag.hasError());
    QCOMPARE(lowMid->GetFrequency(), UWORD(24850));
    QCOMPARE(lowMid->GetGain(), GAIN(1969));
    cMessagePump::Tick();
    QCOMPARE(rig.Unit().GetBand(1).mFrequencyCode, UWORD(24850));
    QCOMPARE(rig.Unit().GetBand(1).mGain, SWORD(1969));
    cMessagePump::Tick(2);
    QCOMPARE(driverGain.count(), 0);
    QVERIFY(Settle(*backEnd));
    QCOMPARE(handle->x(), 649.0 * (24850 - 10699) / 45922.0);
}

QTEST_MAIN(tst_PEQGraphQml)
#include "tst_PEQGraphQml.moc"
