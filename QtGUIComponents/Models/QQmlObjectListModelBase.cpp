#include "QtGUIComponents/Models/QQmlObjectListModelBase.h"

#include "KVNet/QT/Trace/KVNetReports.h"

#include <QSet>

QQmlObjectListModelBase::QQmlObjectListModelBase(QObject* parent)
    : QAbstractListModel(parent)
{
}

QQmlObjectListModelBase::~QQmlObjectListModelBase() = default;

bool QQmlObjectListModelBase::IsReservedRoleName(const QByteArray& name)
{
    static const QSet<QByteArray> reserved{"id", "index", "class", "model", "modelData"};
    return reserved.contains(name);
}

bool QQmlObjectListModelBase::CheckIndex(const char* operation, int index, int first, int last)
{
    if (index >= first && index <= last)
    {
        return true;
    }
    KV_REPORT_ERROR("Object list model: %s at %d refused, it must lie in %d..%d", operation, index, first,
                    last);
    return false;
}
