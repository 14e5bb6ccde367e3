#pragma once

#include "QtGUIComponents/Common/FontTableTypes.h"

#include <QColor>
#include <QFont>

// The Arial font table: 29 base fonts of the family "Arial", a scaled copy of each (entry n from
// base font n) and 3 text styles (scaled font 15 in white, grey and black). Entries are known by
// their index only.
//
// One table per process, built by Init at the scale of the first call and then only read, until
// Destroy. Init and Destroy belong to the GUI thread at start-up and shutdown; the painters read the
// built table from the image-loader threads, several at once, without locks (nothing writes to a
// built table). A text style must not be read after Destroy.
class cFontManager
{
public:
    static constexpr int BASE_FONT_COUNT = 29;
    static constexpr int TEXT_STYLE_COUNT = 3;

    // Builds the table at scale unless it is built already (the first scale stays in force).
    static void Init(float scale);
    // The table. Called before Init it ends the program with a fatal message.
    static const cFontManager* Instance();
    // Whether Init has built the table (for readers that must not end the program).
    static bool IsBuilt();
    // Frees the table; nothing when there is none.
    static void Destroy();

    cFontManager(const cFontManager&) = delete;
    cFontManager& operator=(const cFontManager&) = delete;

    QFont mBaseFonts[BASE_FONT_COUNT];
    sScaledFont mScaledFonts[BASE_FONT_COUNT];
    sTextStyleDef mTextStyles[TEXT_STYLE_COUNT];

private:
    explicit cFontManager(float scale);
};
