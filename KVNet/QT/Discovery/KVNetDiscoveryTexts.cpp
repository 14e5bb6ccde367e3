#include "KVNet/QT/Discovery/KVNetDiscoveryTexts.h"

#include <QList>

namespace nKVNetDiscovery
{

const QString MAGIC = QStringLiteral("KV_UFV2");
const QString MARKER_V2 = QStringLiteral("V2");
const QString MARKER_XX = QStringLiteral("XX");

QString SecondRequestMarker(const QString&)
{
    return QString();
}

QList<QByteArray> TerminatedTexts(const QByteArray& datagram)
{
    QList<QByteArray> texts;
    int start = 0;
    while (start < datagram.size())
    {
        const int end = datagram.indexOf('\0', start);
        if (end < 0)
        {
            break;
        }
        texts.append(datagram.mid(start, end - start));
        start = end + 1;
    }
    return texts;
}

} // namespace nKVNetDiscovery
