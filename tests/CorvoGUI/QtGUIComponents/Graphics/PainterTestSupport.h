#pragma once

#include <QColor>
#include <QImage>
#include <QString>

#include <cstdlib>

// Pixel checks for the painter tests. A null image (what a painter returns for a style it does not
// draw) fails every one of them: it has no pixels to be transparent, visible or of a colour.

// Whether the image has pixels and every one has alpha 0.
inline bool AllTransparent(const QImage& image)
{
    if (image.isNull())
    {
        return false;
    }
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

// The number of pixels whose alpha is above 0; -1 for a null image.
inline int VisiblePixels(const QImage& image)
{
    if (image.isNull())
    {
        return -1;
    }
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

// What the image holds at the pixel, or why it holds nothing there.
inline QString DescribePixel(const QImage& image, int x, int y)
{
    if (image.isNull())
    {
        return QStringLiteral("a null image");
    }
    if (!image.valid(x, y))
    {
        return QStringLiteral("outside the %1 x %2 image").arg(image.width()).arg(image.height());
    }
    return Describe(image.pixelColor(x, y));
}

// Whether the image has the pixel and its colour agrees within tolerance.
inline bool PixelNear(const QImage& image, int x, int y, const QColor& expected, int tolerance = 2)
{
    return image.valid(x, y) && Near(image.pixelColor(x, y), expected, tolerance);
}

// Whether the image has the pixel and its alpha is the expected one.
inline bool AlphaIs(const QImage& image, int x, int y, int expected)
{
    return image.valid(x, y) && qAlpha(image.pixel(x, y)) == expected;
}

// Checks the pixel's alpha, naming what it found; a null image or a pixel outside fails.
#define COMPARE_ALPHA(image, x, y, expected)                                                                 \
    do                                                                                                       \
    {                                                                                                        \
        const QImage& image_ = (image);                                                                      \
        QVERIFY2(AlphaIs(image_, (x), (y), (expected)),                                                      \
                 qPrintable(QStringLiteral("pixel (%1,%2) is %3, not of alpha %4")                           \
                                .arg(x)                                                                      \
                                .arg(y)                                                                      \
                                .arg(DescribePixel(image_, (x), (y)))                                        \
                                .arg(expected)));                                                            \
    } while (false)

// Checks the pixel's colour within tolerance, naming what it found. A null image, or a pixel outside
// the image, fails: Qt reads either as opaque black.
#define COMPARE_PIXEL(image, x, y, expected)                                                                 \
    do                                                                                                       \
    {                                                                                                        \
        const QImage& image_ = (image);                                                                      \
        QVERIFY2(PixelNear(image_, (x), (y), (expected)),                                                    \
                 qPrintable(QStringLiteral("pixel (%1,%2) is %3, not %4")                                    \
                                .arg(x)                                                                      \
                                .arg(y)                                                                      \
                                .arg(DescribePixel(image_, (x), (y)), Describe(expected))));                 \
    } while (false)
