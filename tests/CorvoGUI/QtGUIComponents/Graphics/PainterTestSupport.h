#pragma once

#include <QColor>
#include <QImage>
#include <QString>

#include <cstdlib>

// Pixel checks for the painter tests.

// Whether every pixel of the image has alpha 0.
inline bool AllTransparent(const QImage& image)
{
    for (int y = 0; y < image.height(); ++y)
    {
        for (int x = 0; x < image.width(); ++x)
        {
            if (qAlpha(image.pixel(x, y)) != 0)
            {
                return false;
            }
        }
    }
    return true;
}

// The number of pixels whose alpha is above 0.
inline int VisiblePixels(const QImage& image)
{
    int visible = 0;
    for (int y = 0; y < image.height(); ++y)
    {
        for (int x = 0; x < image.width(); ++x)
        {
            visible += qAlpha(image.pixel(x, y)) > 0 ? 1 : 0;
        }
    }
    return visible;
}

// Whether two colours agree within tolerance in red, green, blue and alpha.
inline bool Near(const QColor& a, const QColor& b, int tolerance = 2)
{
    return std::abs(a.red() - b.red()) <= tolerance && std::abs(a.green() - b.green()) <= tolerance &&
           std::abs(a.blue() - b.blue()) <= tolerance && std::abs(a.alpha() - b.alpha()) <= tolerance;
}

inline QString Describe(const QColor& colour)
{
    return QStringLiteral("(%1,%2,%3,%4)")
        .arg(colour.red())
        .arg(colour.green())
        .arg(colour.blue())
        .arg(colour.alpha());
}

// Checks the pixel's colour within tolerance, naming what it found.
#define COMPARE_PIXEL(image, x, y, expected)                                                                 \
    do                                                                                                       \
    {                                                                                                        \
        const QColor found_ = (image).pixelColor((x), (y));                                                  \
        QVERIFY2(Near(found_, (expected)), qPrintable(QStringLiteral("pixel (%1,%2) is %3, not %4")          \
                                                          .arg(x)                                            \
                                                          .arg(y)                                            \
                                                          .arg(Describe(found_), Describe(expected))));      \
    } while (false)
