#include "CorvoGUI/QtGUIComponents/PEQ/QPainterPathWrapper.h"

QPainterPathWrapper::QPainterPathWrapper(QObject* parent)
    : QObject(parent)
{
}

QPainterPathWrapper::~QPainterPathWrapper() = default;

void QPainterPathWrapper::setPath(const QPainterPath& path)
{
    mPath = path;
    emit painterPathChanged();
}
