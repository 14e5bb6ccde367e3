#include "CorvoGUI/QtGUIComponents/PEQ/cPEQDriverInterface.h"

cPEQDriverInterface::cPEQDriverInterface(QObject* parent)
    : QObject(parent)
{
}

cPEQDriverInterface::~cPEQDriverInterface() = default;
