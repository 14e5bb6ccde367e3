#include "CorvoGUI/QtGUIComponents/ValueFormat/cQmlValueInterpreterSingleton.h"

#include "CorvoGUI/QtGUIComponents/ValueFormat/cProjectCCFormat.h"
#include "KVNet/QT/Trace/KVNetReports.h"

#include <QQmlEngine>

#include <climits>

cQmlValueInterpreterSingleton* gQmlValueInterpreterSingleton = nullptr;

namespace
{

constexpr double kDefaultExponent = -5120.0;
constexpr int kLastBaseType = 26;

// type converted to the enumeration; 0 when it does not convert.
template <typename tEnum>
tEnum ConvertType(const QVariant& type, const char* name)
{
    const int id = qRegisterMetaType<tEnum>(name);
    QVariant copy = type;
    if (!copy.convert(id))
    {
        return tEnum(0);
    }
    return copy.value<tEnum>();
}

// A floating-point number that int cannot hold (NaN, an infinity, beyond int) names no type; Qt's
// conversion of it to int or to an enumeration is undefined.
bool IsNumberBeyondInt(const QVariant& type)
{
    if (type.userType() != QMetaType::Double && type.userType() != QMetaType::Float)
    {
        return false;
    }
    const double number = type.toDouble();
    return !(number > double(INT_MIN) - 1.0 && number < double(INT_MAX) + 1.0);
}

cValueUnitStrings Interpret(UWORD value, double exponent, const QVariant& type,
                            cKVCCFormat::eKVCCTypeDecimalPlaces decimalPlaces)
{
    if (IsNumberBeyondInt(type))
    {
        return cKVCCFormat::InterpretValue(value, exponent, cKVCCFormat::NO_UNITS, decimalPlaces, true);
    }
    bool isNumber = type.userType() == QMetaType::Int;
    int number = isNumber ? type.toInt() : 0;
    if (!isNumber)
    {
        QVariant copy = type;
        isNumber = copy.convert(QMetaType::Int);
        number = isNumber ? copy.toInt() : 0;
    }
    if (isNumber && number > kLastBaseType)
    {
        const auto projectType =
            ConvertType<cProjectCCFormat::eProjectCCType>(type, "cProjectCCFormat::eProjectCCType");
        return cProjectCCFormat::InterpretValue(value, exponent, projectType, decimalPlaces, true);
    }
    const auto baseType = ConvertType<cKVCCFormat::eKVCCType>(type, "cKVCCFormat::eKVCCType");
    return cKVCCFormat::InterpretValue(value, exponent, baseType, decimalPlaces, true);
}

QString Joined(const cValueUnitStrings& texts, const QString& separator)
{
    return QStringLiteral("%1%2%3").arg(texts.value(), separator, texts.units());
}

} // namespace

cQmlValueInterpreterSingleton* cQmlValueInterpreterSingleton::Instance()
{
    if (gQmlValueInterpreterSingleton == nullptr)
    {
        KV_REPORT_ERROR("gQmlValueInterpreterSingleton is null");
    }
    return gQmlValueInterpreterSingleton;
}

QObject* cQmlValueInterpreterSingleton::SingletonProvider(QQmlEngine* engine, QJSEngine* scriptEngine)
{
    Q_UNUSED(engine)
    Q_UNUSED(scriptEngine)
    cQmlValueInterpreterSingleton* interpreter = Instance();
    if (interpreter != nullptr)
    {
        QQmlEngine::setObjectOwnership(interpreter, QQmlEngine::CppOwnership);
    }
    return interpreter;
}

QString cQmlValueInterpreterSingleton::interpretValue(UWORD value, QVariant type,
                                                      cKVCCFormat::eKVCCTypeDecimalPlaces decimalPlaces)
{
    return Interpret(value, kDefaultExponent, type, decimalPlaces).value();
}

QString cQmlValueInterpreterSingleton::interpretUnits(UWORD value, QVariant type,
                                                      cKVCCFormat::eKVCCTypeDecimalPlaces decimalPlaces)
{
    return Interpret(value, kDefaultExponent, type, decimalPlaces).units();
}

QString cQmlValueInterpreterSingleton::interpretValueAndUnits(
    UWORD value, QVariant type, cKVCCFormat::eKVCCTypeDecimalPlaces decimalPlaces, QString separator)
{
    return Joined(Interpret(value, kDefaultExponent, type, decimalPlaces), separator);
}

QString cQmlValueInterpreterSingleton::interpretValueAndUnitsWithExponent(
    int value, double exponent, QVariant type, cKVCCFormat::eKVCCTypeDecimalPlaces decimalPlaces,
    QString separator)
{
    return Joined(Interpret(UWORD(value & 0xFFFF), exponent, type, decimalPlaces), separator);
}
