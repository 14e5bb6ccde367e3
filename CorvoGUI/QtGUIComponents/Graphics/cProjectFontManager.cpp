#include "CorvoGUI/QtGUIComponents/Graphics/cProjectFontManager.h"

#include "QtGUIComponents/Common/FontConstants.h"
#include "QtGUIComponents/Common/cThemeColours.h"

#include <QMessageLogger>

#include <array>

namespace
{

cProjectFontManager* gProjectFontManager = nullptr;

constexpr int DEFAULT_WEIGHT = -1;

struct sBaseFontDef
{
    const QString* family;
    int pointSize;
    int weight;
    bool italic;
};

const sBaseFontDef kBaseFonts[cProjectFontManager::BASE_FONT_COUNT] = {
    {&kArialNarrowFontFamily, 7, QFont::Bold, false},
    {&kArialNarrowFontFamily, 8, QFont::Bold, false},
    {&kArialNarrowFontFamily, 10, QFont::Bold, false},
    {&kArialNarrowFontFamily, 12, QFont::Bold, false},
    {&kArialRoundedFontFamily, 7, DEFAULT_WEIGHT, false},
    {&kArialBlackFontFamily, 10, DEFAULT_WEIGHT, false},
    {&kShellDialogFontFamily, 9, DEFAULT_WEIGHT, false},
    {&kShellDialogFontFamily, 11, DEFAULT_WEIGHT, false},
    {&kShellDialogFontFamily, 13, DEFAULT_WEIGHT, false},
    {&kSwissLightCondensedFontFamily, 11, DEFAULT_WEIGHT, false},
    {&kSwissLightCondensedFontFamily, 12, DEFAULT_WEIGHT, false},
    {&kSwissLightCondensedFontFamily, 13, DEFAULT_WEIGHT, false},
    {&kSwissLightCondensedFontFamily, 14, DEFAULT_WEIGHT, false},
    {&kSwissLightCondensedFontFamily, 16, DEFAULT_WEIGHT, false},
    {&kSwissLightCondensedFontFamily, 18, DEFAULT_WEIGHT, false},
    {&kSwissLightCondensedFontFamily, 20, DEFAULT_WEIGHT, false},
    {&kSwissLightCondensedFontFamily, 20, QFont::Light, true},
    {&kErasMediumTeeFontFamily, 16, DEFAULT_WEIGHT, false},
    {&kErasMediumTeeFontFamily, 10, QFont::Bold, false},
    {&kErasMediumTeeFontFamily, 12, QFont::Bold, false},
    {&kErasMediumFontFamily, 10, QFont::Bold, false},
    {&kErasMediumFontFamily, 16, QFont::Bold, false},
    {&kHandwritingFontFamily, 20, DEFAULT_WEIGHT, false},
    {&kHandwritingFontFamily, 24, DEFAULT_WEIGHT, false},
    {&kHandwritingFontFamily, 28, DEFAULT_WEIGHT, false},
    {&kHandwritingFontFamily, 32, DEFAULT_WEIGHT, false},
    {&kGoodTimesFontFamily, 11, DEFAULT_WEIGHT, false},
    {&kGoodTimesFontFamily, 13, DEFAULT_WEIGHT, false},
    {&kGoodTimesFontFamily, 14, DEFAULT_WEIGHT, false},
    {&kGoodTimesFontFamily, 16, DEFAULT_WEIGHT, false},
    {&kGoodTimesFontFamily, 18, DEFAULT_WEIGHT, false},
    {&kOrdnerInvertedFontFamily, 9, DEFAULT_WEIGHT, false},
    {&kOrdnerInvertedFontFamily, 10, DEFAULT_WEIGHT, false},
    {&kOrdnerInvertedFontFamily, 13, DEFAULT_WEIGHT, false},
    {&kOrdnerInvertedFontFamily, 14, DEFAULT_WEIGHT, false},
    {&kOrdnerInvertedFontFamily, 16, DEFAULT_WEIGHT, false},
    {&kMicrogrammaFontFamily, 10, DEFAULT_WEIGHT, false},
    {&kDigitalFontFamily, 14, DEFAULT_WEIGHT, false},
    {&kDigitalFontFamily, 15, DEFAULT_WEIGHT, false},
    {&kDigitalFontFamily, 20, DEFAULT_WEIGHT, false},
    {&kDigitalMonoFontFamily, 36, DEFAULT_WEIGHT, false},
    {&kRaaviFontFamily, 7, QFont::Bold, false},
    {&kRaaviFontFamily, 8, QFont::Bold, false},
    {&kBradleyHandFontFamily, 18, QFont::Bold, false},
    {&kExo2FontFamily, 8, QFont::Bold, false},
    {&kExo2FontFamily, 11, QFont::Bold, false},
    {&kExo2FontFamily, 12, QFont::Bold, false},
    {&kExo2FontFamily, 15, QFont::Bold, false},
    {&kExo2FontFamily, 6, QFont::DemiBold, false},
    {&kExo2FontFamily, 7, QFont::DemiBold, false},
    {&kExo2FontFamily, 8, QFont::DemiBold, false},
    {&kExo2FontFamily, 10, QFont::DemiBold, false},
    {&kExo2FontFamily, 12, QFont::DemiBold, false},
    {&kExo2FontFamily, 13, QFont::DemiBold, false},
};

// The base font whose copy each scaled entry holds.
constexpr int kScaledFontOrder[cProjectFontManager::BASE_FONT_COUNT] = {
    0,  1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13, 14, 15, 16, 17,
    18, 19, 20, 21, 22, 23, 24, 25, 26, 27, 28, 29, 30, 31, 32, 33, 34, 35,
    36, 37, 38, 39, 40, 41, 42, 43, 44, 45, 46, 47, 48, 49, 50, 52, 53, 51,
};

enum eFontTable
{
    ARIAL,
    PROJECT
};

struct sTextStyleRow
{
    eFontTable table;
    // A scaled font of the Arial table, or the base font whose scaled copy is meant.
    int font;
    QRgb colour;
};

constexpr sTextStyleRow kTextStyles[cProjectFontManager::TEXT_STYLE_COUNT] = {
    {ARIAL, 10, qRgb(29, 29, 29)},      // 0
    {ARIAL, 10, qRgb(35, 31, 32)},      // 1
    {ARIAL, 10, qRgb(80, 80, 80)},      // 2
    {ARIAL, 10, qRgb(130, 130, 130)},   // 3
    {ARIAL, 10, qRgb(209, 211, 212)},   // 4
    {ARIAL, 14, qRgb(80, 80, 80)},      // 5
    {ARIAL, 15, qRgb(29, 29, 29)},      // 6
    {ARIAL, 15, qRgb(80, 80, 80)},      // 7
    {ARIAL, 15, qRgb(100, 100, 100)},   // 8
    {ARIAL, 15, qRgb(209, 211, 212)},   // 9
    {ARIAL, 18, qRgb(30, 30, 30)},      // 10
    {ARIAL, 19, qRgb(30, 30, 30)},      // 11
    {ARIAL, 19, qRgb(80, 80, 80)},      // 12
    {ARIAL, 19, qRgb(209, 211, 212)},   // 13
    {ARIAL, 21, qRgb(30, 30, 30)},      // 14
    {ARIAL, 22, qRgb(30, 30, 30)},      // 15
    {ARIAL, 22, qRgb(80, 80, 80)},      // 16
    {ARIAL, 22, qRgb(209, 211, 212)},   // 17
    {ARIAL, 24, qRgb(209, 211, 212)},   // 18
    {ARIAL, 0, qRgb(255, 255, 255)},    // 19
    {ARIAL, 2, qRgb(255, 255, 255)},    // 20
    {ARIAL, 4, qRgb(255, 255, 255)},    // 21
    {ARIAL, 8, qRgb(255, 255, 255)},    // 22
    {ARIAL, 10, qRgb(255, 255, 255)},   // 23
    {ARIAL, 12, qRgb(255, 255, 255)},   // 24
    {ARIAL, 14, qRgb(255, 255, 255)},   // 25
    {ARIAL, 15, qRgb(255, 255, 255)},   // 26
    {ARIAL, 16, qRgb(255, 255, 255)},   // 27
    {ARIAL, 18, qRgb(255, 255, 255)},   // 28
    {ARIAL, 19, qRgb(255, 255, 255)},   // 29
    {ARIAL, 20, qRgb(255, 255, 255)},   // 30
    {ARIAL, 22, qRgb(255, 255, 255)},   // 31
    {ARIAL, 24, qRgb(255, 255, 255)},   // 32
    {ARIAL, 25, qRgb(255, 255, 255)},   // 33
    {ARIAL, 28, qRgb(255, 255, 255)},   // 34
    {ARIAL, 15, qRgb(0, 255, 180)},     // 35
    {ARIAL, 10, qRgb(209, 211, 212)},   // 36
    {ARIAL, 15, qRgb(209, 211, 212)},   // 37
    {ARIAL, 18, qRgb(209, 211, 212)},   // 38
    {ARIAL, 19, qRgb(209, 211, 212)},   // 39
    {ARIAL, 22, qRgb(209, 211, 212)},   // 40
    {ARIAL, 25, qRgb(209, 211, 212)},   // 41
    {ARIAL, 2, qRgb(225, 200, 0)},      // 42
    {ARIAL, 8, qRgb(225, 200, 0)},      // 43
    {ARIAL, 10, qRgb(225, 200, 0)},     // 44
    {ARIAL, 15, qRgb(225, 200, 0)},     // 45
    {ARIAL, 18, qRgb(225, 200, 0)},     // 46
    {ARIAL, 2, qRgb(153, 153, 153)},    // 47
    {ARIAL, 4, qRgb(153, 153, 153)},    // 48
    {ARIAL, 10, qRgb(153, 153, 153)},   // 49
    {ARIAL, 15, qRgb(153, 153, 153)},   // 50
    {ARIAL, 18, qRgb(153, 153, 153)},   // 51
    {ARIAL, 19, qRgb(153, 153, 153)},   // 52
    {ARIAL, 22, qRgb(153, 153, 153)},   // 53
    {ARIAL, 24, qRgb(153, 153, 153)},   // 54
    {ARIAL, 4, qRgb(180, 180, 180)},    // 55
    {ARIAL, 10, qRgb(180, 180, 180)},   // 56
    {ARIAL, 15, qRgb(180, 180, 180)},   // 57
    {ARIAL, 19, qRgb(180, 180, 180)},   // 58
    {ARIAL, 22, qRgb(180, 180, 180)},   // 59
    {ARIAL, 4, qRgb(225, 225, 225)},    // 60
    {ARIAL, 10, qRgb(225, 225, 225)},   // 61
    {ARIAL, 15, qRgb(225, 225, 225)},   // 62
    {ARIAL, 18, qRgb(225, 225, 225)},   // 63
    {ARIAL, 19, qRgb(225, 225, 225)},   // 64
    {ARIAL, 15, qRgb(35, 31, 32)},      // 65
    {ARIAL, 18, qRgb(35, 31, 32)},      // 66
    {ARIAL, 0, qRgb(0, 0, 0)},          // 67
    {ARIAL, 2, qRgb(0, 0, 0)},          // 68
    {ARIAL, 8, qRgb(0, 0, 0)},          // 69
    {ARIAL, 10, qRgb(0, 0, 0)},         // 70
    {ARIAL, 14, qRgb(0, 0, 0)},         // 71
    {ARIAL, 15, qRgb(0, 0, 0)},         // 72
    {ARIAL, 19, qRgb(0, 0, 0)},         // 73
    {ARIAL, 22, qRgb(0, 0, 0)},         // 74
    {ARIAL, 24, qRgb(0, 0, 0)},         // 75
    {ARIAL, 23, qRgb(0, 0, 0)},         // 76
    {ARIAL, 10, qRgb(255, 0, 0)},       // 77
    {ARIAL, 15, qRgb(255, 0, 0)},       // 78
    {ARIAL, 16, qRgb(255, 0, 0)},       // 79
    {ARIAL, 22, qRgb(255, 0, 0)},       // 80
    {ARIAL, 25, qRgb(255, 0, 0)},       // 81
    {ARIAL, 10, qRgb(255, 165, 0)},     // 82
    {ARIAL, 15, qRgb(255, 165, 0)},     // 83
    {ARIAL, 12, qRgb(249, 237, 50)},    // 84
    {ARIAL, 16, qRgb(249, 237, 50)},    // 85
    {ARIAL, 12, qRgb(75, 75, 230)},     // 86
    {ARIAL, 16, qRgb(75, 75, 230)},     // 87
    {ARIAL, 10, qRgb(0, 255, 0)},       // 88
    {ARIAL, 15, qRgb(0, 255, 0)},       // 89
    {ARIAL, 12, qRgb(57, 181, 74)},     // 90
    {ARIAL, 16, qRgb(57, 181, 74)},     // 91
    {ARIAL, 15, qRgb(255, 90, 0)},      // 92
    {PROJECT, 0, qRgb(255, 255, 255)},  // 93
    {PROJECT, 1, qRgb(255, 255, 255)},  // 94
    {PROJECT, 1, qRgb(0, 0, 0)},        // 95
    {PROJECT, 2, qRgb(50, 50, 50)},     // 96
    {PROJECT, 3, qRgb(50, 50, 50)},     // 97
    {PROJECT, 3, qRgb(235, 235, 235)},  // 98
    {PROJECT, 4, qRgb(29, 29, 29)},     // 99
    {PROJECT, 5, qRgb(255, 255, 255)},  // 100
    {PROJECT, 5, qRgb(29, 29, 29)},     // 101
    {ARIAL, 7, qRgb(255, 30, 30)},      // 102
    {ARIAL, 7, qRgb(255, 255, 32)},     // 103
    {ARIAL, 7, qRgb(32, 255, 32)},      // 104
    {ARIAL, 23, qRgb(0, 255, 180)},     // 105
    {ARIAL, 23, qRgb(153, 153, 153)},   // 106
    {ARIAL, 19, qRgb(255, 255, 255)},   // 107
    {ARIAL, 19, qRgb(255, 255, 255)},   // 108
    {ARIAL, 19, qRgb(88, 89, 91)},      // 109
    {ARIAL, 22, qRgb(255, 255, 255)},   // 110
    {ARIAL, 22, qRgb(255, 255, 255)},   // 111
    {ARIAL, 22, qRgb(153, 153, 153)},   // 112
    {ARIAL, 22, qRgb(255, 255, 255)},   // 113
    {ARIAL, 22, qRgb(255, 255, 255)},   // 114
    {ARIAL, 22, qRgb(153, 153, 153)},   // 115
    {ARIAL, 10, qRgb(255, 255, 255)},   // 116
    {ARIAL, 10, qRgb(255, 255, 255)},   // 117
    {ARIAL, 10, qRgb(153, 153, 153)},   // 118
    {ARIAL, 7, qRgb(255, 255, 255)},    // 119
    {ARIAL, 7, qRgb(180, 180, 180)},    // 120
    {ARIAL, 9, qRgb(255, 255, 255)},    // 121
    {ARIAL, 15, qRgb(255, 255, 255)},   // 122
    {ARIAL, 10, qRgb(255, 255, 255)},   // 123
    {PROJECT, 6, qRgb(29, 29, 29)},     // 124
    {PROJECT, 7, qRgb(29, 29, 29)},     // 125
    {PROJECT, 7, qRgb(255, 255, 255)},  // 126
    {PROJECT, 7, qRgb(120, 120, 120)},  // 127
    {PROJECT, 8, qRgb(255, 255, 255)},  // 128
    {PROJECT, 8, qRgb(120, 120, 120)},  // 129
    {PROJECT, 41, qRgb(0, 204, 255)},   // 130
    {PROJECT, 42, qRgb(0, 204, 255)},   // 131
    {PROJECT, 43, qRgb(29, 29, 29)},    // 132
    {PROJECT, 44, qRgb(255, 255, 255)}, // 133
    {PROJECT, 45, qRgb(255, 255, 255)}, // 134
    {PROJECT, 45, qRgb(0, 0, 0)},       // 135
    {PROJECT, 46, qRgb(255, 255, 255)}, // 136
    {PROJECT, 47, qRgb(255, 255, 255)}, // 137
    {PROJECT, 48, qRgb(0, 0, 0)},       // 138
    {PROJECT, 49, qRgb(255, 255, 255)}, // 139
    {PROJECT, 50, qRgb(0, 0, 0)},       // 140
    {PROJECT, 50, qRgb(255, 255, 255)}, // 141
    {PROJECT, 52, qRgb(0, 0, 0)},       // 142
    {PROJECT, 53, qRgb(255, 255, 255)}, // 143
    {PROJECT, 51, qRgb(182, 214, 194)}, // 144
    {PROJECT, 40, qRgb(0, 204, 255)},   // 145
    {PROJECT, 9, qRgb(230, 230, 230)},  // 146
    {PROJECT, 10, qRgb(190, 190, 190)}, // 147
    {PROJECT, 10, qRgb(230, 230, 230)}, // 148
    {PROJECT, 12, qRgb(230, 230, 230)}, // 149
    {PROJECT, 13, qRgb(230, 230, 230)}, // 150
    {PROJECT, 13, qRgb(190, 190, 190)}, // 151
    {PROJECT, 14, qRgb(230, 230, 230)}, // 152
    {PROJECT, 15, qRgb(230, 230, 230)}, // 153
    {PROJECT, 16, qRgb(230, 230, 230)}, // 154
    {PROJECT, 15, qRgb(48, 247, 2)},    // 155

};

// The style whose colour is the theme's virtualSoundCheckColour (its row holds that colour's
// fixed value).
constexpr int VIRTUAL_SOUND_CHECK_STYLE = 92;

std::array<QColor, cProjectFontManager::TEXT_STYLE_COUNT> MakeTextStyleColours()
{
    std::array<QColor, cProjectFontManager::TEXT_STYLE_COUNT> colours;
    for (int n = 0; n < cProjectFontManager::TEXT_STYLE_COUNT; ++n)
    {
        colours[n] = QColor(kTextStyles[n].colour);
    }
    return colours;
}

const std::array<QColor, cProjectFontManager::TEXT_STYLE_COUNT> kTextStyleColours = MakeTextStyleColours();

} // namespace

