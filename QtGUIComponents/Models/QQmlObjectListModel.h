#pragma once

#include "KVNet/QT/Trace/KVNetReports.h"
#include "QtGUIComponents/Models/QQmlObjectListModelBase.h"

#include <QDebug>
#include <QHash>
#include <QJSEngine>
#include <QList>
#include <QMetaMethod>
#include <QMetaObject>
#include <QMetaProperty>
#include <QVector>

#include <iterator>

// A list model over QObject items of type T (a QObject subclass with Qt properties): each item is
// one row and every property of T is a role, so a QML delegate reads each property of its item as
// a model role, and a change announced by a property's notify signal refreshes that row for that
// property's role (for every property it announces, when several share one signal).
//
// Roles: Qt::DisplayRole named "display" when a display role name is given (its data is that
// property); Qt::UserRole (256) "qtObject", the item itself; then 257 + i for property i of T's
// meta-object, counting from QObject's own "objectName". A property named "id", "index", "class",
// "model" or "modelData" gets no role (its number is skipped) and a warning is logged.
//
// Ownership: an item without a parent gets the model as parent when it enters the list, and an item
// whose parent is the model is handed to deleteLater when it leaves the list (remove or clear).
// Items owned by something else are only unlinked. An item destroyed while in the list leaves it.
//
// Uids: with a uid role name, each item's property of that name (as text) finds it through
// get(uid); the index follows changes of that property.
//
// Indexes from QML are checked: reads outside the list answer null or an invalid QVariant;
// insert (0..count), move (from 0..count-1 to before 0..count) and remove outside the list are
// reported and change nothing. Null items and items that are not a T are ignored; an item that is
// in the list already is reported and not added twice.
//
// Threads: GUI thread only; property signals of items on other threads arrive queued.
template <typename T>
class QQmlObjectListModel : public QQmlObjectListModelBase
{
public:
    static constexpr int OBJECT_ROLE = Qt::UserRole;
    static constexpr int FIRST_PROPERTY_ROLE = Qt::UserRole + 1;

    explicit QQmlObjectListModel(QObject* parent = nullptr, const QByteArray& displayRoleName = QByteArray(),
                                 const QByteArray& uidRoleName = QByteArray());
    // Releases the tables and the list; items parented to the model go with it as its children.
    ~QQmlObjectListModel() override;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    // Sets the item's property of a known role above 256 and answers whether that worked.
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    QHash<int, QByteArray> roleNames() const override { return mRoleTable; }

    // The QML operations.
    int size() const override { return mItems.size(); }
    int count() const override { return mItems.size(); }
    bool isEmpty() const override { return mItems.isEmpty(); }
    bool contains(QObject* item) const override { return indexOf(item) >= 0; }
    int indexOf(QObject* item) const override { return mItems.indexOf(qobject_cast<T*>(item)); }
    int roleForName(const QByteArray& name) const override { return mRoleTable.key(name, -1); }
    void clear() override;
    void append(QObject* item) override { insert(mItems.size(), qobject_cast<T*>(item)); }
    void prepend(QObject* item) override { insert(0, qobject_cast<T*>(item)); }
    void insert(int idx, QObject* item) override { insert(idx, qobject_cast<T*>(item)); }
    // The item at idx moves to before the row that was at pos: it ends at pos - 1 when idx < pos,
    // else at pos. Nothing happens when that leaves it where it is.
    void move(int idx, int pos) override;
    void remove(QObject* item) override { remove(indexOf(item)); }
    void remove(int idx) override;
    QObject* get(int idx) const override { return at(idx); }
    QObject* get(const QString& uid) const override { return mIndexByUid.value(uid, nullptr); }
    QObject* getFirst() const override { return first(); }
    QObject* getLast() const override { return last(); }
    // Every item wrapped in a QVariant as a T*, in order.
    QVariantList toVarArray() const override;
    // Calls the function once per item, in order, with the item wrapped for the QML engine the
    // model is exposed to. A function that is not callable, or a model no engine knows, is
    // reported and nothing is called.
    void map(QJSValue Function) override;

    // The same operations typed for the program's own callers.
    void append(T* item) { insert(mItems.size(), item); }
    void prepend(T* item) { insert(0, item); }
    void insert(int idx, T* item);
    void remove(T* item) { remove(int(mItems.indexOf(item))); }
    bool contains(T* item) const { return mItems.contains(item); }
    int indexOf(T* item) const { return mItems.indexOf(item); }
    // Null outside the list.
    T* at(int idx) const { return idx >= 0 && idx < mItems.size() ? mItems.at(idx) : nullptr; }
    T* first() const { return mItems.isEmpty() ? nullptr : mItems.first(); }
    T* last() const { return mItems.isEmpty() ? nullptr : mItems.last(); }
    const QList<T*>& items() const { return mItems; }

protected:
    void onItemPropertyChanged() override;

private:
    void Reference(T* item);
    void Dereference(T* item);
    void ItemDestroyed(T* item);
    QString UidOf(T* item) const;
    void ForgetUid(T* item);
    void UpdateCount();

