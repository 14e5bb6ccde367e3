#include "CorvoGUI/Core/App/SingleInstanceGuard.h"

#include <QSharedMemory>

bool TakeSingleInstance(QSharedMemory& memory)
{
    if (memory.attach(QSharedMemory::ReadOnly))
    {
        memory.detach();
        if (memory.attach(QSharedMemory::ReadOnly))
        {
            memory.detach();
            return false;
        }
    }
    return memory.create(1, QSharedMemory::ReadWrite);
}
