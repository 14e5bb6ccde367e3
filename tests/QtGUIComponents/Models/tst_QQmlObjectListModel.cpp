#include "QtGUIComponents/Models/QQmlObjectListModel.h"
#include "tests/support/cQmlWarningGuard.h"
#include "tests/support/cReportCapture.h"

#include <QAbstractItemModelTester>
#include <QJSEngine>
#include <QPointer>
#include <QQmlComponent>
#include <QQmlContext>
#include <QQmlEngine>
#include <QtTest>

#include <memory>

// An item with a property that cannot be a role ("model") between two that can.
class cBandItem : public QObject
{
    Q_OBJECT
    Q_PROPERTY(int gain READ gain WRITE setGain NOTIFY gainChanged)
    Q_PROPERTY(int model READ model CONSTANT)
    Q_PROPERTY(QString name READ name WRITE setName NOTIFY nameChanged)
    Q_PROPERTY(QString uid READ uid WRITE setUid NOTIFY uidChanged)

public:
    explicit cBandItem(const QString& name, QObject* parent = nullptr)
        : QObject(parent)
        , mName(name)
        , mUid(name + "-uid")
    {
    }

    int gain() const { return mGain; }
    int model() const { return 0; }
    QString name() const { return mName; }
    QString uid() const { return mUid; }

    void setGain(int gain)
    {
        if (gain != mGain)
        {
            mGain = gain;
            emit gainChanged();
        }
    }
    void setName(const QString& name)
    {
        if (name != mName)
        {
            mName = name;
            emit nameChanged();
        }
    }
    void setUid(const QString& uid)
    {
        if (uid != mUid)
        {
            mUid = uid;
            emit uidChanged();
        }
    }

signals:
    void gainChanged();
    void nameChanged();
    void uidChanged();

private:
    int mGain = 0;
    QString mName;
    QString mUid;
};

namespace
{

using tModel = QQmlObjectListModel<cBandItem>;
constexpr int GAIN_ROLE = Qt::UserRole + 2;
constexpr int NAME_ROLE = Qt::UserRole + 4;
constexpr int UID_ROLE = Qt::UserRole + 5;

const char* const RESERVED_WARNING = "Can't have \"model\" as a role name in QQmlObjectListModel<cBandItem>";

QString Names(const tModel& model)
{
    QStringList names;
    for (cBandItem* item : model.items())
    {
        names.append(item->name());
    }
    return names.join("");
}

// A model of items a, b, c (owned by the model), with the QtTest checker attached.
struct sFixture
{
    std::unique_ptr<tModel> mModel;
    std::unique_ptr<QAbstractItemModelTester> mTester;

    explicit sFixture(const QByteArray& displayRole = QByteArray(), const QByteArray& uidRole = QByteArray())
    {
        QTest::ignoreMessage(QtWarningMsg, RESERVED_WARNING);
        mModel = std::make_unique<tModel>(nullptr, displayRole, uidRole);
        for (const char* name : {"a", "b", "c"})
        {
            mModel->append(new cBandItem(name));
        }
        mTester = std::make_unique<QAbstractItemModelTester>(
            mModel.get(), QAbstractItemModelTester::FailureReportingMode::QtTest);
    }
};

} // namespace

class tst_QQmlObjectListModel : public QObject
{
    Q_OBJECT

private slots:
    void roles_areTheItemsProperties();
    void rowChanges_checkTheirIndexes_data();
    void rowChanges_checkTheirIndexes();
    void ownership_followsTheParent();
    void reads_andWrites();
    void propertyChange_refreshesOneRowAndRole();
    void qml_readsRolesAndCallsTheModel();
};

void tst_QQmlObjectListModel::roles_areTheItemsProperties()
{
    sFixture fixture("name");
    const QHash<int, QByteArray> expected{
        {Qt::DisplayRole, "display"}, {Qt::UserRole, "qtObject"}, {Qt::UserRole + 1, "objectName"},
        {GAIN_ROLE, "gain"},          {NAME_ROLE, "name"},        {UID_ROLE, "uid"}};
    QCOMPARE(fixture.mModel->roleNames(), expected);
    QCOMPARE(fixture.mModel->roleForName("gain"), GAIN_ROLE);
    QCOMPARE(fixture.mModel->roleForName("model"), -1);
    QCOMPARE(fixture.mModel->data(fixture.mModel->index(1), Qt::DisplayRole).toString(), QString("b"));
}