    QList<T*> mItems;
    int mCount = 0;
    QHash<int, QByteArray> mRoleTable;
    // Notify-signal method index -> the roles of the properties it announces.
    QHash<int, QVector<int>> mSignalIdxToRoles;
    QByteArray mUidRoleName;
    QByteArray mDisplayRoleName;
    QHash<QString, T*> mIndexByUid;
    QMetaMethod mHandler;
};

template <typename T>
QQmlObjectListModel<T>::QQmlObjectListModel(QObject* parent, const QByteArray& displayRoleName,
                                            const QByteArray& uidRoleName)
    : QQmlObjectListModelBase(parent)
    , mUidRoleName(uidRoleName)
    , mDisplayRoleName(displayRoleName)
{
    const QMetaObject& itemMetaObject = T::staticMetaObject;
    if (!mDisplayRoleName.isEmpty())
    {
        mRoleTable.insert(Qt::DisplayRole, QByteArrayLiteral("display"));
    }
    mRoleTable.insert(OBJECT_ROLE, QByteArrayLiteral("qtObject"));
    for (int i = 0; i < itemMetaObject.propertyCount(); ++i)
    {
        const int role = FIRST_PROPERTY_ROLE + i;
        const QMetaProperty property = itemMetaObject.property(i);
        const QByteArray name(property.name());
        if (IsReservedRoleName(name))
        {
            qWarning() << "Can't have" << name << "as a role name in"
                       << qPrintable(
                              QStringLiteral("QQmlObjectListModel<%1>").arg(itemMetaObject.className()));
            continue;
        }
        mRoleTable.insert(role, name);
        if (property.hasNotifySignal())
        {
            mSignalIdxToRoles[property.notifySignalIndex()].append(role);
        }
    }
    const QMetaObject* own = metaObject();
    mHandler = own->method(own->indexOfMethod("onItemPropertyChanged()"));
}

template <typename T>
QQmlObjectListModel<T>::~QQmlObjectListModel()
{
    for (T* item : qAsConst(mItems))
    {
        QObject::disconnect(item, nullptr, this, nullptr);
    }
}

template <typename T>
int QQmlObjectListModel<T>::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : mItems.size();
}

template <typename T>
QVariant QQmlObjectListModel<T>::data(const QModelIndex& index, int role) const
{
    T* item = index.isValid() ? at(index.row()) : nullptr;
    if (item == nullptr || !mRoleTable.contains(role))
    {
        return QVariant();
    }
    if (role == OBJECT_ROLE)
    {
        return QVariant::fromValue<QObject*>(item);
    }
    const QByteArray name = role == Qt::DisplayRole ? mDisplayRoleName : mRoleTable.value(role);
    return item->property(name.constData());
}

template <typename T>
bool QQmlObjectListModel<T>::setData(const QModelIndex& index, const QVariant& value, int role)
{
    T* item = index.isValid() ? at(index.row()) : nullptr;
    if (item == nullptr || role <= OBJECT_ROLE || !mRoleTable.contains(role))
    {
        return false;
    }
    return item->setProperty(mRoleTable.value(role).constData(), value);
}

template <typename T>
void QQmlObjectListModel<T>::clear()
{
    if (mItems.isEmpty())
    {
        return;
    }
    beginRemoveRows(QModelIndex(), 0, mItems.size() - 1);
    const QList<T*> leaving = mItems;
    mItems.clear();
    for (T* item : leaving)
    {
        Dereference(item);
    }
    endRemoveRows();
    UpdateCount();
}

template <typename T>
void QQmlObjectListModel<T>::insert(int idx, T* item)
{
    if (item == nullptr || !CheckIndex("insert", idx, 0, mItems.size()))
    {
        return;
    }
    if (mItems.contains(item))
    {
        KV_REPORT_ERROR("Object list model: an item is in the list already");
        return;
    }
    beginInsertRows(QModelIndex(), idx, idx);
    mItems.insert(idx, item);
    Reference(item);
    endInsertRows();
    UpdateCount();
}

