#include "QtGUIComponents/Common/FontConstants.h"

const QString kDefaultFontFamily = QStringLiteral("Arial");

const QString kArialNarrowFontFamily = QStringLiteral("Arial Narrow");
const QString kArialRoundedFontFamily = QStringLiteral("Arial Rounded MT Bold");
const QString kArialBlackFontFamily = QStringLiteral("Arial Black");
const QString kShellDialogFontFamily = QStringLiteral("MS Shell Dlg 2");
const QString kSwissLightCondensedFontFamily = QStringLiteral("Swis721 LtCn BT");
const QString kErasMediumTeeFontFamily = QStringLiteral("ErasItcTEEMed");
const QString kErasMediumFontFamily = QStringLiteral("Eras Medium ITC");
const QString kHandwritingFontFamily = QStringLiteral("Handwriting");
const QString kGoodTimesFontFamily = QStringLiteral("Good Times");
const QString kOrdnerInvertedFontFamily = QStringLiteral("GF Ordner Inverted");
const QString kMicrogrammaFontFamily = QStringLiteral("MicrogrammaDEEBolExt");
const QString kDigitalFontFamily = QStringLiteral("Digital-7");
const QString kDigitalMonoFontFamily = QStringLiteral("Digital-7 Mono");
const QString kRaaviFontFamily = QStringLiteral("Raavi");
const QString kBradleyHandFontFamily = QStringLiteral("Bradley Hand ITC TT");
const QString kExo2FontFamily = QStringLiteral("Exo 2");

const QColor kOverwriteColour = QColor(255, 0, 0).darker(130);
