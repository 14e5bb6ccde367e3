// Every real number QML can hand the registered types (a writable property or a public slot or
// invokable taking a float, a double or a QVariant read as a number), given NaN, the infinities and
// +-1e300 through the QML engine as a QML file would: nothing is stored, nothing is sent, and what
// refuses the number reports it. The sanitizer build runs the same rows for undefined behaviour.

#include "CorvoGUI/Core/App/QmlTypeRegistration.h"
#include "CorvoGUI/QtGUIComponents/PEQ/QPainterPathWrapper.h"
#include "CorvoGUI/QtGUIComponents/PEQ/cHPFQmlBand2.h"
#include "CorvoGUI/QtGUIComponents/PEQ/cPEQQmlBackEnd2.h"
#include "CorvoGUI/QtGUIComponents/PEQ/cPEQQmlBand2.h"
#include "CorvoGUI/QtGUIComponents/ValueFormat/cQmlValueInterpreterSingleton.h"
#include "QtGUIComponents/Common/cKVCCFormat.h"
#include "QtGUIComponents/Common/cThemeColours.h"
#include "QtGUIComponents/KVNetDrivers/SignalSlotDrivers/cQtSignalSlotContinuousControllerDriver.h"
#include "tests/CorvoGUI/QtGUIComponents/PEQ/PEQGraphTestSupport.h"
#include "tests/CorvoGUI/QtGUIComponents/PEQ/cFakePEQDriver.h"
#include "tests/KVNet/Core/Controls/ControlTestHelpers.h"
#include "tests/support/cReportCapture.h"
#include "tests/support/cScopedKVNetSystem.h"
#include "tests/support/cSignalLog.h"

#include <QDebug>
#include <QMetaMethod>
#include <QMetaProperty>
#include <QQmlContext>
#include <QQmlEngine>
#include <QQmlExpression>
#include <QtTest>

#include <private/qhashedstring_p.h>
#include <private/qqmlmetatype_p.h>

#include <iterator>
#include <memory>
#include <vector>

