#include "tests/support/cSignalLog.h"

#include <QMetaMethod>

namespace
{

QString FormatArgument(const QByteArray& type, const void* argument)
{
    if (type == "int" || type == "SLONG")
    {
        return QString::number(*static_cast<const int*>(argument));
    }
    if (type == "bool")
    {
        return *static_cast<const bool*>(argument) ? "true" : "false";
    }
    if (type == "float")
    {
        return QString::number(double(*static_cast<const float*>(argument)), 'g', 8);
    }
    if (type == "double")
    {
        return QString::number(*static_cast<const double*>(argument), 'g', 8);
    }
    if (type == "GAIN" || type == "SWORD" || type == "short")
    {
        return QString::number(*static_cast<const qint16*>(argument));
    }
    if (type == "UWORD" || type == "ushort")
    {
        return QString::number(*static_cast<const quint16*>(argument));
    }
    if (type == "UBYTE" || type == "uchar")
    {
        return QString::number(*static_cast<const quint8*>(argument));
    }
    if (type == "QString")
    {
        return *static_cast<const QString*>(argument);
    }
    return QStringLiteral("<%1>").arg(QString::fromLatin1(type));
}

} // namespace

cSignalLog::cSignalLog(QObject* source)
    : mSource(source)
{
    const QMetaObject* metaObject = source->metaObject();
    const int slotBase = QObject::staticMetaObject.methodCount();
    for (int i = QObject::staticMetaObject.methodCount(); i < metaObject->methodCount(); ++i)
    {
        if (metaObject->method(i).methodType() != QMetaMethod::Signal)
        {
            continue;
        }
        QMetaObject::connect(source, i, this, slotBase + mSignalIndexes.size(), Qt::DirectConnection);
        mSignalIndexes.append(i);
    }
}

QStringList cSignalLog::Take()
{
    QStringList entries = mEntries;
    mEntries.clear();
    return entries;
}

int cSignalLog::qt_metacall(QMetaObject::Call call, int id, void** arguments)
{
    id = QObject::qt_metacall(call, id, arguments);
    if (id < 0 || call != QMetaObject::InvokeMetaMethod)
    {
        return id;
    }
    if (id < mSignalIndexes.size())
    {
        const QMetaMethod signal = mSource->metaObject()->method(mSignalIndexes.at(id));
        QStringList values;
        const QList<QByteArray> types = signal.parameterTypes();
        for (int i = 0; i < types.size(); ++i)
        {
            values.append(FormatArgument(types.at(i), arguments[i + 1]));
        }
        mEntries.append(QStringLiteral("%1(%2)").arg(QString::fromLatin1(signal.name()), values.join(", ")));
    }
    return id - mSignalIndexes.size();
}
