#pragma once

#include <QAbstractListModel>
#include <QByteArray>
#include <QJSValue>
#include <QObject>
#include <QString>
#include <QVariantList>

// The QML face of QQmlObjectListModel<T>: a list model whose rows are QObject items. The
// operations are declared here so that QML can call them whatever the item type is; the template
// implements them. count is the number of rows, announced by countChanged whenever it changes.
//
// Threads: GUI thread only.
class QQmlObjectListModelBase : public QAbstractListModel
{
    Q_OBJECT
    Q_PROPERTY(int count READ count NOTIFY countChanged)

public:
    explicit QQmlObjectListModelBase(QObject* parent = nullptr);
    ~QQmlObjectListModelBase() override;

public slots:
    virtual int size() const = 0;
    virtual int count() const = 0;
    virtual bool isEmpty() const = 0;
    virtual bool contains(QObject* item) const = 0;
    virtual int indexOf(QObject* item) const = 0;
    virtual int roleForName(const QByteArray& name) const = 0;
    virtual void clear() = 0;
    virtual void append(QObject* item) = 0;
    virtual void prepend(QObject* item) = 0;
    virtual void insert(int idx, QObject* item) = 0;
    virtual void move(int idx, int pos) = 0;
    virtual void remove(QObject* item) = 0;
    virtual void remove(int idx) = 0;
    virtual QObject* get(int idx) const = 0;
    virtual QObject* get(const QString& uid) const = 0;
    virtual QObject* getFirst() const = 0;
    virtual QObject* getLast() const = 0;
    virtual QVariantList toVarArray() const = 0;
    virtual void map(QJSValue Function) = 0;

protected:
    // Property names that cannot be roles: "id", "index", "class", "model", "modelData".
    static bool IsReservedRoleName(const QByteArray& name);
    // Checks an index from a caller; reports and answers false when it is outside first..last.
    static bool CheckIndex(const char* operation, int index, int first, int last);

protected slots:
    // Connected to the notify signal of every property of every item.
    virtual void onItemPropertyChanged() = 0;

signals:
    void countChanged();
};
