#include "QtGUIComponents/Common/cFontManager.h"

#include "QtGUIComponents/Common/FontConstants.h"

#include <QMessageLogger>

namespace
{

cFontManager* gFontManager = nullptr;

const QColor kWhite(255, 255, 255);
const QColor kGrey(130, 130, 130);
const QColor kBlack(0, 0, 0);

constexpr int DEFAULT_WEIGHT = -1;

struct sBaseFontDef
{
    int pointSize;
    int weight;
};

constexpr sBaseFontDef kBaseFonts[cFontManager::BASE_FONT_COUNT] = {
    {6, DEFAULT_WEIGHT},  {6, QFont::Bold},     {7, DEFAULT_WEIGHT},  {7, QFont::Bold},
    {8, DEFAULT_WEIGHT},  {8, QFont::Bold},     {8, QFont::DemiBold}, {8, QFont::Bold},
    {9, DEFAULT_WEIGHT},  {9, QFont::Bold},     {10, DEFAULT_WEIGHT}, {10, QFont::Bold},
    {10, QFont::Bold},    {10, QFont::Black},   {11, DEFAULT_WEIGHT}, {12, DEFAULT_WEIGHT},
    {12, QFont::Bold},    {12, QFont::Black},   {13, DEFAULT_WEIGHT}, {14, DEFAULT_WEIGHT},
    {14, QFont::Bold},    {15, DEFAULT_WEIGHT}, {16, DEFAULT_WEIGHT}, {16, QFont::Bold},
    {18, DEFAULT_WEIGHT}, {20, DEFAULT_WEIGHT}, {20, QFont::Bold},    {24, QFont::Bold},
    {24, DEFAULT_WEIGHT},
};

// The scaled font every text style of the table uses (Arial 12).
constexpr int TEXT_STYLE_FONT = 15;

} // namespace

cFontManager::cFontManager(float scale)
{
    for (int n = 0; n < BASE_FONT_COUNT; ++n)
    {
        mBaseFonts[n] = QFont(kDefaultFontFamily, kBaseFonts[n].pointSize, kBaseFonts[n].weight, false);
    }
    for (int n = 0; n < BASE_FONT_COUNT; ++n)
    {
        mScaledFonts[n] = MakeScaledFont(mBaseFonts[n], scale);
    }
    const QColor* colours[TEXT_STYLE_COUNT] = {&kWhite, &kGrey, &kBlack};
    for (int n = 0; n < TEXT_STYLE_COUNT; ++n)
    {
        mTextStyles[n].font = &mScaledFonts[TEXT_STYLE_FONT].font;
        mTextStyles[n].colour = colours[n];
    }
}

void cFontManager::Init(float scale)
{
    if (gFontManager != nullptr)
    {
        return;
    }
    gFontManager = new cFontManager(scale);
}

const cFontManager* cFontManager::Instance()
{
    if (gFontManager == nullptr)
    {
        QMessageLogger(__FILE__, __LINE__, Q_FUNC_INFO)
            .fatal("%s Cannot use fonts before Init in main e.g. globals", __FILE__);
    }
    return gFontManager;
}

bool cFontManager::IsBuilt()
{
    return gFontManager != nullptr;
}

void cFontManager::Destroy()
{
    delete gFontManager;
    gFontManager = nullptr;
}
