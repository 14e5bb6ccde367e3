#pragma once

#include "KVNet/Core/KVNetTypes.h"
#include "QtGUIComponents/Common/cKVCCFormat.h"

#include <QObject>
#include <QString>
#include <QVariant>

class QJSEngine;
class QQmlEngine;

// How QML shows control values: the singleton "Interpreter" of module "ValueInterpreter" 1.0.
// Every operation picks the formatter by the type number (cKVCCFormat up to 26, cProjectCCFormat
// above, so 27 and 28 are the project's delay types here) and always compresses the units, so the
// caller chooses the separator. The type may be given as a number (a fractional one is converted
// as QVariant converts it to int) or as a text naming an enumerator of cKVCCFormat::eKVCCType; a
// type that is neither, or a number that is not finite or beyond int, formats as the plain number.
//
// The one object lives in gQmlValueInterpreterSingleton, set by the application object and never
// deleted; the QML engine never owns it. Threads: GUI thread only; it keeps no state.
class cQmlValueInterpreterSingleton : public QObject
{
    Q_OBJECT

public:
    cQmlValueInterpreterSingleton() = default;
    ~cQmlValueInterpreterSingleton() override = default;

    // gQmlValueInterpreterSingleton; never creates. Null (after the report
    // "gQmlValueInterpreterSingleton is null") while unset.
    static cQmlValueInterpreterSingleton* Instance();
    // The QML singleton provider: Instance(), kept in C++ ownership. Both engines are ignored.
    static QObject* SingletonProvider(QQmlEngine* engine, QJSEngine* scriptEngine);

    // The value text, with an exponent of -5120 (PADDED_GAIN_OFFSET_DB shows 20 dB less).
    Q_INVOKABLE virtual QString interpretValue(UWORD value, QVariant type,
                                               cKVCCFormat::eKVCCTypeDecimalPlaces decimalPlaces);
    // The unit text, with no blank in front.
    Q_INVOKABLE virtual QString interpretUnits(UWORD value, QVariant type,
                                               cKVCCFormat::eKVCCTypeDecimalPlaces decimalPlaces);
    // Value text, separator and unit text (a type without a unit ends with the separator).
    Q_INVOKABLE virtual QString interpretValueAndUnits(UWORD value, QVariant type,
                                                       cKVCCFormat::eKVCCTypeDecimalPlaces decimalPlaces,
                                                       QString separator = QStringLiteral("\u2009"));
    // As interpretValueAndUnits, with the caller's exponent; value is taken modulo 65536.
    Q_INVOKABLE virtual QString
    interpretValueAndUnitsWithExponent(int value, double exponent, QVariant type,
                                       cKVCCFormat::eKVCCTypeDecimalPlaces decimalPlaces,
                                       QString separator = QStringLiteral("\u2009"));
};

extern cQmlValueInterpreterSingleton* gQmlValueInterpreterSingleton;
