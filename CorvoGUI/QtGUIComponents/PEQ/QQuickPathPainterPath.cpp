#include "CorvoGUI/QtGUIComponents/PEQ/QQuickPathPainterPath.h"

#include "CorvoGUI/QtGUIComponents/PEQ/QPainterPathWrapper.h"

QQuickPathPainterPath::QQuickPathPainterPath(QObject* parent)
    : QQuickCurve(parent)
{
}

QQuickPathPainterPath::~QQuickPathPainterPath() = default;

void QQuickPathPainterPath::addToPath(QPainterPath& path, const QQuickPathData&)
{
    path.connectPath(mPath);
}

void QQuickPathPainterPath::setPath(QPainterPathWrapper* Path)
{
    if (Path == mWrapper)
    {
        return;
    }
    if (mWrapper != nullptr)
    {
        disconnect(mWrapper, &QPainterPathWrapper::painterPathChanged, this,
                   &QQuickPathPainterPath::updatePathFromWrapper);
    }
    mWrapper = Path;
    if (mWrapper != nullptr)
    {
        connect(mWrapper, &QPainterPathWrapper::painterPathChanged, this,
                &QQuickPathPainterPath::updatePathFromWrapper);
    }
    updatePathFromWrapper();
    emit pathChanged();
}

void QQuickPathPainterPath::setPathInternal(QPainterPath path)
{
    if (path == mPath)
    {
        return;
    }
    mPath = path;
    emit changed();
}

void QQuickPathPainterPath::updatePathFromWrapper()
{
    if (mWrapper != nullptr)
    {
        setPathInternal(mWrapper->path());
    }
}