void tst_QQmlObjectListModel::rowChanges_checkTheirIndexes_data()
{
    QTest::addColumn<QStringList>("operations");
    QTest::addColumn<QString>("result");
    QTest::addColumn<int>("countChanges");
    QTest::addColumn<int>("reports");

    QTest::newRow("move 0 to before 2") << QStringList{"move 0 2"} << "bac" << 0 << 0;
    QTest::newRow("move to the end") << QStringList{"move 0 3"} << "bca" << 0 << 0;
    QTest::newRow("move back") << QStringList{"move 2 0"} << "cab" << 0 << 0;
    QTest::newRow("moves that leave the item in place")
        << QStringList{"move 1 1", "move 1 2"} << "abc" << 0 << 0;
    QTest::newRow("moves outside the list are refused")
        << QStringList{"move 3 0", "move -1 0", "move 0 4", "move 0 -1"} << "abc" << 0 << 4;
    QTest::newRow("insert at the ends and in the middle")
        << QStringList{"insert 3 d", "insert 0 z", "insert 2 m"}
        << "zamb"
           "cd"
        << 3 << 0;
    QTest::newRow("insert outside the list is refused")
        << QStringList{"insert 4 x", "insert -1 x"} << "abc" << 0 << 2;
    QTest::newRow("remove by index, in and out of the list")
        << QStringList{"remove 1", "remove 2", "remove -1"} << "ac" << 1 << 2;
    QTest::newRow("remove by item") << QStringList{"removeItem c"} << "ab" << 1 << 0;
    QTest::newRow("null, foreign and listed items are not added")
        << QStringList{"appendNull", "appendForeign", "appendListed"} << "abc" << 0 << 1;
    QTest::newRow("two appends announce twice") << QStringList{"append d", "prepend e"} << "eabcd" << 2 << 0;
    QTest::newRow("clear, then clear an empty list") << QStringList{"clear", "clear"} << "" << 1 << 0;
}

void tst_QQmlObjectListModel::rowChanges_checkTheirIndexes()
{
    QFETCH(QStringList, operations);
    QFETCH(QString, result);
    QFETCH(int, countChanges);
    QFETCH(int, reports);

    cReportCapture capture;
    sFixture fixture;
    tModel& model = *fixture.mModel;
    QSignalSpy counts(&model, &QQmlObjectListModelBase::countChanged);
    QObject foreign;
    for (const QString& operation : operations)
    {
        const QStringList words = operation.split(' ');
        const QString op = words.at(0);
        if (op == "move")
        {
            model.move(words.at(1).toInt(), words.at(2).toInt());
        }
        else if (op == "insert")
        {
            model.insert(words.at(1).toInt(), static_cast<QObject*>(new cBandItem(words.at(2), &foreign)));
        }
        else if (op == "remove")
        {
            model.remove(words.at(1).toInt());
        }
        else if (op == "removeItem")
        {
            model.remove(static_cast<QObject*>(model.at(Names(model).indexOf(words.at(1)))));
        }
        else if (op == "append")
        {
            model.append(static_cast<QObject*>(new cBandItem(words.at(1), &foreign)));
        }
        else if (op == "prepend")
        {
            model.prepend(static_cast<QObject*>(new cBandItem(words.at(1), &foreign)));
        }
        else if (op == "appendNull")
        {
            model.append(static_cast<QObject*>(nullptr));
        }
        else if (op == "appendForeign")
        {
            model.append(&foreign);
        }
        else if (op == "appendListed")
        {
            model.append(model.first());
        }
        else if (op == "clear")
        {
            model.clear();
        }
    }
    QCOMPARE(Names(model), result);
    QCOMPARE(model.count(), result.size());
    QCOMPARE(counts.size(), countChanges);
    QCOMPARE(capture.Lines().size(), reports);
}

void tst_QQmlObjectListModel::ownership_followsTheParent()
{
    sFixture fixture;
    tModel& model = *fixture.mModel;
    QObject owner;
    QPointer<cBandItem> owned = model.at(0);
    QPointer<cBandItem> foreign = new cBandItem("f", &owner);
    model.append(foreign.data());
    QCOMPARE(owned->parent(), &model);
    QCOMPARE(foreign->parent(), &owner);

    model.remove(static_cast<QObject*>(foreign.data()));
    model.remove(0);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(owned.isNull());
    QVERIFY(!foreign.isNull());

    // An item deleted by its owner while listed leaves the list.
    model.append(foreign.data());
    QCOMPARE(model.count(), 3);
    delete foreign.data();
    QCOMPARE(Names(model), QString("bc"));

    QPointer<cBandItem> last = model.last();
    model.clear();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(last.isNull());
}

