#include "CorvoGUI/Core/App/ConnectionStateMetaType.h"
#include "CorvoGUI/Core/App/QmlTypeRegistration.h"
#include "CorvoGUI/QtGUIComponents/Graphics/cFontStyles.h"
#include "CorvoGUI/QtGUIComponents/Graphics/cProjectFontManager.h"
#include "CorvoGUI/QtGUIComponents/ValueFormat/cQmlValueInterpreterSingleton.h"
#include "QtGUIComponents/Common/cThemeColours.h"
#include "QtGUIComponents/Common/cUISettings.h"
#include "tests/support/cQmlWarningGuard.h"
#include "tests/support/cReportCapture.h"

#include <QMetaType>
#include <QPointer>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QtTest>

#include <memory>

namespace
{

enum eSingleton
{
    FONTS,
    THEME,
    UI_SETTINGS,
    INTERPRETER
};

// The global a singleton's provider reads, as a QObject pointer.
QObject* GetSingletonGlobal(eSingleton singleton)
{
    switch (singleton)
    {
    case FONTS:
        return gFontStyles;
    case THEME:
        return gThemeColours;
    case UI_SETTINGS:
        return gUISettings;
    case INTERPRETER:
        return gQmlValueInterpreterSingleton;
    }
    return nullptr;
}

// Makes the singleton's object and stores it in its global (nothing: clears the global).
QObject* SetSingletonGlobal(eSingleton singleton, bool make)
{
    switch (singleton)
    {
    case FONTS:
        // The font styles are built from the font tables.
        cProjectFontManager::Init(1.0f);
        return gFontStyles = make ? new cFontStyles(1.0) : nullptr;
    case THEME:
        return gThemeColours = make ? new cThemeColours() : nullptr;
    case UI_SETTINGS:
        return gUISettings = make ? new cUISettings() : nullptr;
    case INTERPRETER:
        return gQmlValueInterpreterSingleton = make ? new cQmlValueInterpreterSingleton() : nullptr;
    }
    return nullptr;
}

// A component that imports the module and holds the singleton in the property "singleton".
std::unique_ptr<QObject> CreateSingletonReader(QQmlEngine& engine, const QString& module, const QString& name)
{
    QQmlComponent component(&engine);
    component.setData(
        QStringLiteral("import QtQml 2.15\nimport %1 1.0\nQtObject { property var singleton: %2 }")
            .arg(module, name)
            .toUtf8(),
        QUrl());
    return std::unique_ptr<QObject>(component.create());
}

} // namespace

class tst_QmlTypeRegistration : public QObject
{
    Q_OBJECT

private slots:
    void cleanup();
    void initTestCase();
    void integerTypes_areAliasesOfTheirQtTypes_data();
    void integerTypes_areAliasesOfTheirQtTypes();
    void connectionState_isAFourByteEnumerationMetaType();
    void peqTypes_giveTheFilterTypesToQml_data();
    void peqTypes_giveTheFilterTypesToQml();
    void peqTypes_cannotBeInstantiated();
    void formatEnumerations_reachQml_data();
    void formatEnumerations_reachQml();
    void projectCCFormat_cannotBeInstantiated();
    void singletons_withoutTheirObject_reportAndGiveQmlNone_data();
    void singletons_withoutTheirObject_reportAndGiveQmlNone();
    void singletons_areTheGlobalObjectAndOutliveTheEngine_data();
    void singletons_areTheGlobalObjectAndOutliveTheEngine();

private:
    static void singletons_data();
    cQmlWarningGuard mGuard;
};

void tst_QmlTypeRegistration::cleanup()
{
    QML_VERIFY_NO_WARNINGS(mGuard);
    mGuard.Clear();
}

void tst_QmlTypeRegistration::initTestCase()
{
    RegisterQmlTypes();
}

