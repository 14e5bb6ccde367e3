#include "KVNet/QT/Connections/KVNetConnectionMetaTypes.h"

#include "KVNet/Core/KVNetTypes.h"

#include <QAbstractSocket>

void RegisterConnectionMetaTypes()
{
    qRegisterMetaType<UWORD>("UWORD");
    qRegisterMetaType<UBYTE>("UBYTE");
    qRegisterMetaType<std::string>("std::string");
    qRegisterMetaType<QAbstractSocket::SocketError>("QAbstractSocket::SocketError");
}
