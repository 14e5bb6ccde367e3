#include "tests/support/PostedEventRoom.h"

#include <QCoreApplication>
#include <QEvent>
#include <QObject>

void MakeRoomForPostedEvents(int room)
{
    QObject sink;
    for (int i = 0; i < room; ++i)
    {
        QCoreApplication::postEvent(&sink, new QEvent(QEvent::User));
    }
}
