#include "CorvoGUI/Core/App/SceneGraphChoice.h"

#include <QGuiApplication>
#include <QQuickWindow>
#include <QtTest>

class tst_SceneGraphChoice : public QObject
{
    Q_OBJECT

private slots:
    void softwareRasterisers_areToldFromRealRenderers_data();
    void softwareRasterisers_areToldFromRealRenderers();
    void xServer_withoutDirectRenderingOffersOnlyASoftwareRasteriser_data();
    void xServer_withoutDirectRenderingOffersOnlyASoftwareRasteriser();
    void probe_softwareWithoutARealRenderer_data();
    void probe_softwareWithoutARealRenderer();
    void choice_followsThePlatformAndLeavesANamedBackendToQt();
};

void tst_SceneGraphChoice::softwareRasterisers_areToldFromRealRenderers_data()
{
    QTest::addColumn<QString>("renderer");
    QTest::addColumn<bool>("software");

    QTest::newRow("llvmpipe") << "llvmpipe (LLVM 15.0.6, 256 bits)" << true;
    QTest::newRow("softpipe") << "softpipe" << true;
    QTest::newRow("swrast") << "swrast" << true;
    QTest::newRow("classic swrast") << "Software Rasterizer" << true;
    QTest::newRow("case aside") << "LLVMPIPE (LLVM 11.0.1, 128 bits)" << true;
    QTest::newRow("Windows' own") << "GDI Generic" << true;
    QTest::newRow("Intel") << "Mesa Intel(R) UHD Graphics 620 (KBL GT2)" << false;
    QTest::newRow("AMD") << "AMD Radeon RX 6600 (navi23, LLVM 15.0.6, DRM 3.49, 6.1.0-13-amd64)" << false;
    QTest::newRow("NVIDIA") << "NVIDIA GeForce GTX 1080/PCIe/SSE2" << false;
    QTest::newRow("virtual GPU") << "virgl (NVIDIA GeForce RTX 3060)" << false;
    QTest::newRow("empty") << "" << false;
}

void tst_SceneGraphChoice::softwareRasterisers_areToldFromRealRenderers()
{
    QFETCH(QString, renderer);
    QFETCH(bool, software);
    QCOMPARE(IsSoftwareRasteriser(renderer), software);
}

void tst_SceneGraphChoice::xServer_withoutDirectRenderingOffersOnlyASoftwareRasteriser_data()
{
    QTest::addColumn<bool>("glx");
    QTest::addColumn<bool>("dri3");
    QTest::addColumn<bool>("dri2");
    QTest::addColumn<bool>("nvGlx");
    QTest::addColumn<int>("outlook");

    QTest::newRow("Xvfb: GLX alone") << true << false << false << false << int(OPENGL_SOFTWARE_ONLY);
    QTest::newRow("no GLX") << false << false << false << false << int(OPENGL_NONE);
    QTest::newRow("no GLX, DRI3 aside") << false << true << false << false << int(OPENGL_NONE);
    QTest::newRow("DRI3") << true << true << false << false << int(OPENGL_MAY_BE_HARDWARE);
    QTest::newRow("DRI2") << true << false << true << false << int(OPENGL_MAY_BE_HARDWARE);
    QTest::newRow("NVIDIA") << true << false << false << true << int(OPENGL_MAY_BE_HARDWARE);
}

void tst_SceneGraphChoice::xServer_withoutDirectRenderingOffersOnlyASoftwareRasteriser()
{
    QFETCH(bool, glx);
    QFETCH(bool, dri3);
    QFETCH(bool, dri2);
    QFETCH(bool, nvGlx);
    QFETCH(int, outlook);
    sXServerExtensions extensions;
    extensions.mGlx = glx;
    extensions.mDri3 = dri3;
    extensions.mDri2 = dri2;
    extensions.mNvGlx = nvGlx;
    QCOMPARE(int(OutlookOfXServer(extensions)), outlook);
}

void tst_SceneGraphChoice::probe_softwareWithoutARealRenderer_data()
{
    QTest::addColumn<bool>("available");
    QTest::addColumn<QString>("renderer");
    QTest::addColumn<bool>("software");

    QTest::newRow("rasteriser") << true << "llvmpipe (LLVM 15.0.6, 256 bits)" << true;
    QTest::newRow("no context") << false << "" << true;
    QTest::newRow("a GPU") << true << "Mesa Intel(R) UHD Graphics 620 (KBL GT2)" << false;
    QTest::newRow("a renderer without a name") << true << "" << false;
}

void tst_SceneGraphChoice::probe_softwareWithoutARealRenderer()
{
    QFETCH(bool, available);
    QFETCH(QString, renderer);
    QFETCH(bool, software);
    sOpenGLProbe probe;
    probe.mAvailable = available;
    probe.mRenderer = renderer;
    QCOMPARE(PrefersSoftwareSceneGraph(probe), software);
}

void tst_SceneGraphChoice::choice_followsThePlatformAndLeavesANamedBackendToQt()
{
    const QByteArray named = qgetenv("QT_QUICK_BACKEND");
    const QString before = QQuickWindow::sceneGraphBackend();

    // A backend the user named, even an empty one: no probe, no change.
    for (const QByteArray& value : {QByteArray("software"), QByteArray("")})
    {
        qputenv("QT_QUICK_BACKEND", value);
        QVERIFY(!ChooseSceneGraphBackend());
        QCOMPARE(QQuickWindow::sceneGraphBackend(), before);
    }

    // None named: the platform decides, by what its X server offers or by a probe (the offscreen
    // platform without a display has no OpenGL; an X server without a GPU offers no direct rendering).
    qunsetenv("QT_QUICK_BACKEND");
    const eOpenGLOutlook outlook = PlatformOpenGLOutlook();
    const bool software = outlook != OPENGL_MAY_BE_HARDWARE || PrefersSoftwareSceneGraph(ProbeOpenGL());
    QCOMPARE(ChooseSceneGraphBackend(), software);
    QCOMPARE(QQuickWindow::sceneGraphBackend(), software ? QString("software") : before);
    qputenv("QT_QUICK_BACKEND", named);
}

QTEST_MAIN(tst_SceneGraphChoice)
#include "tst_SceneGraphChoice.moc"