namespace
{

// The modules of the program's registration table.
const QStringList MODULES = {"KVDrivers",           "KVQml",           "Corvo", "FontStyles", "ThemeColours",
                             "UISettingsSingleton", "ValueInterpreter"};

bool TakesReal(int type)
{
    return type == QMetaType::Float || type == QMetaType::Double || type == QMetaType::QVariant;
}

// "cClass::property" and "cClass::method(types)" of the real-number inputs that a registered class
// declares or inherits from the program's own classes (those of the class prefix 'c'); Qt's base
// classes are Qt's.
QStringList RealInputs(const QMetaObject* registered)
{
    QStringList inputs;
    for (const QMetaObject* meta = registered;
         meta != nullptr && (meta == registered || meta->className()[0] == 'c'); meta = meta->superClass())
    {
        for (int i = meta->propertyOffset(); i < meta->propertyCount(); ++i)
        {
            const QMetaProperty property = meta->property(i);
            if (property.isWritable() && TakesReal(property.userType()))
            {
                inputs << QString("%1::%2").arg(meta->className(), property.name());
            }
        }
        for (int i = meta->methodOffset(); i < meta->methodCount(); ++i)
        {
            const QMetaMethod method = meta->method(i);
            if (method.access() != QMetaMethod::Public || method.methodType() == QMetaMethod::Signal ||
                method.methodType() == QMetaMethod::Constructor)
            {
                continue;
            }
            for (int p = 0; p < method.parameterCount(); ++p)
            {
                if (TakesReal(method.parameterType(p)))
                {
                    inputs << QString("%1::%2").arg(meta->className(), QString(method.methodSignature()));
                    break;
                }
            }
        }
    }
    return inputs;
}

// ---- what each row drives

enum eFixture
{
    CONTROLLER_DRIVER,
    KVCC_FORMAT,
    GRAPH_BACK_END,
    GRAPH_BAND,
    GRAPH_HIGH_PASS_BAND,
    THEME,
    INTERPRETER,
};

// The objects a row drives, built in a settled state: the target QML talks to, the objects whose
// signals and properties must stay as they are, and what went out of them.
class cFixture
{
public:
    virtual ~cFixture() = default;
    QObject* Target() const { return mWatched.front(); }
    const std::vector<QObject*>& Watched() const { return mWatched; }
    // Runs what the call may have scheduled (ticks, the graph's timer).
    virtual void Settle() {}
    // What went out since the fixture was built, described; empty for nothing.
    virtual QStringList Sent() const { return {}; }

protected:
    std::vector<QObject*> mWatched;
};

// A level fader ("off" at its lower end) at 500, linked to a peer that has had its value.
class cControllerFixture : public cFixture
{
public:
    cControllerFixture()
    {
        mDriver.setNetworkValue(500);
        nControlTest::Link(*mDriver.GetAudioObject(), cQtSignalSlotContinuousControllerDriver::M_VALUE, mPeer,
                           cQtSignalSlotContinuousControllerDriver::M_VALUE);
        cMessagePump::Tick(2);
        mPeer.ClearRecords();
        mWatched = {&mDriver};
    }
    void Settle() override { cMessagePump::Tick(2); }
    QStringList Sent() const override
    {
        QStringList sent;
        for (const cRecordingNetObject::sReceived& received : mPeer.Received())
        {
            sent << QString("method %1: %2").arg(received.mMethod).arg(QString(received.mPayload.toHex()));
        }
        return sent;
    }

private:
    cScopedKVNetSystem mSystem;
    cRecordingNetObject mPeer{"Sweep Peer", 1};
    cQtSignalSlotContinuousControllerDriver mDriver{
        "Sweep Fader", 100, 1000, 1, cQtSignalSlotContinuousControllerDriver::DEFAULT_READ_PERIOD};
};

// A graph with a bell and a high-pass band, fed by a driver that records what the graph writes.
class cGraphFixture : public cFixture
{
public:
    explicit cGraphFixture(eFixture target)
    {
        mDriver.mFreq = {36706, 21398};
        mDriver.mWidth[0] = 0x1400;
        mDriver.mGain[0] = 768;
        mBackEnd.setXScaleMargin(20.0f);
        mBackEnd.setYScaleMargin(30.0f);
        mBackEnd.setDriver(&mDriver);
        mBackEnd.AppendBand(&mBand);
        mBackEnd.AppendBand(&mHighPass);
        mBackEnd.setAllowSizeChanges(true);
        ::Settle(mBackEnd);
        mDriver.mWrites.clear();
        QObject* first = target == GRAPH_BAND             ? static_cast<QObject*>(&mBand)
                         : target == GRAPH_HIGH_PASS_BAND ? static_cast<QObject*>(&mHighPass)
                                                          : static_cast<QObject*>(&mBackEnd);
        mWatched = {first};
        for (QObject* object : {static_cast<QObject*>(&mBackEnd), static_cast<QObject*>(&mBand),
                                static_cast<QObject*>(&mHighPass)})
        {
            if (object != first)
            {
                mWatched.push_back(object);
            }
        }
    }
    void Settle() override { QVERIFY(::Settle(mBackEnd)); }
    QStringList Sent() const override
    {
        QStringList sent;
        for (const cFakePEQDriver::sWrite& write : mDriver.mWrites)
        {
            sent << QString("%1 %2 = %3").arg(write.mWhat).arg(write.mBand).arg(write.mValue);
        }
        return sent;
    }

private:
    cFakePEQDriver mDriver;
    cPEQQmlBackEnd2 mBackEnd;
    cPEQQmlBand2 mBand;
    cHPFQmlBand2 mHighPass;
};

// A plain object of its own, with nothing to send.
template <class tObject>
class cObjectFixture : public cFixture
{
public:
    template <class... tArguments>
    explicit cObjectFixture(tArguments... arguments)
        : mObject(arguments...)
    {
        mWatched = {&mObject};
    }

private:
    tObject mObject;
};

std::unique_ptr<cFixture> MakeFixture(eFixture fixture)
{
    switch (fixture)
    {
    case CONTROLLER_DRIVER:
        return std::make_unique<cControllerFixture>();
    case KVCC_FORMAT:
        return std::make_unique<cObjectFixture<cKVCCFormat>>(cKVCCFormat::PADDED_GAIN_OFFSET_DB,
                                                             cKVCCFormat::ONE_DECIMAL_PLACE, false);
    case GRAPH_BACK_END:
    case GRAPH_BAND:
    case GRAPH_HIGH_PASS_BAND:
        return std::make_unique<cGraphFixture>(fixture);
    case THEME:
        return std::make_unique<cObjectFixture<cThemeColours>>();
    case INTERPRETER:
        return std::make_unique<cObjectFixture<cQmlValueInterpreterSingleton>>();
    }
    return nullptr;
}

// What a row's target does with a number that is not one.
enum eOutcome
{
    REFUSED, // reported
    UNUSED,  // a formatter or an operation that takes nothing from it: no report
};

struct sRealInput
{
    const char* mInput; // as RealInputs names it
    eFixture mFixture;
    const char* mScript; // %1: the number
    eOutcome mOutcome;
};

// clang-format off
const sRealInput REAL_INPUTS[] = {
    {"cQtSignalSlotContinuousControllerDriver::value", CONTROLLER_DRIVER, "target.value = %1", REFUSED},
    {"cQtSignalSlotContinuousControllerDriver::setValue(float)", CONTROLLER_DRIVER, "target.setValue(%1)", REFUSED},
    {"cQtSignalSlotContinuousControllerDriver::SetValue(float)", CONTROLLER_DRIVER, "target.SetValue(%1)", REFUSED},
    {"cKVCCFormat::interpretValue(UWORD,double,eKVCCType)", KVCC_FORMAT, "target.interpretValue(40000, %1, 2)", UNUSED},
    {"cKVCCFormat::interpretUnits(UWORD,double,eKVCCType)", KVCC_FORMAT, "target.interpretUnits(40000, %1, 2)", UNUSED},
    {"cKVCCFormat::interpretValue(UWORD,double)", KVCC_FORMAT, "target.interpretValue(40000, %1)", UNUSED},
    {"cKVCCFormat::interpretUnits(UWORD,double)", KVCC_FORMAT, "target.interpretUnits(40000, %1)", UNUSED},
    {"cPEQQmlBackEnd2::yScaleMargin", GRAPH_BACK_END, "target.yScaleMargin = %1", REFUSED},
    {"cPEQQmlBackEnd2::xScaleMargin", GRAPH_BACK_END, "target.xScaleMargin = %1", REFUSED},
    {"cPEQQmlBackEnd2::height", GRAPH_BACK_END, "target.height = %1", REFUSED},
    {"cPEQQmlBackEnd2::width", GRAPH_BACK_END, "target.width = %1", REFUSED},
    {"cPEQQmlBackEnd2::setHeight(double)", GRAPH_BACK_END, "target.setHeight(%1)", REFUSED},
    {"cPEQQmlBackEnd2::setWidth(double)", GRAPH_BACK_END, "target.setWidth(%1)", REFUSED},
    {"cPEQQmlBackEnd2::setPinchDelta(int,double)", GRAPH_BACK_END, "target.setPinchDelta(0, %1)", REFUSED},
    {"cPEQQmlBandBase2::frequencyRangeMin", GRAPH_BAND, "target.frequencyRangeMin = %1", REFUSED},
    {"cPEQQmlBandBase2::frequencyRangeMax", GRAPH_BAND, "target.frequencyRangeMax = %1", REFUSED},
    {"cPEQQmlBandBase2::gainRangeMin", GRAPH_BAND, "target.gainRangeMin = %1", REFUSED},
    {"cPEQQmlBandBase2::gainRangeMax", GRAPH_BAND, "target.gainRangeMax = %1", REFUSED},
    {"cPEQQmlBandBase2::setPinchDelta(double)", GRAPH_BAND, "target.setPinchDelta(%1)", REFUSED},
    {"cPEQQmlBandBase2::frequencyRangeMin", GRAPH_HIGH_PASS_BAND, "target.frequencyRangeMin = %1", REFUSED},
    {"cPEQQmlBandBase2::frequencyRangeMax", GRAPH_HIGH_PASS_BAND, "target.frequencyRangeMax = %1", REFUSED},
    {"cPEQQmlBandBase2::gainRangeMin", GRAPH_HIGH_PASS_BAND, "target.gainRangeMin = %1", REFUSED},
    {"cPEQQmlBandBase2::gainRangeMax", GRAPH_HIGH_PASS_BAND, "target.gainRangeMax = %1", REFUSED},
    {"cPEQQmlBandBase2::setPinchDelta(double)", GRAPH_HIGH_PASS_BAND, "target.setPinchDelta(%1)", UNUSED},
    {"cThemeColours::scaleFactor", THEME, "target.scaleFactor = %1", REFUSED},
    {"cQmlValueInterpreterSingleton::interpretValue(UWORD,QVariant,cKVCCFormat::eKVCCTypeDecimalPlaces)", INTERPRETER, "target.interpretValue(40000, %1, 1)", UNUSED},
    {"cQmlValueInterpreterSingleton::interpretUnits(UWORD,QVariant,cKVCCFormat::eKVCCTypeDecimalPlaces)", INTERPRETER, "target.interpretUnits(40000, %1, 1)", UNUSED},
    {"cQmlValueInterpreterSingleton::interpretValueAndUnits(UWORD,QVariant,cKVCCFormat::eKVCCTypeDecimalPlaces,QString)", INTERPRETER, "target.interpretValueAndUnits(40000, %1, 1, ' ')", UNUSED},
    {"cQmlValueInterpreterSingleton::interpretValueAndUnits(UWORD,QVariant,cKVCCFormat::eKVCCTypeDecimalPlaces)", INTERPRETER, "target.interpretValueAndUnits(40000, %1, 1)", UNUSED},
    {"cQmlValueInterpreterSingleton::interpretValueAndUnitsWithExponent(int,double,QVariant,cKVCCFormat::eKVCCTypeDecimalPlaces,QString)", INTERPRETER, "target.interpretValueAndUnitsWithExponent(40000, %1, 2, 1, ' ')", UNUSED},
    {"cQmlValueInterpreterSingleton::interpretValueAndUnitsWithExponent(int,double,QVariant,cKVCCFormat::eKVCCTypeDecimalPlaces,QString)", INTERPRETER, "target.interpretValueAndUnitsWithExponent(40000, 0, %1, 1, ' ')", UNUSED},
    {"cQmlValueInterpreterSingleton::interpretValueAndUnitsWithExponent(int,double,QVariant,cKVCCFormat::eKVCCTypeDecimalPlaces)", INTERPRETER, "target.interpretValueAndUnitsWithExponent(40000, %1, 2, 1)", UNUSED},
    {"cQmlValueInterpreterSingleton::interpretValueAndUnitsWithExponent(int,double,QVariant,cKVCCFormat::eKVCCTypeDecimalPlaces)", INTERPRETER, "target.interpretValueAndUnitsWithExponent(40000, 0, %1, 1)", UNUSED},
};
// clang-format on

const char* const NOT_NUMBERS[] = {"NaN", "Infinity", "-Infinity", "1e300", "-1e300"};

// Every readable property of the object that may change, as text (a path wrapper with its path).
QStringList Snapshot(const QObject* object)
{
    QStringList texts;
    const QMetaObject* meta = object->metaObject();
    for (int i = 0; i < meta->propertyCount(); ++i)
    {
        const QMetaProperty property = meta->property(i);
        if (property.isConstant() && QByteArray(property.typeName()) != "QPainterPathWrapper*")
        {
            continue;
        }
        if (QByteArray(property.typeName()).startsWith("QQmlListProperty"))
        {
            continue;
        }
        const QVariant value = property.read(object);
        QString text;
        {
            QDebug debug(&text);
            debug << property.name() << value;
            if (const auto* wrapper = value.value<QPainterPathWrapper*>())
            {
                debug << wrapper->path();
            }
        }
        texts << text;
    }
    return texts;
}

} // namespace

