#include "CorvoGUI/QtGUIComponents/Graphics/cQMLFactoryImageProvider.h"

#include "CorvoGUI/QtGUIComponents/Graphics/cGraphicsFactory.h"
#include "KVNet/QT/Trace/KVNetReports.h"

#include <QColor>

namespace
{

using tPainter = QImage (*)(const QSize&, const QString&);

bool Starts(const QString& id, const char* keyword)
{
    return id.startsWith(QLatin1String(keyword));
}

bool Contains(const QString& id, const char* keyword)
{
    return id.contains(QLatin1String(keyword));
}

// The provider's own cache step: the image cached under (size, key), or on a miss the painter's
// image for (size, id), stored under (size, key).
QImage LookupPaintStore(const QSize& size, const QString& key, const QString& id, tPainter paint)
{
    if (size.width() <= 0 || size.height() <= 0)
    {
        return QImage();
    }
    cGraphicsFactory* factory = cGraphicsFactory::GetGraphicsFactory();
    QImage image = factory->Lookup(size, key);
    if (image.isNull())
    {
        image = paint(size, id);
        factory->Store(size, key, image);
    }
    return image;
}

QImage LookupPaintStore(const QSize& size, const QString& id, tPainter paint)
{
    return LookupPaintStore(size, id, id, paint);
}

template <class tPainterClass>
QImage Cached(const QSize& size, const QString& id)
{
    return cGraphicsFactory::GetGraphicsFactory()->GetCachedPixmap<tPainterClass>(size, id);
}

// A real-time analyser cell: a plain colour, not cached.
QImage AnalyserImage(const QSize& size, const QString& id)
{
    QImage image(size, QImage::Format_RGB32);
    if (!image.isNull())
    {
        QColor fill(0, 255, 0);
        if (Contains(id, "INACTIVE"))
        {
            fill = QColor(0, 0, 0, 0);
        }
        else if (Contains(id, "PEAK"))
        {
            fill = QColor(255, 0, 0);
        }
        image.fill(fill);
    }
    return image;
}

// The image of the first keyword the id matches; false when it matches none.
bool PaintByStyle(const QString& id, const QSize& requestedSize, QImage& image)
{
    using F = cBasicGraphicsFactory;
    const QSize& size = requestedSize;
    if (Starts(id, "ICON"))
    {
        image = LookupPaintStore(size, id, &F::Icon::GetPixmap);
    }
    else if (Starts(id, "CELL_STEREO") || Starts(id, "CELL"))
    {
        image = LookupPaintStore(size, id, &F::Cell::GetPixmap);
    }
    else if (Starts(id, "SLIDER"))
    {
        image = LookupPaintStore(QSize(40, 20), id, &F::Slider::GetPixmap);
    }
    else if (Starts(id, "METER_BORDERED_BACKGROUND"))
    {
        // Cached under the whole id: the rest alone could equal another style's id.
        image = LookupPaintStore(size, id, id.mid(25), &F::MeterBorderedBackground::GetPixmap);
    }
    else if (Contains(id, "GEQ_RTA"))
    {
        image = AnalyserImage(size, id);
    }
    else if (Contains(id, "TINY_GR_METER") || Contains(id, "TINY_GREY_GR_METER") ||
             Contains(id, "TINY_METER") || Contains(id, "PEAK_HOLD_PEAK_BAND_METER") ||
             Contains(id, "PEAK_HOLD_METER"))
    {
        image = LookupPaintStore(size, id, &F::MeterGradient::GetPixmap);
    }
    else if (Contains(id, "GR_METER") || Starts(id, "METER_STYLE_") || Starts(id, "HISTOGRAM") ||
             Starts(id, "GREY_HISTOGRAM"))
    {
        image = Cached<F::MonoMeter>(size, id);
    }
    else if (Starts(id, "METER_STEREO_STYLE_"))
    {
        image = Cached<F::StereoMeter>(size, id);
    }
    else if (Starts(id, "METER_SCALE"))
    {
        image = Cached<F::MeterScaleText>(size, id);
    }
    else if (Starts(id, "BUTTON"))
    {
        image = LookupPaintStore(size, id, id.mid(7), &F::ButtonPixmap::GetPixmap);
    }
    else if (Starts(id, "TAB"))
    {
        image = Cached<F::TabBackground>(size, id);
    }
    else if (Starts(id, "ROTARY_DIAL"))
    {
        image = Cached<F::RotaryDial>(size, id);
    }
    else if (Starts(id, "ROTARY"))
    {
        image = Cached<F::Rotary>(size, id);
    }
    else if (Starts(id, "VALUE"))
    {
        image = Cached<F::ValueBox>(size, id);
    }
    else if (Starts(id, "PANEL"))
    {
        image = Cached<F::Panel>(size, id);
    }
    else if (Starts(id, "PAN"))
    {
        image = Cached<F::Pan>(size, id);
    }
    else if (Starts(id, "LIST_SELECTION_HANDLE"))
    {
        image = Cached<F::ListSelectionHandle>(size, id);
    }
    else if (Starts(id, "LIST_SELECTION"))
    {
        image = Cached<F::ListSelection>(size, id);
    }
    else if (Starts(id, "LIST_ITEM"))
    {
        image = Cached<F::ListItem>(size, id);
    }
    else if (Starts(id, "LIST_BOX_BACKGROUND"))
    {
        image = Cached<F::ListBoxBackground>(size, id);
    }
    else if (Starts(id, "FX_BUTTON_LOGO_OFF") || Starts(id, "COPY_INDICATOR_ICON") ||
             Starts(id, "PASTE_INDICATOR_ICON") || Starts(id, "RESET_INDICATOR_ICON") ||
             Starts(id, "WHITE_LOCK") || Starts(id, "LISTEN_INDICATOR_ICON"))
    {
        image = Cached<F::Icon>(size, id);
    }
    else if (Starts(id, "FADER_STYLE_"))
    {
        if (Contains(id, "KNOB"))
        {
            image = Cached<F::FaderKnob>(size, id);
        }
        else if (Contains(id, "BACKGROUND"))
        {
            image = Cached<F::FaderBackground>(size, id);
        }
        else
        {
            image = QImage();
        }
    }
    else if (Starts(id, "EDITOR_ARROW"))
    {
        image = Cached<F::EditorArrow>(size, id);
    }
    else if (Starts(id, "GLOW_EFFECT"))
    {
        image = Cached<F::SelectionGlow>(size, id);
    }
    else if (Starts(id, "LED"))
    {
        image = Cached<F::Led>(size, id);
    }
    else if (Starts(id, "RADIO_BUTTON"))
    {
        image = Cached<F::RadioButton>(size, id);
    }
    else if (Starts(id, "PROGRESS_BAR"))
    {
        image = Contains(id, "BACKGROUND") ? Cached<F::ProgressBarBackground>(size, id)
                                           : Cached<F::ProgressBar>(size, id);
    }
    else if (Starts(id, "PAGER_DOT"))
    {
        image = Cached<F::PagerDot>(size, id);
    }
    else
    {
        return false;
    }
    return true;
}

} // namespace

cQMLFactoryImageProvider::cQMLFactoryImageProvider()
    : QQuickImageProvider(QQuickImageProvider::Image, QQmlImageProviderBase::ForceAsynchronousImageLoading)
{
}

QImage cQMLFactoryImageProvider::requestImage(const QString& id, QSize* size, const QSize& requestedSize)
{
    // Read once: the size lives in Qt's pixmap-reader job, handed to this loader thread under the
    // reader's own lock.
    const QSize requested = requestedSize;
    QString style = id;
    if (style.startsWith(QLatin1String("BI_")))
    {
        style.remove(0, 3);
    }
    else if (requested.width() <= 0 || requested.height() <= 0)
    {
        return QImage();
    }

    QImage image;
    if (PaintByStyle(style, requested, image))
    {
        if (size != nullptr)
        {
            *size = image.size();
        }
        return image;
    }

    KV_REPORT_ERROR("Unhandled style in cQMLFactoryImageProvider: %s", style.toLocal8Bit().constData());
    if (size != nullptr)
    {
        *size = requested;
    }
    QImage unhandled(requested, QImage::Format_RGB32);
    if (!unhandled.isNull())
    {
        unhandled.fill(QColor(255, 0, 255));
    }
    return unhandled;
}
