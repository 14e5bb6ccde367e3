#include "QtGUIComponents/Common/cThemeColours.h"

#include "KVNet/QT/Trace/KVNetReports.h"

#include <QQmlEngine>

cThemeColours* gThemeColours = nullptr;

namespace
{

QColor Rgb(const char* name)
{
    return QColor(QLatin1String(name));
}

} // namespace

cThemeColours::cThemeColours()
    : QObject(nullptr)
    , mGrGraphActive(Rgb("#ffffff"), 2.0, Rgb("#ffffff"), Rgb("#000000"))
    , mGrGraphBypassed(Rgb("#e1e1e1"), 2.0, Rgb("#e1e1e1"), Rgb("#e1e1e1"))
    , mPeqGraphActive(Rgb("#ffff00"), Rgb("#00ff00"), Rgb("#ffff00"), Rgb("#ff0000"), Rgb("#ff00ff"),
                      Rgb("#00ffff"), Rgb("#0000ff"), Rgb("#ff0000"))
    , mPeqGraphBypassed(Rgb("#7f7f7f"), Rgb("#7f7f7f"), Rgb("#7f7f7f"), Rgb("#7f7f7f"), Rgb("#7f7f7f"),
                        Rgb("#7f7f7f"), Rgb("#7f7f7f"), Rgb("#7f7f7f"))
    , mGraphLine(Rgb("#3f3f3f"), Rgb("#1f1f1f"))
    , mRotaryColours(Rgb("#000000"), Rgb("#ff0000"))
    , mMainThemeColour(Rgb("#e1e1e1"))
    , mPeqZeroLineColour(Rgb("#ffffff"))
    , mTftActiveColour(Rgb("#f7ad34"))
    , mBlockingLayerColour(0, 0, 0, 128)
    , mVirtualSoundCheckColour(Rgb("#ff5a00"))
    , mPanIndicatorColour(Rgb("#ff0000"))
    , mRoutingPostColour(Rgb("#b411cc"))
    , mRoutingPreColour(Rgb("#1ef01e"))
    , mLedColours(Rgb("#000000"), Rgb("#ff0000"), Rgb("#00ff00"), Rgb("#ffff00"), Rgb("#0000ff"),
                  Rgb("#ff00ff"), Rgb("#00ffff"), Rgb("#ffffff"))
    , mScaleFactor(1.0)
    , mMajorSpacing(25.0)
    , mMinorSpacing(8.0)
    , mPanelGap(12.0)
    , mMaxRoutingBarWidth(16.0)
    , mListItem(Rgb("#b9dff9"), Rgb("#39b54a"), Rgb("#f19429"), Rgb("#f19429"), Rgb("#f9ed32"),
                Rgb("#00aeef"), Rgb("#39b54a"), Rgb("#0a5a78"), Rgb("#3c3c3c"), QColor(Qt::red).darker(130),
                Rgb("#000000"), Rgb("#58595b"), Rgb("#00ff00"))
    , mCopyColour(Rgb("#00ff00"))
    , mPasteColour(Rgb("#0000ff"))
    , mResetColour(Rgb("#ff0000"))
    , mListenColour(Rgb("#ffff00"))
    , mBankViewColours(Rgb("#7f7f7f"), Rgb("#000000"), Rgb("#00ff00"), Rgb("#7f7f7f"), Rgb("#ff0000"))
    , mFormBackgroundColour(Rgb("#828282"))
    , mIoCellSize(0)
    , mAmmColours(Rgb("#7f7f7f"), Rgb("#7f7f7f"), Rgb("#7f7f7f"), Rgb("#7f7f7f"))
    , mEditorScaleFactor(1.0)
{
    qRegisterMetaType<cLEDColours>("cLEDColours");
    qRegisterMetaType<cRotaryColours>("cRotaryColours");
    qRegisterMetaType<cGRGraphColours>("cGRGraphColours");
    qRegisterMetaType<cPEQGraphColours>("cPEQGraphColours");
    qRegisterMetaType<cGraphLineColours>("cGraphLineColours");
    qRegisterMetaType<cListItemColours>("cListItemColours");
    qRegisterMetaType<cBankViewColours>("cBankViewColours");
    qRegisterMetaType<cAMMColours>("cAMMColours");
}

cThemeColours* cThemeColours::Instance()
{
    if (gThemeColours == nullptr)
    {
        KV_REPORT_ERROR("gThemeColours is NULL");
    }
    return gThemeColours;
}

QObject* cThemeColours::SingletonProvider(QQmlEngine* engine, QJSEngine* scriptEngine)
{
    Q_UNUSED(engine)
    Q_UNUSED(scriptEngine)
    cThemeColours* theme = Instance();
    if (theme != nullptr)
    {
        QQmlEngine::setObjectOwnership(theme, QQmlEngine::CppOwnership);
    }
    return theme;
}

void cThemeColours::setScaleFactor(double scaleFactor)
{
    if (!(scaleFactor > 0.0 && scaleFactor <= MAX_SCALE_FACTOR))
    {
        KV_REPORT_ERROR("Scale factor %g refused", scaleFactor);
        return;
    }
    if (mScaleFactor == scaleFactor)
    {
        return;
    }
    mScaleFactor = scaleFactor;
    emit scaleFactorChanged();
}
