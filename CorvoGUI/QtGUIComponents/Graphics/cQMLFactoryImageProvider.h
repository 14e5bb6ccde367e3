#pragma once

#include <QImage>
#include <QQuickImageProvider>
#include <QSize>
#include <QString>

// The QML image provider "graphicsfactory": turns the id of an "image://graphicsfactory/<id>" URL
// (a style id, optionally with "BI_" in front) into a widget image drawn by the graphics factory's
// painters and kept in its cache. An id that names no painter is reported and gives a magenta image
// of the requested size; an id that a painter cannot draw is reported and gives a null image.
// Painted images are cached under the requested size (40 x 20 for a slider) and the id without "BI_",
// also where the painter is handed only part of the id ("BUTTON_..." and
// "METER_BORDERED_BACKGROUND..."), so two ids never share an entry.
//
// The QML engine owns it once it is added to the engine. Threads: requestImage runs on the
// engine's image-loader threads (loading is forced asynchronous), several at once; it keeps no
// state of its own.
class cQMLFactoryImageProvider : public QQuickImageProvider
{
public:
    cQMLFactoryImageProvider();
    ~cQMLFactoryImageProvider() override = default;

    // The image for the id at the requested size. size (when not null) gets the image's size, the
    // requested size for an id that names no painter, and is left alone for the null image that an
    // empty requested size gives an id without "BI_".
    QImage requestImage(const QString& id, QSize* size, const QSize& requestedSize) override;
};
