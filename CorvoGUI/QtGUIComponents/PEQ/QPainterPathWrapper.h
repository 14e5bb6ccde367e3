#pragma once

#include <QObject>
#include <QPainterPath>

// One painter path handed from C++ to QML: the graph's back end and its bands build curves and grids
// as paths, and a PathPainterPath element in QML draws the wrapper's path. Not creatable from QML.
//
// Threads: GUI thread only.
class QPainterPathWrapper : public QObject
{
    Q_OBJECT

public:
    explicit QPainterPathWrapper(QObject* parent = nullptr);
    ~QPainterPathWrapper() override;

    const QPainterPath& path() const { return mPath; }
    // Assigns and emits painterPathChanged, also when the new path equals the old one.
    void setPath(const QPainterPath& path);

signals:
    void painterPathChanged();

private:
    QPainterPath mPath;
};
