#include "QtGUIComponents/Models/QQmlVariantListModel.h"
#include "tests/support/cQmlWarningGuard.h"
#include "tests/support/cReportCapture.h"

#include <QAbstractItemModelTester>
#include <QQmlComponent>
#include <QQmlContext>
#include <QQmlEngine>
#include <QtTest>

#include <memory>

namespace
{

QVariantList Items(const QString& letters)
{
    QVariantList items;
    for (const QChar letter : letters)
    {
        items.append(QString(letter));
    }
    return items;
}

QString Letters(const QQmlVariantListModel& model)
{
    QString letters;
    for (const QVariant& item : model.list())
    {
        letters += item.toString();
    }
    return letters;
}

// "op arg..." with items as letters; "-" is an empty list.
void Apply(QQmlVariantListModel& model, const QString& operation)
{
    const QStringList words = operation.split(' ');
    const QString op = words.at(0);
    auto list = [&](int i) { return words.at(i) == "-" ? QVariantList() : Items(words.at(i)); };
    if (op == "append")
    {
        model.append(words.at(1));
    }
    else if (op == "prepend")
    {
        model.prepend(words.at(1));
    }
    else if (op == "insert")
    {
        model.insert(words.at(1).toInt(), words.at(2));
    }
    else if (op == "appendList")
    {
        model.appendList(list(1));
    }
    else if (op == "prependList")
    {
        model.prependList(list(1));
    }
    else if (op == "insertList")
    {
        model.insertList(words.at(1).toInt(), list(2));
    }
    else if (op == "replace")
    {
        model.replace(words.at(1).toInt(), words.at(2));
    }
    else if (op == "move")
    {
        model.move(words.at(1).toInt(), words.at(2).toInt());
    }
    else if (op == "remove")
    {
        model.remove(words.at(1).toInt());
    }
    else if (op == "clear")
    {
        model.clear();
    }
}

} // namespace

class tst_QQmlVariantListModel : public QObject
{
    Q_OBJECT

private slots:
    void changes_keepTheModelConsistent_data();
    void changes_keepTheModelConsistent();
    void reads_checkRowAndRole();
    void qmlView_readsTheItemsAndTheCount();
};

void tst_QQmlVariantListModel::changes_keepTheModelConsistent_data()
{
    QTest::addColumn<QString>("start");
    QTest::addColumn<QStringList>("operations");
    QTest::addColumn<QString>("result");
    QTest::addColumn<QList<int>>("counts");
    QTest::addColumn<int>("reports");

    QTest::newRow("prependList [a, b] on [c]")
        << "c" << QStringList{"prependList ab"} << "abc" << QList<int>{3} << 0;
    QTest::newRow("appendList and insertList in order")
        << "ad" << QStringList{"appendList ef", "insertList 1 bc"} << "abcdef" << QList<int>{4, 6} << 0;
    QTest::newRow("empty lists do nothing")
        << "ab" << QStringList{"appendList -", "prependList -", "insertList 1 -"} << "ab" << QList<int>()
        << 0;
    QTest::newRow("append, prepend, insert at the end")
        << "b" << QStringList{"append c", "prepend a", "insert 3 d"} << "abcd" << QList<int>{2, 3, 4} << 0;
    QTest::newRow("insert past the end is refused")
        << "ab" << QStringList{"insert 3 x", "insert -1 x", "insertList 5 xy"} << "ab" << QList<int>() << 3;
    QTest::newRow("replace in and out of the list")
        << "abc" << QStringList{"replace 1 x", "replace 3 y", "replace -1 y"} << "axc" << QList<int>() << 2;
    QTest::newRow("move to the same place does nothing")
        << "abc" << QStringList{"move 0 0"} << "abc" << QList<int>() << 0;
    QTest::newRow("move forward and back")
        << "abc" << QStringList{"move 0 2", "move 2 1"} << "bac" << QList<int>() << 0;
    QTest::newRow("move outside the list is refused")
        << "abc" << QStringList{"move 0 3", "move -1 1", "move 4 0"} << "abc" << QList<int>() << 3;
    QTest::newRow("remove in and out of the list")
        << "abc" << QStringList{"remove 5", "remove -1", "remove 1"} << "ac" << QList<int>{2} << 2;
    QTest::newRow("clear, then clear an empty list")
        << "abc" << QStringList{"clear", "clear"} << "" << QList<int>{0} << 0;
}

