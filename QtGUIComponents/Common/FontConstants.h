#pragma once

#include <QColor>
#include <QString>

// Font and colour constants shared by the font tables and the painters; built before main runs
// and never changed.

// The family of the Arial font table.
extern const QString kDefaultFontFamily;

// The families of the project font table.
extern const QString kArialNarrowFontFamily;
extern const QString kArialRoundedFontFamily;
extern const QString kArialBlackFontFamily;
extern const QString kShellDialogFontFamily;
extern const QString kSwissLightCondensedFontFamily;
extern const QString kErasMediumTeeFontFamily;
extern const QString kErasMediumFontFamily;
extern const QString kHandwritingFontFamily;
extern const QString kGoodTimesFontFamily;
extern const QString kOrdnerInvertedFontFamily;
extern const QString kMicrogrammaFontFamily;
extern const QString kDigitalFontFamily;
extern const QString kDigitalMonoFontFamily;
extern const QString kRaaviFontFamily;
extern const QString kBradleyHandFontFamily;
extern const QString kExo2FontFamily;

// Pure red darkened by factor 130: the cell of a list item about to be overwritten.
extern const QColor kOverwriteColour;