template <typename T>
void QQmlObjectListModel<T>::move(int idx, int pos)
{
    if (idx == pos || !CheckIndex("move", idx, 0, mItems.size() - 1) ||
        !CheckIndex("move", pos, 0, mItems.size()))
    {
        return;
    }
    // Moving to before the next row leaves the item in place; Qt refuses that move.
    if (!beginMoveRows(QModelIndex(), idx, idx, QModelIndex(), pos))
    {
        return;
    }
    mItems.move(idx, idx < pos ? pos - 1 : pos);
    endMoveRows();
}

template <typename T>
void QQmlObjectListModel<T>::remove(int idx)
{
    if (!CheckIndex("remove", idx, 0, mItems.size() - 1))
    {
        return;
    }
    beginRemoveRows(QModelIndex(), idx, idx);
    T* item = mItems.takeAt(idx);
    Dereference(item);
    endRemoveRows();
    UpdateCount();
}

template <typename T>
QVariantList QQmlObjectListModel<T>::toVarArray() const
{
    QVariantList result;
    result.reserve(mItems.size());
    for (T* item : mItems)
    {
        result.append(QVariant::fromValue<T*>(item));
    }
    return result;
}

template <typename T>
void QQmlObjectListModel<T>::map(QJSValue Function)
{
    QJSEngine* engine = qjsEngine(this);
    if (!Function.isCallable() || engine == nullptr)
    {
        KV_REPORT_ERROR("Object list model: map needs a function and a model known to a QML engine");
        return;
    }
    // A copy: the function may change the list.
    const QList<T*> items = mItems;
    for (T* item : items)
    {
        Function.call(QJSValueList{engine->toScriptValue<QObject*>(item)});
    }
}

template <typename T>
void QQmlObjectListModel<T>::onItemPropertyChanged()
{
    T* item = qobject_cast<T*>(sender());
    const int row = mItems.indexOf(item);
    const auto roles = mSignalIdxToRoles.constFind(senderSignalIndex());
    if (row < 0 || roles == mSignalIdxToRoles.constEnd())
    {
        return;
    }
    const QModelIndex changed = index(row);
    emit dataChanged(changed, changed, *roles);
    if (!mUidRoleName.isEmpty() && roles->contains(mRoleTable.key(mUidRoleName, -1)))
    {
        ForgetUid(item);
        const QString uid = UidOf(item);
        if (!uid.isEmpty())
        {
            mIndexByUid.insert(uid, item);
        }
    }
}

template <typename T>
void QQmlObjectListModel<T>::Reference(T* item)
{
    if (item->parent() == nullptr)
    {
        item->setParent(this);
    }
    const QMetaObject* itemMetaObject = item->metaObject();
    for (auto entry = mSignalIdxToRoles.constBegin(); entry != mSignalIdxToRoles.constEnd(); ++entry)
    {
        QObject::connect(item, itemMetaObject->method(entry.key()), this, mHandler, Qt::UniqueConnection);
    }
    // An item deleted by its owner must not stay behind as a dangling row.
    QObject::connect(item, &QObject::destroyed, this, [this, item]() { ItemDestroyed(item); });
    const QString uid = UidOf(item);
    if (!uid.isEmpty())
    {
        mIndexByUid.insert(uid, item);
    }
}

template <typename T>
void QQmlObjectListModel<T>::Dereference(T* item)
{
    QObject::disconnect(this, nullptr, item, nullptr);
    QObject::disconnect(item, nullptr, this, nullptr);
    ForgetUid(item);
    if (item->parent() == this)
    {
        item->deleteLater();
    }
}

template <typename T>
void QQmlObjectListModel<T>::ItemDestroyed(T* item)
{
    const int row = mItems.indexOf(item);
    if (row < 0)
    {
        return;
    }
    beginRemoveRows(QModelIndex(), row, row);
    mItems.removeAt(row);
    endRemoveRows();
    ForgetUid(item);
    UpdateCount();
}

template <typename T>
QString QQmlObjectListModel<T>::UidOf(T* item) const
{
    return mUidRoleName.isEmpty() ? QString() : item->property(mUidRoleName.constData()).toString();
}

template <typename T>
void QQmlObjectListModel<T>::ForgetUid(T* item)
{
    for (auto entry = mIndexByUid.begin(); entry != mIndexByUid.end();)
    {
        entry = entry.value() == item ? mIndexByUid.erase(entry) : std::next(entry);
    }
}

template <typename T>
void QQmlObjectListModel<T>::UpdateCount()
{
    if (mItems.size() != mCount)
    {
        mCount = mItems.size();
        emit countChanged();
    }
}
