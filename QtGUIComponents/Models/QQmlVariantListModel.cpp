#include "QtGUIComponents/Models/QQmlVariantListModel.h"

#include "KVNet/QT/Trace/KVNetReports.h"

QQmlVariantListModel::QQmlVariantListModel(QObject* parent)
    : QAbstractListModel(parent)
{
}

QQmlVariantListModel::~QQmlVariantListModel() = default;

int QQmlVariantListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : mItems.size();
}

QVariant QQmlVariantListModel::data(const QModelIndex& index, int role) const
{
    const int row = index.row();
    if (!index.isValid() || row < 0 || row >= mItems.size() || role != VARIANT_ROLE)
    {
        return QVariant();
    }
    return mItems.at(row);
}

bool QQmlVariantListModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    const int row = index.row();
    if (!index.isValid() || row < 0 || row >= mItems.size() || role != VARIANT_ROLE)
    {
        return false;
    }
    mItems[row] = value;
    emit dataChanged(index, index, {VARIANT_ROLE});
    return true;
}

QHash<int, QByteArray> QQmlVariantListModel::roleNames() const
{
    return {{VARIANT_ROLE, QByteArrayLiteral("qtVariant")}};
}

void QQmlVariantListModel::clear()
{
    if (mItems.isEmpty())
    {
        return;
    }
    beginRemoveRows(QModelIndex(), 0, mItems.size() - 1);
    mItems.clear();
    endRemoveRows();
    UpdateCount();
}

int QQmlVariantListModel::count() const
{
    return mItems.size();
}

bool QQmlVariantListModel::isEmpty() const
{
    return mItems.isEmpty();
}

void QQmlVariantListModel::append(const QVariant& item)
{
    insert(mItems.size(), item);
}

void QQmlVariantListModel::prepend(const QVariant& item)
{
    insert(0, item);
}

void QQmlVariantListModel::insert(int idx, const QVariant& item)
{
    insertList(idx, QVariantList{item});
}

void QQmlVariantListModel::appendList(const QVariantList& itemList)
{
    insertList(mItems.size(), itemList);
}

void QQmlVariantListModel::prependList(const QVariantList& itemList)
{
    insertList(0, itemList);
}

void QQmlVariantListModel::insertList(int idx, const QVariantList& itemList)
{
    if (itemList.isEmpty() || !CheckIndex("insert", idx, 0, mItems.size()))
    {
        return;
    }
    beginInsertRows(QModelIndex(), idx, idx + itemList.size() - 1);
    for (int i = 0; i < itemList.size(); ++i)
    {
        mItems.insert(idx + i, itemList.at(i));
    }
    endInsertRows();
    UpdateCount();
}

void QQmlVariantListModel::replace(int pos, const QVariant& item)
{
    if (!CheckIndex("replace", pos, 0, mItems.size() - 1))
    {
        return;
    }
    mItems[pos] = item;
    const QModelIndex changed = index(pos);
    emit dataChanged(changed, changed, {VARIANT_ROLE});
}

void QQmlVariantListModel::move(int idx, int pos)
{
    if (idx == pos || !CheckIndex("move", idx, 0, mItems.size() - 1) ||
        !CheckIndex("move", pos, 0, mItems.size() - 1))
    {
        return;
    }
    // Announced as the removal of row idx and the insertion of row pos.
    const QVariant item = mItems.at(idx);
    beginRemoveRows(QModelIndex(), idx, idx);
    mItems.removeAt(idx);
    endRemoveRows();
    beginInsertRows(QModelIndex(), pos, pos);
    mItems.insert(pos, item);
    endInsertRows();
}

void QQmlVariantListModel::remove(int idx)
{
    if (!CheckIndex("remove", idx, 0, mItems.size() - 1))
    {
        return;
    }
    beginRemoveRows(QModelIndex(), idx, idx);
    mItems.removeAt(idx);
    endRemoveRows();
    UpdateCount();
}

QVariant QQmlVariantListModel::get(int idx) const
{
    return idx >= 0 && idx < mItems.size() ? mItems.at(idx) : QVariant();
}

QVariantList QQmlVariantListModel::list() const
{
    return mItems;
}

bool QQmlVariantListModel::CheckIndex(const char* operation, int index, int first, int last) const
{
    if (index >= first && index <= last)
    {
        return true;
    }
    KV_REPORT_ERROR("Variant list model: %s at %d refused, it must lie in %d..%d", operation, index, first,
                    last);
    return false;
}

void QQmlVariantListModel::UpdateCount()
{
    if (mItems.size() != mCount)
    {
        mCount = mItems.size();
        emit countChanged(mCount);
    }
}
