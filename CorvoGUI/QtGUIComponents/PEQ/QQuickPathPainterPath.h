#pragma once

#include <QPainterPath>
#include <QPointer>

#include <private/qquickpath_p.h>

class QPainterPathWrapper;

// A path element for a QML Path (or ShapePath) that splices a wrapper's painter path into the path
// being built: a line from the current position to the stored path's first point, then the stored
// path. QML type "PathPainterPath" of module "Corvo" 1.0. The curve's x, y, relativeX and relativeY
// stay unset.
//
// The element keeps its own copy of the wrapper's path and tells its Path to rebuild only when that
// copy changes. A null wrapper leaves the last path in place. The wrapper is not owned; the element
// lets go of it when it is destroyed.
//
// Threads: GUI thread only.
class QQuickPathPainterPath : public QQuickCurve
{
    Q_OBJECT
    Q_PROPERTY(QPainterPathWrapper* path READ path WRITE setPath NOTIFY pathChanged)

public:
    explicit QQuickPathPainterPath(QObject* parent = nullptr);
    ~QQuickPathPainterPath() override;

    QPainterPathWrapper* path() const { return mWrapper; }
    const QPainterPath& storedPath() const { return mPath; }

    // Called by Qt Quick while it builds the Path.
    void addToPath(QPainterPath& path, const QQuickPathData& data) override;

public slots:
    // Connects to the new wrapper, takes its path and emits pathChanged; nothing for the current one.
    void setPath(QPainterPathWrapper* Path);
    // Stores a differing path and signals the element as changed to its Path.
    void setPathInternal(QPainterPath path);
    void updatePathFromWrapper();

signals:
    void pathChanged();

private:
    QPainterPath mPath;
    QPointer<QPainterPathWrapper> mWrapper;
};
