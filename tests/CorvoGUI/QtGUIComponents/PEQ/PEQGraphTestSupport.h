#pragma once

// Test support for the PEQ response graph: running the back end's update timer, reading paths,
// and the graph's expected pixel mapping.

#include "CorvoGUI/QtGUIComponents/PEQ/QPainterPathWrapper.h"
#include "CorvoGUI/QtGUIComponents/PEQ/cPEQQmlBackEnd2.h"

#include <QCoreApplication>
#include <QPainterPath>
#include <QPointF>
#include <QVector>

#include <cmath>

// Runs the update timer until nothing is scheduled; false when it keeps rescheduling itself.
inline bool Settle(const cPEQQmlBackEnd2& backEnd, int rounds = 50)
{
    for (int i = 0; i < rounds && backEnd.IsUpdateScheduled(); ++i)
    {
        QCoreApplication::processEvents();
    }
    return !backEnd.IsUpdateScheduled();
}

// The points of a polyline path (every element's end point).
inline QVector<QPointF> PathPoints(const QPainterPath& path)
{
    QVector<QPointF> points;
    for (int i = 0; i < path.elementCount(); ++i)
    {
        const QPainterPath::Element element = path.elementAt(i);
        points.append(QPointF(element.x, element.y));
    }
    return points;
}

inline QVector<QPointF> PathPoints(const QPainterPathWrapper* wrapper)
{
    return PathPoints(wrapper->path());
}

// Distance of p from the segment a-b.
inline double SegmentDistance(const QPointF& p, const QPointF& a, const QPointF& b)
{
    const double dx = b.x() - a.x();
    const double dy = b.y() - a.y();
    const double lengthSquared = dx * dx + dy * dy;
    double t = lengthSquared > 0.0 ? ((p.x() - a.x()) * dx + (p.y() - a.y()) * dy) / lengthSquared : 0.0;
    t = std::fmax(0.0, std::fmin(1.0, t));
    return std::hypot(p.x() - (a.x() + t * dx), p.y() - (a.y() + t * dy));
}

// The largest distance of a point of `full` from the polyline `kept`.
inline double LargestDeviation(const QVector<QPointF>& full, const QVector<QPointF>& kept)
{
    double largest = 0.0;
    for (const QPointF& p : full)
    {
        double nearest = kept.size() == 1 ? std::hypot(p.x() - kept[0].x(), p.y() - kept[0].y()) : 1e300;
        for (int i = 0; i + 1 < kept.size(); ++i)
        {
            nearest = std::fmin(nearest, SegmentDistance(p, kept[i], kept[i + 1]));
        }
        largest = std::fmax(largest, nearest);
    }
    return largest;
}
