#pragma once

#include <QColor>
#include <QFont>

// One scaled entry of a font table. The metric fields are 0 (and metricsValid false) in the table;
// a reader that needs them fills them on its own copy (FillMetrics), so the built tables are never
// written and several threads may read them at once.
struct sScaledFont
{
    QFont font;
    bool metricsValid = false;
    int ascent = 0;
    int descent = 0;
    // ascent + descent + 1
    int textHeight = 0;
};

// One text style of a font table: a font and a colour, both owned elsewhere (a table, a constant,
// or a colour the table holds).
struct sTextStyleDef
{
    const QFont* font = nullptr;
    const QColor* colour = nullptr;
};

// The scaled copy of a base font: its family, weight and italic (oblique counts as italic), with
// the point size times scale (single precision) truncated toward zero when above 4, else 4. A point
// size that would not fit a font (an infinite or enormous scale) is held at MAX_SCALED_POINT_SIZE.
// The metric fields stay unset. Any thread.
sScaledFont MakeScaledFont(const QFont& base, float scale);

// The largest point size MakeScaledFont gives.
constexpr int MAX_SCALED_POINT_SIZE = 4096;

// A copy of the entry with its ascent, descent and text height filled from QFontMetrics.
sScaledFont WithMetrics(const sScaledFont& entry);