class tst_QmlRealInputs : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void everyRealInput_hasRows();
    void notANumber_isNeitherStoredNorSent_data();
    void notANumber_isNeitherStoredNorSent();

private:
    std::unique_ptr<QQmlEngine> mEngine;
};

void tst_QmlRealInputs::initTestCase()
{
    RegisterQmlTypes();
    mEngine = std::make_unique<QQmlEngine>();
}

// The rows follow the registration table: a real-number input added to a registered type needs its
// row here.
void tst_QmlRealInputs::everyRealInput_hasRows()
{
    QStringList registered;
    QStringList found;
    for (const QQmlType& type : QQmlMetaType::qmlAllTypes())
    {
        if (MODULES.contains(type.module()) && type.metaObject() != nullptr)
        {
            registered << type.module() + "/" + type.elementName();
            found << RealInputs(type.metaObject());
        }
    }
    QVERIFY2(registered.size() >= 25, qPrintable(registered.join(", ")));
    found.removeDuplicates();
    found.sort();
    QStringList covered;
    for (const sRealInput& input : REAL_INPUTS)
    {
        covered << input.mInput;
    }
    covered.removeDuplicates();
    covered.sort();
    QCOMPARE(found, covered);
}

void tst_QmlRealInputs::notANumber_isNeitherStoredNorSent_data()
{
    QTest::addColumn<int>("input");
    QTest::addColumn<QString>("number");
    for (int i = 0; i < int(std::size(REAL_INPUTS)); ++i)
    {
        for (const char* number : NOT_NUMBERS)
        {
            QString name = QString(REAL_INPUTS[i].mScript).arg(number);
            if (REAL_INPUTS[i].mFixture == GRAPH_HIGH_PASS_BAND)
            {
                name += " (high-pass band)";
            }
            QTest::newRow(name.toUtf8().constData()) << i << QString(number);
        }
    }
}