void tst_QQmlObjectListModel::reads_andWrites()
{
    sFixture fixture(QByteArray(), "uid");
    tModel& model = *fixture.mModel;
    QCOMPARE(model.get(-1), nullptr);
    QCOMPARE(model.get(3), nullptr);
    QCOMPARE(model.get(1), model.at(1));
    QCOMPARE(model.get(QString("c-uid")), model.at(2));
    QCOMPARE(model.get(QString("nobody")), nullptr);
    QCOMPARE(model.getFirst(), model.at(0));
    QCOMPARE(model.getLast(), model.at(2));
    QCOMPARE(model.indexOf(model.at(2)), 2);
    QObject stranger;
    QCOMPARE(model.indexOf(&stranger), -1);
    QVERIFY(!model.contains(&stranger));

    QCOMPARE(model.data(model.index(0), Qt::UserRole).value<QObject*>(), model.at(0));
    QCOMPARE(model.data(model.index(1), NAME_ROLE).toString(), QString("b"));
    QVERIFY(!model.data(model.index(3), NAME_ROLE).isValid());
    QVERIFY(!model.data(model.index(1), Qt::DisplayRole).isValid());
    QVERIFY(!model.data(model.index(1), Qt::UserRole + 3).isValid()); // the skipped "model" role

    QVERIFY(model.setData(model.index(1), 6, GAIN_ROLE));
    QCOMPARE(model.at(1)->gain(), 6);
    QVERIFY(!model.setData(model.index(1), QVariant::fromValue<QObject*>(&stranger), Qt::UserRole));
    QVERIFY(!model.setData(model.index(4), 6, GAIN_ROLE));

    const QVariantList array = model.toVarArray();
    QCOMPARE(array.size(), 3);
    QCOMPARE(array.at(2).value<cBandItem*>(), model.at(2));

    model.clear();
    QCOMPARE(model.getFirst(), nullptr);
    QCOMPARE(model.getLast(), nullptr);
    QCOMPARE(model.get(QString("a-uid")), nullptr);
}

void tst_QQmlObjectListModel::propertyChange_refreshesOneRowAndRole()
{
    sFixture fixture(QByteArray(), "uid");
    tModel& model = *fixture.mModel;
    QSignalSpy changes(&model, &QAbstractItemModel::dataChanged);

    model.at(1)->setGain(-3);
    QCOMPARE(changes.size(), 1);
    QCOMPARE(changes.at(0).at(0).toModelIndex().row(), 1);
    QCOMPARE(changes.at(0).at(1).toModelIndex().row(), 1);
    QCOMPARE(changes.at(0).at(2).value<QVector<int>>(), QVector<int>{GAIN_ROLE});

    model.at(2)->setUid("renamed");
    QCOMPARE(changes.size(), 2);
    QCOMPARE(model.get(QString("renamed")), model.at(2));
    QCOMPARE(model.get(QString("c-uid")), nullptr);

    // A removed item is unlinked: its changes no longer reach the model.
    QObject owner;
    cBandItem* item = model.at(0);
    item->setParent(&owner);
    model.remove(0);
    changes.clear();
    item->setGain(9);
    QCOMPARE(changes.size(), 0);
}

void tst_QQmlObjectListModel::qml_readsRolesAndCallsTheModel()
{
    sFixture fixture;
    tModel& model = *fixture.mModel;
    cQmlWarningGuard guard;
    QQmlEngine engine;
    engine.rootContext()->setContextProperty("bands", &model);
    QQmlComponent component(&engine);
    component.setData(
        "import QtQml 2.15\n"
        "QtObject {\n"
        "    property int count: bands.count\n"
        "    property Instantiator view: Instantiator {\n"
        "        model: bands\n"
        "        delegate: QtObject { property string label: name + gain }\n"
        "    }\n"
        "    function labels() {\n"
        "        var result = [];\n"
        "        for (var i = 0; i < view.count; ++i) result.push(view.objectAt(i).label);\n"
        "        return result.join(',');\n"
        "    }\n"
        "    function mapped() {\n"
        "        var names = [];\n"
        "        bands.map(function(item) { names.push(item.name); });\n"
        "        return names.join(',') + ';' + bands.toVarArray().length + ';' + bands.get(1).name;\n"
        "    }\n"
        "}\n",
        QUrl());
    std::unique_ptr<QObject> object(component.create());
    QVERIFY2(object != nullptr, qPrintable(component.errorString()));
    QCOMPARE(object->property("count").toInt(), 3);

    QVariant result;
    QMetaObject::invokeMethod(object.get(), "labels", Q_RETURN_ARG(QVariant, result));
    QCOMPARE(result.toString(), QString("a0,b0,c0"));
    model.at(1)->setGain(4);
    model.move(2, 0);
    QMetaObject::invokeMethod(object.get(), "labels", Q_RETURN_ARG(QVariant, result));
    QCOMPARE(result.toString(), QString("c0,a0,b4"));
    QMetaObject::invokeMethod(object.get(), "mapped", Q_RETURN_ARG(QVariant, result));
    QCOMPARE(result.toString(), QString("c,a,b;3;a"));
    QML_VERIFY_NO_WARNINGS(guard);

    // map on a model that no QML engine knows: reported, the function is never called.
    sFixture unknown;
    QJSEngine script;
    script.globalObject().setProperty("calls", script.newArray());
    const QJSValue record = script.evaluate("(function(item) { calls.push(item); })");
    QVERIFY(record.isCallable());
    cReportCapture reports;
    unknown.mModel->map(record);
    QVERIFY(reports.Contains("map needs a function and a model known to a QML engine"));
    QCOMPARE(script.evaluate("calls.length").toInt(), 0);
}

QTEST_GUILESS_MAIN(tst_QQmlObjectListModel)
#include "tst_QQmlObjectListModel.moc"
