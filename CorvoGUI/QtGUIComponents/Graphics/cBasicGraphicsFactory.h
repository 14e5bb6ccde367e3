#pragma once

#include <QColor>
#include <QImage>
#include <QPainterPath>
#include <QSize>
#include <QString>

// The painters of the drawn widget images. Each painter is a static GetPixmap(size, style id) of a
// nested class (or a named static function) that draws a new ARGB32 image, transparent unless it
// says otherwise, from the keywords and parameters of the id; an id it cannot draw is reported and
// gives a null image. A size that gives no image (empty, or too large to allocate) gives a null
// image. The image provider reaches them through the graphics cache.
//
// Painters keep no state and draw into QImage only, so the image-loader threads call them, several
// at once. The painters that draw text read the Arial font table (cFontManager) and report and give
// a null image while it is not built. Keyword tests are case-sensitive substring tests unless a
// prefix test is named.
class cBasicGraphicsFactory
{
public:
    // Meters. A meter's range is read from its id split at "**": section 1 is the low and section
    // 3 the high end, each a level in 1/256 dB (absent or not a number: 0).

    // The empty meter well: a black rounded rectangle.
    struct MeterBorderedBackground
    {
        static QImage GetPixmap(const QSize& size, const QString& id);
    };
    // One half of a stereo well (" RIGHT ": the right half).
    struct StereoMeterBorderedBackground
    {
        static QImage GetPixmap(const QSize& size, const QString& id);
    };
    // The coloured bar, by the id's prefix.
    struct MeterGradient
    {
        static QImage GetPixmap(const QSize& size, const QString& id);
    };
    // Three solid bands: red above +14 dB, yellow down to +3 dB, green below.
    struct ThreeColourMeter
    {
        static QImage GetPixmap(const QSize& size, const QString& id);
    };
    // One half of a stereo bar.
    struct StereoMeterGradient
    {
        static QImage GetPixmap(const QSize& size, const QString& id);
    };
    // One half of a stereo scale.
    struct StereoMeterScale
    {
        static QImage GetPixmap(const QSize& size, const QString& id);
    };
    // Bar with scale.
    struct MonoMeter
    {
        static QImage GetPixmap(const QSize& size, const QString& id);
    };
    // Half bar with half scale.
    struct StereoMeter
    {
        static QImage GetPixmap(const QSize& size, const QString& id);
    };
    // The text scale beside a meter.
    struct MeterScaleText
    {
        static QImage GetPixmap(const QSize& size, const QString& id);
    };
    // Tick marks (and with "NUMERICAL_SCALE" numbers) over a bar, half-transparent black.
    static QImage GetMeterScale(const QSize& size, const QString& id);
    // A number in a box with its mark, added to the path (gr: the number sits above the mark).
    static void AddMeterScaleLabel(const QSize& size, int pixelOffset, const QString& text, bool gr,
                                   QPainterPath& path);
    // A number at both sides of a line, added to the path.
    static void AddHistogramScaleLabel(const QSize& size, int pixelOffset, const QString& text,
                                       QPainterPath& path);

    // Buttons, tabs, value boxes and panels.

    // A coloured push button ("BASIC_<colour>_RECT_BUTTON", with "*DOWN*", "*DISABLED*", "*OFF*").
    struct ButtonPixmap
    {
        static QImage GetPixmap(const QSize& size, const QString& id);
    };
    // The button face in the base colour.
    static QImage DrawButton(const QSize& size, const QColor& base, const QString& id);
    // The image moved as if shrunk about its centre by factor (the pressed look).
    static QImage OffsetImage(const QImage& image, float factor);
    // The image under a grey veil of its own shape (the disabled look).
    static QImage DimImage(const QImage& image);
    struct TabBackground
    {
        static QImage GetPixmap(const QSize& size, const QString& id);
    };
    struct ValueBox
    {
        static QImage GetPixmap(const QSize& size, const QString& id);
    };
    // Background and, with "TITLE", the title bar.
    struct Panel
    {
        static QImage GetPixmap(const QSize& size, const QString& id);
    };
    struct PanelBackground
    {
        static QImage GetPixmap(const QSize& size, const QString& id);
    };
    // A bar 40 pixels high, whatever the size's height.
    struct PanelTitle
    {
        static QImage GetPixmap(const QSize& size, const QString& id);
    };
    struct BorderedPanelBackground
    {
        static QImage GetPixmap(const QSize& size, const QString& id);
    };

