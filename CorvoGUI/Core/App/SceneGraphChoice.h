#pragma once

#include <QString>

// Which renderer Qt Quick uses for the program's window. Qt's default is OpenGL; where OpenGL is
// only a software rasteriser (Mesa's llvmpipe, softpipe or swrast, Windows' GDI Generic) or not
// there at all, Qt Quick's own software renderer is much cheaper: it redraws only what changed,
// where the rasteriser draws the whole window on the CPU for every frame. A backend the user named
// (QT_QUICK_BACKEND or QMLSCENE_DEVICE set, even empty) is always left to Qt.
//
// Loading an OpenGL driver to ask it its name is dear (a software rasteriser: about 200 ms and
// 60 MiB), so the X server is asked first: without GLX there is no OpenGL, and without a direct
// rendering extension (DRI3, DRI2, or NVIDIA's NV-GLX) only a software rasteriser can draw. Only
// where the server offers direct rendering is a context made to read its renderer.

// What the platform tells before any OpenGL driver is loaded.
enum eOpenGLOutlook
{
    OPENGL_MAY_BE_HARDWARE, // ask a context
    OPENGL_SOFTWARE_ONLY,
    OPENGL_NONE,
};

// The X server's extensions that matter here.
struct sXServerExtensions
{
    bool mGlx = false;
    bool mDri3 = false;
    bool mDri2 = false;
    bool mNvGlx = false;
};

// What a context told: whether one could be made current, and its GL_RENDERER string.
struct sOpenGLProbe
{
    bool mAvailable = false;
    QString mRenderer;
};

eOpenGLOutlook OutlookOfXServer(const sXServerExtensions& extensions);

// True when the renderer string names a software rasteriser (case aside).
bool IsSoftwareRasteriser(const QString& renderer);

// The decision after a probe: the software scene graph when OpenGL is missing or a software
// rasteriser. A renderer that is there but unnamed keeps Qt's default.
bool PrefersSoftwareSceneGraph(const sOpenGLProbe& probe);

// The outlook of the running platform: on X (xcb) from the server's extensions, one round trip on
// Qt's own connection; OPENGL_MAY_BE_HARDWARE on any other platform. GUI thread, with a
// QGuiApplication.
eOpenGLOutlook PlatformOpenGLOutlook();

// Makes an OpenGL context on an offscreen surface and reads its renderer. GUI thread, with a
// QGuiApplication.
sOpenGLProbe ProbeOpenGL();

// Applies the decision, unless the user named a backend or there is no QGuiApplication: the
// platform's outlook, then, only where it may be hardware, a probe. Sets QQuickWindow's scene graph
// backend to software and logs why, and returns true, when it chose the software scene graph. GUI
// thread, after the QGuiApplication is made and before the first Qt Quick window.
bool ChooseSceneGraphBackend();