cProjectFontManager::cProjectFontManager(float scale)
    : mArialTable(cFontManager::Instance())
{
    for (int n = 0; n < BASE_FONT_COUNT; ++n)
    {
        const sBaseFontDef& def = kBaseFonts[n];
        mBaseFonts[n] = QFont(*def.family, def.pointSize, def.weight, def.italic);
    }
    for (int n = 0; n < BASE_FONT_COUNT; ++n)
    {
        mScaledFonts[n] = MakeScaledFont(mBaseFonts[kScaledFontOrder[n]], scale);
    }

    const cThemeColours* theme = cThemeColours::Instance();
    mVirtualSoundCheckColour =
        theme != nullptr ? theme->virtualSoundCheckColour() : kTextStyleColours[VIRTUAL_SOUND_CHECK_STYLE];
    for (int n = 0; n < TEXT_STYLE_COUNT; ++n)
    {
        const sTextStyleRow& row = kTextStyles[n];
        mTextStyles[n].font =
            row.table == ARIAL ? &mArialTable->mScaledFonts[row.font].font : &ScaledCopyOf(row.font).font;
        mTextStyles[n].colour =
            n == VIRTUAL_SOUND_CHECK_STYLE ? &mVirtualSoundCheckColour : &kTextStyleColours[n];
    }
}

const sScaledFont& cProjectFontManager::ScaledCopyOf(int baseFont) const
{
    for (int n = 0; n < BASE_FONT_COUNT; ++n)
    {
        if (kScaledFontOrder[n] == baseFont)
        {
            return mScaledFonts[n];
        }
    }
    Q_ASSERT_X(false, "ScaledCopyOf", "no such base font");
    return mScaledFonts[0];
}

void cProjectFontManager::Init(float scale)
{
    if (gProjectFontManager != nullptr)
    {
        return;
    }
    cFontManager::Init(scale);
    gProjectFontManager = new cProjectFontManager(scale);
}

const cProjectFontManager* cProjectFontManager::Instance()
{
    if (gProjectFontManager == nullptr)
    {
        QMessageLogger(__FILE__, __LINE__, Q_FUNC_INFO)
            .fatal("%s Cannot use fonts before Init in main e.g. globals", __FILE__);
    }
    return gProjectFontManager;
}

void cProjectFontManager::Destroy()
{
    if (gProjectFontManager == nullptr)
    {
        return;
    }
    delete gProjectFontManager;
    gProjectFontManager = nullptr;
    cFontManager::Destroy();
}
