// The PEQ block's band list as the views see it: its roles, by number and by name.

#include "CorvoGUI/Core/App/QmlTypeRegistration.h"
#include "CorvoGUI/QtGUIComponents/Backends/cPEQBandDrivers.h"
#include "CorvoGUI/QtGUIComponents/Backends/cPEQBlockBackend.h"
#include "QtGUIComponents/KVNetDrivers/SignalSlotDrivers/cQtBooleanSwitchDriver.h"
#include "QtGUIComponents/KVNetDrivers/SignalSlotDrivers/cQtIntegerSwitchDriver.h"
#include "QtGUIComponents/KVNetDrivers/SignalSlotDrivers/cQtSignalSlotContinuousControllerDriver.h"
#include "tests/support/cMessagePump.h"
#include "tests/support/cQmlWarningGuard.h"
#include "tests/support/cScopedKVNetSystem.h"

#include <QQmlComponent>
#include <QQmlContext>
#include <QQmlEngine>
#include <QtTest>

#include <memory>

namespace
{

// The drivers of a band item in role order, from role 258 on.
QList<QObject*> Drivers(const cPEQBandDrivers& item)
{
    return {item.bandTypeSwitchDriver(), item.frequencyDriver(), item.widthDriver(), item.gainDriver(),
            item.bypassDriver()};
}

} // namespace

class tst_cPEQBlockBackend : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { RegisterQmlTypes(); }
    void bandList_rolesAreTheItemAndItsDrivers();
};

void tst_cPEQBlockBackend::bandList_rolesAreTheItemAndItsDrivers()
{
    cScopedKVNetSystem system;
    auto block = std::make_unique<cPEQBlockBackend>(cPEQBlockBackend::FOUR, "Test Block");
    QQmlObjectListModel<cPEQBandDrivers>& bands = *block->bands();
    QCOMPARE(bands.rowCount(), 4);

    const QHash<int, QByteArray> roles = {
        {256, "qtObject"},    {257, "objectName"}, {258, "bandTypeSwitchDriver"}, {259, "frequencyDriver"},
        {260, "widthDriver"}, {261, "gainDriver"}, {262, "bypassDriver"}};
    QCOMPARE(bands.roleNames(), roles);
    for (auto role = roles.cbegin(); role != roles.cend(); ++role)
    {
        QCOMPARE(bands.roleForName(role.value()), role.key());
    }
    QCOMPARE(bands.roleForName("model"), -1);

    for (int row = 0; row < bands.rowCount(); ++row)
    {
        const cPEQBandDrivers& item = *bands.at(row);
        const QModelIndex index = bands.index(row);
        QCOMPARE(bands.data(index, 256).value<QObject*>(), &item);
        const QList<QObject*> drivers = Drivers(item);
        for (int i = 0; i < drivers.size(); ++i)
        {
            QVERIFY(drivers[i] != nullptr);
            QCOMPARE(bands.data(index, 258 + i).value<QObject*>(), drivers[i]);
        }
    }
    QCOMPARE(bands.at(1)->frequencyDriver()->netObjectName(),
             QString("Test BlockChannel PEQ LM Freq TFT Edit Box"));

    // A delegate reads the roles by their names.
    cQmlWarningGuard guard;
    {
        QQmlEngine engine;
        engine.rootContext()->setContextProperty("bands", &bands);
        QQmlComponent component(&engine);
        component.setData(
            "import QtQml 2.15\n"
            "import QtQml.Models 2.15\n"
            "Instantiator {\n"
            "    model: bands\n"
            "    delegate: QtObject {\n"
            "        readonly property var roles: [model.qtObject, model.bandTypeSwitchDriver,\n"
            "            model.frequencyDriver, model.widthDriver, model.gainDriver,\n"
            "            model.bypassDriver]\n"
            "        readonly property string name: model.objectName\n"
            "    }\n"
            "}\n",
            QUrl());
        std::unique_ptr<QObject> instantiator(component.create());
        QVERIFY2(instantiator != nullptr, qPrintable(component.errorString()));
        QCOMPARE(instantiator->property("count").toInt(), 4);
        for (int row = 0; row < 4; ++row)
        {
            QObject* delegate = nullptr;
            QMetaObject::invokeMethod(instantiator.get(), "objectAt", Q_RETURN_ARG(QObject*, delegate),
                                      Q_ARG(int, row));
            QVERIFY(delegate != nullptr);
            const QVariantList read = delegate->property("roles").toList();
            QList<QObject*> expected = {bands.at(row)};
            expected << Drivers(*bands.at(row));
            QCOMPARE(read.size(), expected.size());
            for (int i = 0; i < read.size(); ++i)
            {
                QCOMPARE(read[i].value<QObject*>(), expected[i]);
            }
            QCOMPARE(delegate->property("name").toString(), bands.at(row)->objectName());
        }
    }
    QML_VERIFY_NO_WARNINGS(guard);
    block->UnlinkDrivers();
    block.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); // the list, while the system runs
    cMessagePump::Pump();
}

QTEST_GUILESS_MAIN(tst_cPEQBlockBackend)
#include "tst_cPEQBlockBackend.moc"
