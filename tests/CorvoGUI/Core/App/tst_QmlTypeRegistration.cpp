#include "CorvoGUI/Core/App/ConnectionStateMetaType.h"
#include "CorvoGUI/Core/App/QmlTypeRegistration.h"

#include <QMetaType>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QtTest>

#include <memory>

class tst_QmlTypeRegistration : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void integerTypes_areAliasesOfTheirQtTypes_data();
    void integerTypes_areAliasesOfTheirQtTypes();
    void connectionState_isAFourByteEnumerationMetaType();
    void peqTypes_giveTheFilterTypesToQml_data();
    void peqTypes_giveTheFilterTypesToQml();
    void peqTypes_cannotBeInstantiated();
};

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

QTEST_GUILESS_MAIN(tst_QmlTypeRegistration)
#include "tst_QmlTypeRegistration.moc"
