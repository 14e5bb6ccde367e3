#pragma once

#include "QtGUIComponents/Common/FontTableTypes.h"
#include "QtGUIComponents/Common/cFontManager.h"

#include <QColor>
#include <QFont>

// The project font table: 54 base fonts of sixteen families, a scaled copy of each and 156 text
// styles that pair a font of this table or of the Arial table (cFontManager) with a colour.
// Entries are known by their index only. The scaled copies are stored in base order 0 to 50, then
// the copies of base fonts 52, 53 and 51: ScaledCopyOf finds the copy of a base font.
//
// Text style 92 takes the theme's virtualSoundCheckColour, copied when the table is built; while
// there is no theme yet (reported by the theme's Instance) it takes that colour's fixed value.
//
// One table per process, built by Init (which builds the Arial table first, at the same scale) and
// then only read, until Destroy. Init and Destroy belong to the GUI thread at start-up and
// shutdown; readers on any thread need no lock.
class cProjectFontManager
{
public:
    static constexpr int BASE_FONT_COUNT = 54;
    static constexpr int TEXT_STYLE_COUNT = 156;

    // Builds the Arial table and then this one at scale, unless this one is built already.
    static void Init(float scale);
    // The table. Called before Init it ends the program with a fatal message.
    static const cProjectFontManager* Instance();
    // Frees this table, then the Arial table; nothing (the Arial table stays) when there is none.
    static void Destroy();

    // The scaled copy of base font n (0..53).
    const sScaledFont& ScaledCopyOf(int baseFont) const;

    cProjectFontManager(const cProjectFontManager&) = delete;
    cProjectFontManager& operator=(const cProjectFontManager&) = delete;

    const cFontManager* mArialTable = nullptr;
    QFont mBaseFonts[BASE_FONT_COUNT];
    sScaledFont mScaledFonts[BASE_FONT_COUNT];
    sTextStyleDef mTextStyles[TEXT_STYLE_COUNT];

private:
    explicit cProjectFontManager(float scale);

    // Text style 92's colour.
    QColor mVirtualSoundCheckColour;
};
