#include "QtGUIComponents/Common/cTextStyle.h"

cTextStyle::cTextStyle(const sTextStyleDef& definition, QObject* parent)
    : cTextStyle(*definition.font, *definition.colour, parent)
{
}

cTextStyle::cTextStyle(const QFont& font, const QColor& colour, QObject* parent)
    : QObject(parent)
    , mFont(font)
    , mColour(colour)
{
}

void cTextStyle::setFont(const QFont& Font)
{
    if (mFont == Font)
    {
        return;
    }
    mFont = Font;
    emit fontChanged(mFont);
}

void cTextStyle::setColour(const QColor& Colour)
{
    if (mColour == Colour)
    {
        return;
    }
    mColour = Colour;
    emit colourChanged(mColour);
}
