#include "CorvoGUI/QtGUIComponents/PEQ/cPEQScaleText.h"

cPEQScaleText::cPEQScaleText(const QString& text, const QPointF& position, QObject* parent)
    : QObject(parent)
    , mText(text)
    , mPosition(position)
{
}

cPEQScaleText::~cPEQScaleText() = default;