void tst_QQmlVariantListModel::changes_keepTheModelConsistent()
{
    QFETCH(QString, start);
    QFETCH(QStringList, operations);
    QFETCH(QString, result);
    QFETCH(QList<int>, counts);
    QFETCH(int, reports);

    cReportCapture capture;
    QQmlVariantListModel model;
    model.appendList(Items(start));
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QSignalSpy countChanges(&model, &QQmlVariantListModel::countChanged);

    for (const QString& operation : operations)
    {
        Apply(model, operation);
    }
    QCOMPARE(Letters(model), result);
    QList<int> announced;
    for (const QList<QVariant>& arguments : countChanges)
    {
        announced.append(arguments.at(0).toInt());
    }
    QCOMPARE(announced, counts);
    QCOMPARE(model.count(), result.size());
    QCOMPARE(model.isEmpty(), result.isEmpty());
    QCOMPARE(capture.Lines().size(), reports);
}

void tst_QQmlVariantListModel::reads_checkRowAndRole()
{
    QQmlVariantListModel model;
    model.appendList(Items("abc"));
    QCOMPARE(model.roleNames(), (QHash<int, QByteArray>{{Qt::UserRole, "qtVariant"}}));
    QCOMPARE(model.data(model.index(1), Qt::UserRole).toString(), QString("b"));
    QVERIFY(!model.data(model.index(1), Qt::UserRole + 1).isValid());
    QVERIFY(!model.data(model.index(1), Qt::DisplayRole).isValid());
    QVERIFY(!model.data(model.index(3), Qt::UserRole).isValid());
    QVERIFY(!model.get(-1).isValid());
    QVERIFY(!model.get(3).isValid());
    QCOMPARE(model.get(2).toString(), QString("c"));

    QSignalSpy changes(&model, &QAbstractItemModel::dataChanged);
    QVERIFY(model.setData(model.index(0), "z", Qt::UserRole));
    QVERIFY(!model.setData(model.index(0), "y", Qt::UserRole + 1));
    QVERIFY(!model.setData(model.index(5), "y", Qt::UserRole));
    QCOMPARE(Letters(model), QString("zbc"));
    QCOMPARE(changes.size(), 1);
    QCOMPARE(changes.at(0).at(2).value<QVector<int>>(), QVector<int>{Qt::UserRole});
}

void tst_QQmlVariantListModel::qmlView_readsTheItemsAndTheCount()
{
    cQmlWarningGuard guard;
    QQmlVariantListModel model;
    model.appendList(Items("ab"));
    QQmlEngine engine;
    engine.rootContext()->setContextProperty("descriptions", &model);
    QQmlComponent component(&engine);
    component.setData("import QtQml 2.15\n"
                      "QtObject {\n"
                      "    property int count: descriptions.count\n"
                      "    property var shown: []\n"
                      "    property Instantiator view: Instantiator {\n"
                      "        model: descriptions\n"
                      "        delegate: QtObject { property string text: qtVariant }\n"
                      "    }\n"
                      "    function texts() {\n"
                      "        var result = [];\n"
                      "        for (var i = 0; i < view.count; ++i) result.push(view.objectAt(i).text);\n"
                      "        return result.join(',');\n"
                      "    }\n"
                      "    function grow() { descriptions.append('c'); descriptions.move(2, 0); }\n"
                      "}\n",
                      QUrl());
    std::unique_ptr<QObject> object(component.create());
    QVERIFY2(object != nullptr, qPrintable(component.errorString()));
    QCOMPARE(object->property("count").toInt(), 2);

    QVariant texts;
    QMetaObject::invokeMethod(object.get(), "texts", Q_RETURN_ARG(QVariant, texts));
    QCOMPARE(texts.toString(), QString("a,b"));
    QMetaObject::invokeMethod(object.get(), "grow");
    QMetaObject::invokeMethod(object.get(), "texts", Q_RETURN_ARG(QVariant, texts));
    QCOMPARE(texts.toString(), QString("c,a,b"));
    QCOMPARE(object->property("count").toInt(), 3);
    QML_VERIFY_NO_WARNINGS(guard);
}

QTEST_GUILESS_MAIN(tst_QQmlVariantListModel)
#include "tst_QQmlVariantListModel.moc"