    // Rotaries, knobs, sliders, pan controls and faders.

    struct Rotary
    {
        static QImage GetPixmap(const QSize& size, const QString& id);
    };
    // The rotary's pointer at twelve o'clock.
    struct RotaryDial
    {
        static QImage GetPixmap(const QSize& size, const QString& id);
    };
    struct FaderKnob
    {
        static QImage GetPixmap(const QSize& size, const QString& id);
    };
    // An opaque black image; "FADER_STYLE_EDITOR_FADER" with "SCALE" adds a dB scale, with the
    // scale factor in section 1 and the margin in section 3 of the id split at "**".
    struct FaderBackground
    {
        static QImage GetPixmap(const QSize& size, const QString& id);
    };
    struct FaderSlot
    {
        static QImage GetPixmap(const QSize& size, const QString& id);
    };
    // The slider thumb (the provider always asks for 40 x 20).
    struct Slider
    {
        static QImage GetPixmap(const QSize& size, const QString& id);
    };
    struct Pan
    {
        static QImage GetPixmap(const QSize& size, const QString& id);
    };

    // Lists.

    struct ListBoxBackground
    {
        static QImage GetPixmap(const QSize& size, const QString& id);
    };
    struct ListItem
    {
        static QImage GetPixmap(const QSize& size, const QString& id);
    };
    struct ListSelection
    {
        static QImage GetPixmap(const QSize& size, const QString& id);
    };
    struct ListSelectionHandle
    {
        static QImage GetPixmap(const QSize& size, const QString& id);
    };
    struct ListboxItemOverlay
    {
        static QImage GetPixmap(const QSize& size, const QString& id);
    };
    struct ListItemFrame
    {
        static QImage GetPixmap(const QSize& size, const QString& id);
    };

    // Small widgets, icons and glows.

    // A transparent image: no icon is drawn.
    struct Icon
    {
        static QImage GetPixmap(const QSize& size, const QString& id);
    };
    // An input/output cell; "STEREO" adds the letters L and R.
    struct Cell
    {
        static QImage GetPixmap(const QSize& size, const QString& id);
    };
    struct Led
    {
        static QImage GetPixmap(const QSize& size, const QString& id);
    };
    struct RadioButton
    {
        static QImage GetPixmap(const QSize& size, const QString& id);
    };
    struct PagerDot
    {
        static QImage GetPixmap(const QSize& size, const QString& id);
    };
    struct ProgressBar
    {
        static QImage GetPixmap(const QSize& size, const QString& id);
    };
    struct ProgressBarBackground
    {
        static QImage GetPixmap(const QSize& size, const QString& id);
    };
    struct EditorArrow
    {
        static QImage GetPixmap(const QSize& size, const QString& id);
    };
    // "ROTARY": an orange halo; "PAN": the pan glow image (not among the resources: transparent).
    struct SelectionGlow
    {
        static QImage GetPixmap(const QSize& size, const QString& id);
    };
    struct StateBox
    {
        static QImage GetPixmap(const QSize& size, const QString& id);
    };
    struct StateDot
    {
        static QImage GetPixmap(const QSize& size, const QString& id);
    };
    struct Blank
    {
        static QImage GetPixmap(const QSize& size, const QString& id);
    };
    struct Black
    {
        static QImage GetPixmap(const QSize& size, const QString& id);
    };
    // The colour of the button's disabled veil.
    static QColor DimColour();
};
