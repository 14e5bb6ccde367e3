#pragma once

#include <QList>
#include <QRectF>
#include <QString>

class QQuickItem;

// The scale labels a PEQ response graph (CorvoPEQ) shows, read from its "scaleLabels" repeater: each
// label's text and its rectangle in scene coordinates (logical pixels), in the order of the back end's
// scale text list. GUI thread.
struct sScaleLabel
{
    QString mText;
    QRectF mRect;
};

QList<sScaleLabel> ScaleLabelsOf(const QQuickItem* graph);

// How far apart two label rectangles are: along the axis on which they lie farther apart; zero when
// they touch, negative when they overlap.
qreal LabelGap(const QRectF& a, const QRectF& b);

// What a graph's labels measure: the lowest and highest label, and the smallest gap between two labels
// with the pair that has it.
struct sScaleLabelFigures
{
    qreal mMinHeight = 0;
    qreal mMaxHeight = 0;
    qreal mMinGap = 0;
    QString mClosestPair;

    QString ToString() const;
};

// Empty when the graph's labels are legible: the scale's texts in their order, every label at least
// minHeight high, inside the graph and clear of every other label. Otherwise what is wrong. The
// figures are filled either way (as far as there are labels).
QString ScaleLabelFault(const QQuickItem* graph, qreal minHeight, sScaleLabelFigures& figures);