void tst_QmlRealInputs::notANumber_isNeitherStoredNorSent()
{
    QFETCH(int, input);
    QFETCH(QString, number);
    const sRealInput& row = REAL_INPUTS[input];

    std::unique_ptr<cFixture> fixture = MakeFixture(row.mFixture);
    std::vector<QStringList> before;
    std::vector<std::unique_ptr<cSignalLog>> logs;
    for (QObject* object : fixture->Watched())
    {
        before.push_back(Snapshot(object));
        logs.push_back(std::make_unique<cSignalLog>(object));
    }
    cReportCapture reports;

    mEngine->rootContext()->setContextProperty("target", fixture->Target());
    QQmlExpression expression(mEngine->rootContext(), nullptr, QString(row.mScript).arg(number));
    expression.evaluate();
    QVERIFY2(!expression.hasError(), qPrintable(expression.error().toString()));
    fixture->Settle();
    mEngine->rootContext()->setContextProperty("target", static_cast<QObject*>(nullptr));

    for (size_t i = 0; i < logs.size(); ++i)
    {
        QCOMPARE(logs[i]->Entries(), QStringList());
        QCOMPARE(Snapshot(fixture->Watched()[i]), before[i]);
    }
    QCOMPARE(fixture->Sent(), QStringList());
    if (row.mOutcome == REFUSED)
    {
        QVERIFY2(reports.Count("refused") >= 1, qPrintable(reports.Lines().join("")));
        QCOMPARE(reports.Count("ERROR"), reports.Lines().size());
    }
    else
    {
        QVERIFY2(reports.Lines().isEmpty(), qPrintable(reports.Lines().join("")));
    }
}

QTEST_GUILESS_MAIN(tst_QmlRealInputs)
#include "tst_QmlRealInputs.moc"
