#include "tests/qml/WindowSupport/ScaleLabels.h"

#include "tests/qml/WindowSupport/SceneSearch.h"

#include <QQuickItem>
#include <QStringList>

#include <algorithm>
#include <limits>

QList<sScaleLabel> ScaleLabelsOf(const QQuickItem* graph)
{
    QList<sScaleLabel> labels;
    QQuickItem* repeater = FindInScene(graph, QStringLiteral("scaleLabels"));
    if (repeater == nullptr)
    {
        return labels;
    }
    const int count = repeater->property("count").toInt();
    for (int i = 0; i < count; ++i)
    {
        QQuickItem* label = nullptr;
        if (!QMetaObject::invokeMethod(repeater, "itemAt", Q_RETURN_ARG(QQuickItem*, label), Q_ARG(int, i)) ||
            label == nullptr)
        {
            continue;
        }
        labels.append({label->property("text").toString(),
                       label->mapRectToScene(QRectF(0, 0, label->width(), label->height()))});
    }
    return labels;
}

qreal LabelGap(const QRectF& a, const QRectF& b)
{
    const qreal apartX = std::max(b.left() - a.right(), a.left() - b.right());
    const qreal apartY = std::max(b.top() - a.bottom(), a.top() - b.bottom());
    return std::max(apartX, apartY);
}

QString sScaleLabelFigures::ToString() const
{
    return QStringLiteral("label heights %1 to %2 px, smallest gap %3 px (%4)")
        .arg(mMinHeight, 0, 'f', 1)
        .arg(mMaxHeight, 0, 'f', 1)
        .arg(mMinGap, 0, 'f', 1)
        .arg(mClosestPair);
}

QString ScaleLabelFault(const QQuickItem* graph, qreal minHeight, sScaleLabelFigures& figures)
{
    // The frequencies along the bottom, then the gains of the lines inside the graph, without sign.
    static const QStringList TEXTS{"50",  "100", "200", "500", "1k", "2k", "5k",
                                   "10k", "12",  "6",   "0",   "6",  "12"};

    const QList<sScaleLabel> labels = ScaleLabelsOf(graph);
    QStringList texts;
    for (const sScaleLabel& label : labels)
    {
        texts.append(label.mText);
    }
    QStringList faults;
    if (texts != TEXTS)
    {
        faults.append(QStringLiteral("texts %1").arg(texts.join(QLatin1Char(' '))));
    }

    const QRectF area = graph->mapRectToScene(QRectF(0, 0, graph->width(), graph->height()));
    figures = sScaleLabelFigures();
    figures.mMinHeight = std::numeric_limits<qreal>::max();
    figures.mMinGap = std::numeric_limits<qreal>::max();
    for (int i = 0; i < labels.size(); ++i)
    {
        const sScaleLabel& label = labels.at(i);
        figures.mMinHeight = std::min(figures.mMinHeight, label.mRect.height());
        figures.mMaxHeight = std::max(figures.mMaxHeight, label.mRect.height());
        if (label.mRect.height() < minHeight)
        {
            faults.append(QStringLiteral("\"%1\" %2 px high").arg(label.mText).arg(label.mRect.height()));
        }
        if (!area.contains(label.mRect))
        {
            faults.append(QStringLiteral("\"%1\" outside the graph").arg(label.mText));
        }
        for (int j = i + 1; j < labels.size(); ++j)
        {
            const qreal gap = LabelGap(label.mRect, labels.at(j).mRect);
            if (gap < figures.mMinGap)
            {
                figures.mMinGap = gap;
                figures.mClosestPair =
                    QStringLiteral("\"%1\" and \"%2\"").arg(label.mText, labels.at(j).mText);
            }
            if (gap < 0)
            {
                faults.append(
                    QStringLiteral("\"%1\" and \"%2\" overlap").arg(label.mText, labels.at(j).mText));
            }
        }
    }
    return faults.join(QStringLiteral("; "));
}
