#include "QtGUIComponents/Common/FontTableTypes.h"

#include <QFontMetrics>

sScaledFont MakeScaledFont(const QFont& base, float scale)
{
    const bool italic = base.style() != QFont::StyleNormal;
    const int weight = base.weight();
    const float size = float(base.pointSize()) * scale + 0.0f;
    int pointSize = 4;
    if (size > float(MAX_SCALED_POINT_SIZE))
    {
        pointSize = MAX_SCALED_POINT_SIZE;
    }
    else if (size > 4.0f)
    {
        pointSize = int(size);
    }
    sScaledFont entry;
    entry.font = QFont(base.family(), pointSize, weight, italic);
    return entry;
}

sScaledFont WithMetrics(const sScaledFont& entry)
{
    sScaledFont filled = entry;
    const QFontMetrics metrics(filled.font);
    filled.ascent = metrics.ascent();
    filled.descent = metrics.descent();
    filled.textHeight = filled.ascent + filled.descent + 1;
    filled.metricsValid = true;
    return filled;
}
