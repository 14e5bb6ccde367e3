#pragma once

#include "QtGUIComponents/Common/FontTableTypes.h"

#include <QColor>
#include <QFont>
#include <QObject>

// One font and one text colour for QML. Both stay writable; a setter that is given what the style
// already holds changes nothing and emits nothing.
//
// Threads: GUI thread (a QML object); the change signals are emitted synchronously by the setter.
class cTextStyle : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QFont font READ font WRITE setFont NOTIFY fontChanged)
    Q_PROPERTY(QColor colour READ colour WRITE setColour NOTIFY colourChanged)

public:
    // Copies the font and the colour that the definition points to; the definition is not kept.
    cTextStyle(const sTextStyleDef& definition, QObject* parent);
    cTextStyle(const QFont& font, const QColor& colour, QObject* parent);
    ~cTextStyle() override = default;

    QFont font() const { return mFont; }
    QColor colour() const { return mColour; }

public slots:
    void setFont(const QFont& Font);
    void setColour(const QColor& Colour);

signals:
    void fontChanged(QFont Font);
    void colourChanged(QColor Colour);

private:
    QFont mFont;
    QColor mColour;
};
