#include "CorvoGUI/Core/App/SceneGraphChoice.h"

#include <QDebug>
#include <QGuiApplication>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLFunctions>
#include <QQuickWindow>
#include <QSGRendererInterface>
#include <qpa/qplatformnativeinterface.h>

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>

namespace
{

// Whether Qt's X connection's server has each named extension; false when it cannot be asked.
bool QueryXServer(sXServerExtensions& extensions)
{
    QPlatformNativeInterface* native = QGuiApplication::platformNativeInterface();
    auto* connection = native != nullptr
                           ? static_cast<xcb_connection_t*>(
                                 native->nativeResourceForIntegration(QByteArrayLiteral("connection")))
                           : nullptr;
    if (connection == nullptr)
    {
        return false;
    }
    const struct
    {
        const char* mName;
        bool* mPresent;
    } names[] = {{"GLX", &extensions.mGlx},
                 {"DRI3", &extensions.mDri3},
                 {"DRI2", &extensions.mDri2},
                 {"NV-GLX", &extensions.mNvGlx}};
    xcb_query_extension_cookie_t cookies[sizeof(names) / sizeof(names[0])];
    for (size_t i = 0; i < sizeof(names) / sizeof(names[0]); ++i)
    {
        cookies[i] = xcb_query_extension(connection, uint16_t(std::strlen(names[i].mName)), names[i].mName);
    }
    for (size_t i = 0; i < sizeof(names) / sizeof(names[0]); ++i)
    {
        xcb_query_extension_reply_t* reply = xcb_query_extension_reply(connection, cookies[i], nullptr);
        *names[i].mPresent = reply != nullptr && reply->present != 0;
        std::free(reply);
    }
    return true;
}

} // namespace

eOpenGLOutlook OutlookOfXServer(const sXServerExtensions& extensions)
{
    if (!extensions.mGlx)
    {
        return OPENGL_NONE;
    }
    if (!extensions.mDri3 && !extensions.mDri2 && !extensions.mNvGlx)
    {
        return OPENGL_SOFTWARE_ONLY;
    }
    return OPENGL_MAY_BE_HARDWARE;
}

bool IsSoftwareRasteriser(const QString& renderer)
{
    static const char* const SOFTWARE_RASTERISERS[] = {"llvmpipe", "softpipe", "swrast",
                                                       "Software Rasterizer", "GDI Generic"};
    for (const char* name : SOFTWARE_RASTERISERS)
    {
        if (renderer.contains(QLatin1String(name), Qt::CaseInsensitive))
        {
            return true;
        }
    }
    return false;
}

bool PrefersSoftwareSceneGraph(const sOpenGLProbe& probe)
{
    return !probe.mAvailable || IsSoftwareRasteriser(probe.mRenderer);
}

eOpenGLOutlook PlatformOpenGLOutlook()
{
    sXServerExtensions extensions;
    if (QGuiApplication::platformName() != QLatin1String("xcb") || !QueryXServer(extensions))
    {
        return OPENGL_MAY_BE_HARDWARE;
    }
    return OutlookOfXServer(extensions);
}

sOpenGLProbe ProbeOpenGL()
{
    sOpenGLProbe probe;
    QOpenGLContext context;
    if (!context.create())
    {
        return probe;
    }
    QOffscreenSurface surface;
    surface.setFormat(context.format());
    surface.create();
    if (!surface.isValid() || !context.makeCurrent(&surface))
    {
        return probe;
    }
    const GLubyte* renderer = context.functions()->glGetString(GL_RENDERER);
    probe.mAvailable = true;
    probe.mRenderer =
        renderer != nullptr ? QString::fromLatin1(reinterpret_cast<const char*>(renderer)) : QString();
    context.doneCurrent();
    return probe;
}

bool ChooseSceneGraphBackend()
{
    if (qEnvironmentVariableIsSet("QT_QUICK_BACKEND") || qEnvironmentVariableIsSet("QMLSCENE_DEVICE") ||
        qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr)
    {
        return false;
    }
    QString why;
    switch (PlatformOpenGLOutlook())
    {
    case OPENGL_NONE:
        why = QStringLiteral("the X server has no GLX");
        break;
    case OPENGL_SOFTWARE_ONLY:
        why = QStringLiteral("the X server offers no direct rendering");
        break;
    case OPENGL_MAY_BE_HARDWARE:
    {
        const sOpenGLProbe probe = ProbeOpenGL();
        if (!PrefersSoftwareSceneGraph(probe))
        {
            return false;
        }
        why = probe.mAvailable ? QStringLiteral("OpenGL renderer %1").arg(probe.mRenderer)
                               : QStringLiteral("no OpenGL context");
        break;
    }
    }
    QQuickWindow::setSceneGraphBackend(QSGRendererInterface::Software);
    qInfo().noquote() << QStringLiteral("Scene graph: software (%1)").arg(why);
    return true;
}
