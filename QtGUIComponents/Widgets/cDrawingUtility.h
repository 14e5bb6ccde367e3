#pragma once

#include <QColor>
#include <QImage>
#include <QPainterPath>
#include <QRect>
#include <QRectF>
#include <QSize>
#include <QString>

class QPainter;
class QPixmap;
class QWidget;

// The quarter of a circle that a quarter-ellipse operation draws, clockwise from the top-left.
enum eEllipseSector
{
    TOP_LEFT_SECTOR = 0,
    TOP_RIGHT_SECTOR = 1,
    BOTTOM_RIGHT_SECTOR = 2,
    BOTTOM_LEFT_SECTOR = 3
};

// Geometry and painting helpers shared by the painters: render hints, rectangle insets and
// centring, rounded-rectangle and quarter-ellipse paths, an arc, HSV colour shifts and a few image
// operations. Every operation is static and keeps no state, so any thread may call it, several at
// once (the painters run on the image-loader threads); RotatePixmap, which works on a QPixmap,
// belongs to the GUI thread. Angles given to path arcs are Qt's: degrees, 0 at three o'clock,
// positive anticlockwise on the screen.
//
// The application object makes the one instance (gDrawingUtility) and never deletes it; the
// instance carries nothing.
class cDrawingUtility
{
public:
    cDrawingUtility() = default;
    virtual ~cDrawingUtility() = default;

    // gDrawingUtility; never creates. Null (after the report "gDrawingUtility is NULL") while unset.
    static cDrawingUtility* Instance();

    // Antialiasing, smooth pixmap transforms and high-quality antialiasing.
    static void SetRenderHints(QPainter& painter);

    // Moves every edge d inward (a negative width or height is left as it comes out).
    static void ShrinkRect(QRect& rect, int d);
    static void ShrinkRectF(QRectF& rect, double d);
    static QRect ShrunkRect(const QRect& rect, int d);
    static QRectF ShrunkRectF(const QRectF& rect, double d);

    // Moves inner, keeping its size, so that it is centred on outer (CentreRect rounds toward zero).
    static void CentreRectF(QRectF& inner, const QRectF& outer);
    static void CentreRect(QRect& inner, const QRect& outer);

    // Appends one quarter-circle arc of the radius that starts at the path's current position.
    // A sector outside 0..3 is reported and leaves the path unchanged.
    static void DrawClockwiseQuarterEllipse(QPainterPath& path, eEllipseSector sector, int radius);
    static void DrawAntiClockwiseQuarterEllipse(QPainterPath& path, eEllipseSector sector, int radius);

    // A closed rounded rectangle, clockwise on the screen from the end of the top-left corner; a
    // corner whose alt flag is set takes altRadius, the others radius.
    static void DrawRoundedRect(QPainterPath& path, const QRectF& rect, double radius, double altRadius,
                                bool altTopLeft, bool altTopRight, bool altBottomRight, bool altBottomLeft);
    // As DrawRoundedRect; a corner whose round flag is clear is square.
    static void DrawSelectivelyRoundedRect(QPainterPath& path, const QRectF& rect, double radius,
                                           double altRadius, bool roundTopLeft, bool roundTopRight,
                                           bool roundBottomRight, bool roundBottomLeft, bool altTopLeft,
                                           bool altTopRight, bool altBottomRight, bool altBottomLeft);
    // A clockwise arc symmetric about x = width / 2 whose ends lie 8 x the screen scaling factor in
    // from either side and whose highest point is half that below top; angle is the arc's angle in
    // radians. An angle whose half has no sine (0, a multiple of 2 pi, not finite) is reported and
    // leaves the path unchanged.
    static void DrawCentredArc(QPainterPath& path, int width, double angle, double top);

    // Asks a visible widget with updates enabled and a valid geometry to update, on its own thread
    // (queued from another one); otherwise nothing. Any thread.
    static void RequestUpdate(QWidget* widget);

    // Gives every pixel that is not fully transparent the alpha (its low 8 bits), keeping its
    // colour. Only 32-bit images with an alpha channel (ARGB32, ARGB32 premultiplied) are changed;
    // any other image is reported and left as it is.
    static void SetAlpha(QImage& image, int alpha);

    // The colour with its hue shifted (wrapped into 0..359) and its saturation, value and alpha
    // shifted (each held in 0..255).
    static QColor AdjustHsv(const QColor& colour, int hue, int saturation, int value, int alpha);

    // Replaces the pixmap by itself rotated by degrees (fast transformation). GUI thread.
    static void RotatePixmap(QPixmap& pixmap, double degrees);

    // The SVG file drawn over a transparent ARGB32 image of the size; a file that cannot be read
    // gives the transparent image, an empty size a null image.
    static QImage RenderSvg(const QString& file, const QSize& size);
};

extern cDrawingUtility* gDrawingUtility;
