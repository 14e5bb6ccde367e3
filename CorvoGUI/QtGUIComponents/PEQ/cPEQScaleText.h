#pragma once

#include <QObject>
#include <QPointF>
#include <QString>

// One label of the response graph's scale: its text and the point it is centred on, in graph pixels.
// QML type "PEQScaleText" of module "KVQml" 2.0, not creatable. Made and owned by the graph's back end.
//
// Threads: GUI thread only.
class cPEQScaleText : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString scaleText READ scaleText NOTIFY scaleTextChanged)
    Q_PROPERTY(QPointF position READ position NOTIFY positionChanged)

public:
    cPEQScaleText(const QString& text, const QPointF& position, QObject* parent = nullptr);
    ~cPEQScaleText() override;

    QString scaleText() const { return mText; }
    QPointF position() const { return mPosition; }

signals:
    void scaleTextChanged();
    void positionChanged();

private:
    QString mText;
    QPointF mPosition;
};
