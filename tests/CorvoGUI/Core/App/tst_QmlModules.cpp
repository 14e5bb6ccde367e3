#include "CorvoGUI/Core/App/QmlTypeRegistration.h"
#include "tests/support/cQmlWarningGuard.h"

#include <QQmlComponent>
#include <QQmlEngine>
#include <QQmlExpression>
#include <QtTest>

#include <memory>

// Every module that RegisterQmlTypes fills, seen from QML: each creatable type instantiates from
// its module, each uncreatable one fails with exactly the reason it was registered with.
class tst_QmlModules : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void creatableType_instantiates_data();
    void creatableType_instantiates();
    void uncreatableType_failsWithItsReason_data();
    void uncreatableType_failsWithItsReason();
};

void tst_QmlModules::initTestCase()
{
    RegisterQmlTypes();
}

void tst_QmlModules::creatableType_instantiates_data()
{
    QTest::addColumn<QString>("module");
    QTest::addColumn<QString>("type");
    // The object's body in QML, and an expression evaluated on the object with its expected text.
    QTest::addColumn<QString>("body");
    QTest::addColumn<QString>("expression");
    QTest::addColumn<QString>("expected");

    QTest::newRow("QtBooleanSwitchDriver") << "KVDrivers 1.0"
                                           << "QtBooleanSwitchDriver"
                                           << "value: true"
                                           << "value"
                                           << "true";
    QTest::newRow("QtIntegerSwitchDriver") << "KVDrivers 1.0"
                                           << "QtIntegerSwitchDriver"
                                           << "integerValue: 7"
                                           << "value"
                                           << "7";
    QTest::newRow("QtSignalSlotMeterDriver") << "KVDrivers 1.0"
                                             << "QtSignalSlotMeterDriver"
                                             << ""
                                             << "getFloatForUWORD(-7680)"
                                             << "0.5";
    QTest::newRow("QtSignalSlotContinuousControllerDriver") << "KVDrivers 1.0"
                                                            << "QtSignalSlotContinuousControllerDriver"
                                                            << "networkValue: 32768"
                                                            << "network_value"
                                                            << "32768";
    QTest::newRow("KVCCFormat")
        << "KVQml 2.0"
        << "KVCCFormat"
        << "kvCCType: KVCCFormat.GAIN_OFFSET_DB; decimalPlaces: KVCCFormat.ONE_DECIMAL_PLACE"
        << "interpretValue(0x8180) + interpretUnits(0x8180)"
        << "1.5 dB";
    QTest::newRow("PathPainterPath") << "Corvo 1.0"
                                     << "PathPainterPath"
                                     << ""
                                     << "typeof path"
                                     << "object";
    QTest::newRow("PEQQmlBackEnd") << "KVQml 2.0"
                                   << "PEQQmlBackEnd"
                                   << "gainRangeMin: -20"
                                   << "gainRangeMin"
                                   << "-20";
    QTest::newRow("PEQQmlBand") << "KVQml 2.0"
                                << "PEQQmlBand"
                                << "type: 2"
                                << "type"
                                << "2";
    QTest::newRow("HPFQmlBand") << "KVQml 2.0"
                                << "HPFQmlBand"
                                << "gainRangeMax: 12"
                                << "gainRangeMax"
                                << "12";
    QTest::newRow("FaderControlStripBackend") << "Corvo 1.0"
                                              << "FaderControlStripBackend"
                                              << ""
                                              << "faderDriver.min + ' ' + faderDriver.max + ' ' + inputFader"
                                              << "14336 35840 false";
}

void tst_QmlModules::creatableType_instantiates()
{
    QFETCH(QString, module);
    QFETCH(QString, type);
    QFETCH(QString, body);
    QFETCH(QString, expression);
    QFETCH(QString, expected);

    cQmlWarningGuard guard;
    QQmlEngine engine;
    QQmlComponent component(&engine);
    component.setData(QString("import %1\n%2 { %3 }\n").arg(module, type, body).toUtf8(), QUrl());
    std::unique_ptr<QObject> object(component.create());
    QVERIFY2(object != nullptr, qPrintable(component.errorString()));
    QQmlExpression evaluation(engine.rootContext(), object.get(), expression);
    QCOMPARE(evaluation.evaluate().toString(), expected);
    QVERIFY2(!evaluation.hasError(), qPrintable(evaluation.error().toString()));
    QML_VERIFY_NO_WARNINGS(guard);
}

void tst_QmlModules::uncreatableType_failsWithItsReason_data()
{
    QTest::addColumn<QString>("module");
    QTest::addColumn<QString>("type");
    QTest::addColumn<QString>("reason");

    QTest::newRow("QtListBoxBackend") << "KVDrivers 1.0"
                                      << "QtListBoxBackend"
                                      << "QtListBoxBackend";
    QTest::newRow("ProjectCCFormat")
        << "Corvo 1.0"
        << "ProjectCCFormat"
        << "Import ValueInterpreter and use Interpreter.<function> instead of instantiating instances of "
           "ProjectCCFormat";
    QTest::newRow("PEQTypes") << "Corvo 1.0"
                              << "PEQTypes"
                              << "PEQ Enum definitions only";
    QTest::newRow("PEQDriverInterface") << "KVDrivers 1.0"
                                        << "PEQDriverInterface"
                                        << "Cannot instantiate this abstract interface";
    QTest::newRow("PEQScaleText") << "KVQml 2.0"
                                  << "PEQScaleText"
                                  << "This type should not be used directly in qml";
    QTest::newRow("PEQQmlBandBase") << "KVQml 2.0"
                                    << "PEQQmlBandBase"
                                    << "Cannot instantiate base class";
    QTest::newRow("PEQDriver") << "Corvo 1.0"
                               << "PEQDriver"
                               << "Can't instantiate this driver";
    QTest::newRow("SerialConnectionBackend") << "Corvo 1.0"
                                             << "SerialConnectionBackend"
                                             << "SerialConnectionBackend";
    QTest::newRow("InOutFaderBackend") << "Corvo 1.0"
                                       << "InOutFaderBackend"
                                       << "cInOutFaderPanelBackend";
    QTest::newRow("LowMidHighBackend") << "Corvo 1.0"
                                       << "LowMidHighBackend"
                                       << "LowMidHighBackend";
    QTest::newRow("PEQBandDrivers") << "Corvo 1.0"
                                    << "PEQBandDrivers"
                                    << "PEQBandDrivers";
    QTest::newRow("PEQBlockBackend") << "Corvo 1.0"
                                     << "PEQBlockBackend"
                                     << "PEQBlockBackend";
    QTest::newRow("SavesDialogBackend") << "Corvo 1.0"
                                        << "SavesDialogBackend"
                                        << "SavesDialogBackend";
}

void tst_QmlModules::uncreatableType_failsWithItsReason()
{
    QFETCH(QString, module);
    QFETCH(QString, type);
    QFETCH(QString, reason);

    QQmlEngine engine;
    QQmlComponent component(&engine);
    component.setData(QString("import %1\n%2 {}\n").arg(module, type).toUtf8(), QUrl());
    QVERIFY(component.isError());
    QCOMPARE(component.errors().size(), 1);
    QCOMPARE(component.errors().first().description(), reason);
}

QTEST_GUILESS_MAIN(tst_QmlModules)
#include "tst_QmlModules.moc"