void tst_QmlTypeRegistration::integerTypes_areAliasesOfTheirQtTypes_data()
{
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<int>("type");
    QTest::newRow("UBYTE") << QByteArray("UBYTE") << int(QMetaType::UChar);
    QTest::newRow("SBYTE") << QByteArray("SBYTE") << int(QMetaType::SChar);
    QTest::newRow("UWORD") << QByteArray("UWORD") << int(QMetaType::UShort);
    QTest::newRow("SWORD") << QByteArray("SWORD") << int(QMetaType::Short);
    QTest::newRow("ULONG") << QByteArray("ULONG") << int(QMetaType::UInt);
    QTest::newRow("SLONG") << QByteArray("SLONG") << int(QMetaType::Int);
    QTest::newRow("GAIN") << QByteArray("GAIN") << int(QMetaType::Short);
}

void tst_QmlTypeRegistration::integerTypes_areAliasesOfTheirQtTypes()
{
    QFETCH(QByteArray, name);
    QFETCH(int, type);
    QCOMPARE(QMetaType::type(name.constData()), type);
}

void tst_QmlTypeRegistration::connectionState_isAFourByteEnumerationMetaType()
{
    const int type = QMetaType::type("eConnectionState");
    QVERIFY(type != QMetaType::UnknownType);
    QCOMPARE(type, qMetaTypeId<eConnectionState>());
    QCOMPARE(QMetaType::sizeOf(type), 4);
    QVERIFY(QMetaType::typeFlags(type) & QMetaType::IsEnumeration);
    QCOMPARE(QVariant::fromValue(CONNECTION_STATE_SYNCING).toInt(), 4);
}

void tst_QmlTypeRegistration::peqTypes_giveTheFilterTypesToQml_data()
{
    QTest::addColumn<QString>("enumerator");
    QTest::addColumn<int>("value");
    QTest::newRow("BELL") << "BELL" << 0;
    QTest::newRow("NOTCH") << "NOTCH" << 5;
    QTest::newRow("HIGH_CONTOUR") << "HIGH_CONTOUR" << 7;
    QTest::newRow("HPF_BUTTERWORTH_12_DB") << "HPF_BUTTERWORTH_12_DB" << 0;
    QTest::newRow("HPF_BESSEL_18_DB") << "HPF_BESSEL_18_DB" << 3;
}

void tst_QmlTypeRegistration::peqTypes_giveTheFilterTypesToQml()
{
    QFETCH(QString, enumerator);
    QFETCH(int, value);
    QQmlEngine engine;
    QQmlComponent component(&engine);
    component.setData(
        QString("import QtQml 2.15\nimport Corvo 1.0\nQtObject { property int value: PEQTypes.%1 }")
            .arg(enumerator)
            .toUtf8(),
        QUrl());
    std::unique_ptr<QObject> object(component.create());
    QVERIFY2(object != nullptr, qPrintable(component.errorString()));
    QCOMPARE(object->property("value").toInt(), value);
}

void tst_QmlTypeRegistration::peqTypes_cannotBeInstantiated()
{
    QQmlEngine engine;
    QQmlComponent component(&engine);
    component.setData("import QtQml 2.15\nimport Corvo 1.0\nPEQTypes {}", QUrl());
    QVERIFY(component.isError());
    QVERIFY2(component.errorString().contains("PEQ Enum definitions only"),
             qPrintable(component.errorString()));
}

void tst_QmlTypeRegistration::formatEnumerations_reachQml_data()
{
    QTest::addColumn<QString>("module");
    QTest::addColumn<QString>("constant");
    QTest::addColumn<int>("value");
    QTest::newRow("KVCCFormat type") << "KVQml 2.0"
                                     << "KVCCFormat.PERCENTAGE" << 28;
    QTest::newRow("KVCCFormat decimal places") << "KVQml 2.0"
                                               << "KVCCFormat.FOUR_DECIMAL_PLACES" << 4;
    QTest::newRow("ProjectCCFormat type") << "Corvo 1.0"
                                          << "ProjectCCFormat.FILTER_WIDTH" << 31;
}

void tst_QmlTypeRegistration::formatEnumerations_reachQml()
{
    QFETCH(QString, module);
    QFETCH(QString, constant);
    QFETCH(int, value);
    QQmlEngine engine;
    QQmlComponent component(&engine);
    component.setData(QStringLiteral("import QtQml 2.15\nimport %1\nQtObject { property int value: %2 }")
                          .arg(module, constant)
                          .toUtf8(),
                      QUrl());
    std::unique_ptr<QObject> object(component.create());
    QVERIFY2(object != nullptr, qPrintable(component.errorString()));
    QCOMPARE(object->property("value").toInt(), value);
}

