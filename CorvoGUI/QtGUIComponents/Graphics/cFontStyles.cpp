#include "CorvoGUI/QtGUIComponents/Graphics/cFontStyles.h"

#include "CorvoGUI/QtGUIComponents/Graphics/cProjectFontManager.h"
#include "KVNet/QT/Trace/KVNetReports.h"
#include "QtGUIComponents/Common/FontConstants.h"

#include <QQmlEngine>

#include <cmath>

cFontStyles* gFontStyles = nullptr;

namespace
{

// The largest pixel size of a built style.
constexpr int MAX_PIXEL_SIZE = 4096;

int ScaledPixelSize(double pixels, double scale)
{
    const double size = pixels * scale;
    if (!(size >= 1.0))
    {
        return 1;
    }
    if (size > MAX_PIXEL_SIZE)
    {
        return MAX_PIXEL_SIZE;
    }
    return int(size);
}

QFont ArialFont(int pixelSize, int weight)
{
    QFont font;
    font.setFamily(kDefaultFontFamily);
    font.setWeight(weight);
    font.setPixelSize(pixelSize);
    return font;
}

} // namespace

cFontStyles::cFontStyles(double scale)
    : QObject(nullptr)
{
    const cProjectFontManager* project = cProjectFontManager::Instance();
    const int p26 = ScaledPixelSize(26.0, scale);
    const int p24 = ScaledPixelSize(24.0, scale);
    const int p20 = ScaledPixelSize(20.0, scale);
    const int p16 = ScaledPixelSize(16.0, scale);
    const QColor white(255, 255, 255);
    const QColor grey(130, 130, 130);
    const QColor lightGrey(225, 225, 225);
    const QColor black(0, 0, 0);
    const auto built = [this](int pixelSize, int weight, const QColor& colour)
    { return new cTextStyle(ArialFont(pixelSize, weight), colour, this); };
    const auto copied = [this, project](int textStyle)
    { return new cTextStyle(project->mTextStyles[textStyle], this); };

    mTitle = built(p26, QFont::DemiBold, white);
    mSubtitle = built(p24, QFont::Normal, grey);
    mBody = built(p26, QFont::Normal, grey);
    mLabel = built(p24, QFont::Normal, white);
    mValueWidgetLabel = built(p24, QFont::Normal, white);
    mValue = built(p24, QFont::Normal, white);
    mTabActive = built(p20, QFont::Bold, white);
    mTabInactive = built(p20, QFont::Bold, lightGrey);
    mMomentaryButtonOff = copied(110);
    mMomentaryButtonOn = copied(111);
    mMomentaryButtonDisabled = copied(112);
    mLatchingButtonOff = copied(113);
    mLatchingButtonOn = copied(114);
    mLatchingButtonDisabled = copied(115);
    mHighlightWidget = copied(29);
    mListItemNormal = built(p20, QFont::Normal, white);
    mListItemTouched = built(p20, QFont::Normal, black);
    mListItemSelected = built(p20, QFont::Normal, black);
    mKeyboardKey = built(p20, QFont::Normal, white);
    mAltKeyboardKey = built(p16, QFont::Normal, lightGrey);
}

cFontStyles* cFontStyles::Instance()
{
    if (gFontStyles == nullptr)
    {
        KV_REPORT_ERROR("gFontStyles is NULL");
    }
    return gFontStyles;
}

QObject* cFontStyles::SingletonProvider(QQmlEngine* engine, QJSEngine* scriptEngine)
{
    Q_UNUSED(engine)
    Q_UNUSED(scriptEngine)
    cFontStyles* styles = Instance();
    if (styles != nullptr)
    {
        QQmlEngine::setObjectOwnership(styles, QQmlEngine::CppOwnership);
    }
    return styles;
}

QString cFontStyles::defaultFontFamily() const
{
    return kDefaultFontFamily;
}