void tst_QmlTypeRegistration::projectCCFormat_cannotBeInstantiated()
{
    QQmlEngine engine;
    QQmlComponent component(&engine);
    component.setData("import QtQml 2.15\nimport Corvo 1.0\nProjectCCFormat {}", QUrl());
    QVERIFY(component.isError());
    QVERIFY2(
        component.errorString().contains("Import ValueInterpreter and use Interpreter.<function> instead of "
                                         "instantiating instances of ProjectCCFormat"),
        qPrintable(component.errorString()));
}

void tst_QmlTypeRegistration::singletons_withoutTheirObject_reportAndGiveQmlNone_data()
{
    singletons_data();
}

void tst_QmlTypeRegistration::singletons_areTheGlobalObjectAndOutliveTheEngine_data()
{
    singletons_data();
}

void tst_QmlTypeRegistration::singletons_data()
{
    QTest::addColumn<int>("singleton");
    QTest::addColumn<QString>("module");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("report");
    QTest::newRow("Fonts") << int(FONTS) << "FontStyles"
                           << "Fonts"
                           << "gFontStyles is NULL";
    QTest::newRow("Theme") << int(THEME) << "ThemeColours"
                           << "Theme"
                           << "gThemeColours is NULL";
    QTest::newRow("UISettings") << int(UI_SETTINGS) << "UISettingsSingleton"
                                << "UISettings"
                                << "gUISettings is NULL";
    QTest::newRow("Interpreter") << int(INTERPRETER) << "ValueInterpreter"
                                 << "Interpreter"
                                 << "gQmlValueInterpreterSingleton is null";
}

void tst_QmlTypeRegistration::singletons_withoutTheirObject_reportAndGiveQmlNone()
{
    QFETCH(int, singleton);
    QFETCH(QString, module);
    QFETCH(QString, name);
    QFETCH(QString, report);
    const auto which = eSingleton(singleton);
    QVERIFY(GetSingletonGlobal(which) == nullptr);

    cReportCapture reports;
    QQmlEngine engine;
    QTest::ignoreMessage(QtCriticalMsg, QRegularExpression("returns a null pointer"));
    std::unique_ptr<QObject> reader = CreateSingletonReader(engine, module, name);
    QVERIFY(reader != nullptr);
    QVERIFY(reader->property("singleton").value<QObject*>() == nullptr);
    QVERIFY(!reports.Lines().isEmpty());
    for (const QString& line : reports.Lines())
    {
        QVERIFY2(line.startsWith(QStringLiteral("ERROR: ") + report + QLatin1Char('\t')), qPrintable(line));
    }
    // Never creates.
    QVERIFY(GetSingletonGlobal(which) == nullptr);
}

void tst_QmlTypeRegistration::singletons_areTheGlobalObjectAndOutliveTheEngine()
{
    QFETCH(int, singleton);
    QFETCH(QString, module);
    QFETCH(QString, name);
    const auto which = eSingleton(singleton);
    QPointer<QObject> object = SetSingletonGlobal(which, true);

    cReportCapture reports;
    for (int engines = 0; engines < 2; ++engines)
    {
        auto engine = std::make_unique<QQmlEngine>();
        std::unique_ptr<QObject> reader = CreateSingletonReader(*engine, module, name);
        QVERIFY(reader != nullptr);
        QCOMPARE(reader->property("singleton").value<QObject*>(), object.data());
        QCOMPARE(QQmlEngine::objectOwnership(object), QQmlEngine::CppOwnership);
        reader.reset();
        engine.reset();
        QVERIFY2(!object.isNull(), "the engine deleted the singleton");
    }
    QCOMPARE(reports.Lines(), QStringList());

    delete object;
    SetSingletonGlobal(which, false);
}

QTEST_GUILESS_MAIN(tst_QmlTypeRegistration)
#include "tst_QmlTypeRegistration.moc"
