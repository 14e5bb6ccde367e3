#pragma once

#include <QColor>
#include <QMetaType>

// The theme's colour groups: small value types (copied by value) whose members QML reads as
// constant properties joined to the group by a dot (Theme.peqGraphActive.hpfBandColour). Each
// constructor takes the members in their order; the default one gives invalid colours and 0.

// The LED colours.
class cLEDColours
{
    Q_GADGET
    Q_PROPERTY(QColor off READ off CONSTANT)
    Q_PROPERTY(QColor red READ red CONSTANT)
    Q_PROPERTY(QColor green READ green CONSTANT)
    Q_PROPERTY(QColor yellow READ yellow CONSTANT)
    Q_PROPERTY(QColor blue READ blue CONSTANT)
    Q_PROPERTY(QColor magenta READ magenta CONSTANT)
    Q_PROPERTY(QColor cyan READ cyan CONSTANT)
    Q_PROPERTY(QColor white READ white CONSTANT)

public:
    cLEDColours() = default;
    cLEDColours(const QColor& off, const QColor& red, const QColor& green, const QColor& yellow,
                const QColor& blue, const QColor& magenta, const QColor& cyan, const QColor& white)
        : mOff(off)
        , mRed(red)
        , mGreen(green)
        , mYellow(yellow)
        , mBlue(blue)
        , mMagenta(magenta)
        , mCyan(cyan)
        , mWhite(white)
    {
    }

    QColor off() const { return mOff; }
    QColor red() const { return mRed; }
    QColor green() const { return mGreen; }
    QColor yellow() const { return mYellow; }
    QColor blue() const { return mBlue; }
    QColor magenta() const { return mMagenta; }
    QColor cyan() const { return mCyan; }
    QColor white() const { return mWhite; }

private:
    QColor mOff;
    QColor mRed;
    QColor mGreen;
    QColor mYellow;
    QColor mBlue;
    QColor mMagenta;
    QColor mCyan;
    QColor mWhite;
};

// A rotary control's tick and arc.
class cRotaryColours
{
    Q_GADGET
    Q_PROPERTY(QColor tickColour READ tickColour CONSTANT)
    Q_PROPERTY(QColor arcColour READ arcColour CONSTANT)

public:
    cRotaryColours() = default;
    cRotaryColours(const QColor& tickColour, const QColor& arcColour)
        : mTickColour(tickColour)
        , mArcColour(arcColour)
    {
    }

    QColor tickColour() const { return mTickColour; }
    QColor arcColour() const { return mArcColour; }

private:
    QColor mTickColour;
    QColor mArcColour;
};

// A gain-reduction graph's line (colour and width) and fill.
class cGRGraphColours
{
    Q_GADGET
    Q_PROPERTY(QColor mainLineColour READ mainLineColour CONSTANT)
    Q_PROPERTY(double mainLineWidth READ mainLineWidth CONSTANT)
    Q_PROPERTY(QColor fillColourTop READ fillColourTop CONSTANT)
    Q_PROPERTY(QColor fillColourBottom READ fillColourBottom CONSTANT)

public:
    cGRGraphColours() = default;
    cGRGraphColours(const QColor& mainLineColour, double mainLineWidth, const QColor& fillColourTop,
                    const QColor& fillColourBottom)
        : mMainLineColour(mainLineColour)
        , mMainLineWidth(mainLineWidth)
        , mFillColourTop(fillColourTop)
        , mFillColourBottom(fillColourBottom)
    {
    }

    QColor mainLineColour() const { return mMainLineColour; }
    double mainLineWidth() const { return mMainLineWidth; }
    QColor fillColourTop() const { return mFillColourTop; }
    QColor fillColourBottom() const { return mFillColourBottom; }

private:
    QColor mMainLineColour;
    double mMainLineWidth = 0.0;
    QColor mFillColourTop;
    QColor mFillColourBottom;
};

// The PEQ graph's overview curve and band colours.
class cPEQGraphColours
{
    Q_GADGET
    Q_PROPERTY(QColor overviewColour READ overviewColour CONSTANT)
    Q_PROPERTY(QColor hpfBandColour READ hpfBandColour CONSTANT)
    Q_PROPERTY(QColor lpfBandColour READ lpfBandColour CONSTANT)
    Q_PROPERTY(QColor sideChainLPFBandColour READ sideChainLPFBandColour CONSTANT)
    Q_PROPERTY(QColor lfBandColour READ lfBandColour CONSTANT)
    Q_PROPERTY(QColor lmBandColour READ lmBandColour CONSTANT)
    Q_PROPERTY(QColor hmBandColour READ hmBandColour CONSTANT)
    Q_PROPERTY(QColor hfBandColour READ hfBandColour CONSTANT)

public:
    cPEQGraphColours() = default;
    cPEQGraphColours(const QColor& overviewColour, const QColor& hpfBandColour, const QColor& lpfBandColour,
                     const QColor& sideChainLPFBandColour, const QColor& lfBandColour,
                     const QColor& lmBandColour, const QColor& hmBandColour, const QColor& hfBandColour)
        : mOverviewColour(overviewColour)
        , mHpfBandColour(hpfBandColour)
        , mLpfBandColour(lpfBandColour)
        , mSideChainLPFBandColour(sideChainLPFBandColour)
        , mLfBandColour(lfBandColour)
        , mLmBandColour(lmBandColour)
        , mHmBandColour(hmBandColour)
        , mHfBandColour(hfBandColour)
    {
    }

    QColor overviewColour() const { return mOverviewColour; }
    QColor hpfBandColour() const { return mHpfBandColour; }
    QColor lpfBandColour() const { return mLpfBandColour; }
    QColor sideChainLPFBandColour() const { return mSideChainLPFBandColour; }
    QColor lfBandColour() const { return mLfBandColour; }
    QColor lmBandColour() const { return mLmBandColour; }
    QColor hmBandColour() const { return mHmBandColour; }
    QColor hfBandColour() const { return mHfBandColour; }

private:
    QColor mOverviewColour;
    QColor mHpfBandColour;
    QColor mLpfBandColour;
    QColor mSideChainLPFBandColour;
    QColor mLfBandColour;
    QColor mLmBandColour;
    QColor mHmBandColour;
    QColor mHfBandColour;
};

// A graph's major and minor scale lines.
class cGraphLineColours
{
    Q_GADGET
    Q_PROPERTY(QColor scaleMajor READ scaleMajor CONSTANT)
    Q_PROPERTY(QColor scaleMinor READ scaleMinor CONSTANT)

public:
    cGraphLineColours() = default;
    cGraphLineColours(const QColor& scaleMajor, const QColor& scaleMinor)
        : mScaleMajor(scaleMajor)
        , mScaleMinor(scaleMinor)
    {
    }

    QColor scaleMajor() const { return mScaleMajor; }
    QColor scaleMinor() const { return mScaleMinor; }

private:
    QColor mScaleMajor;
    QColor mScaleMinor;
};

// A list item's borders and states.
class cListItemColours
{
    Q_GADGET
    Q_PROPERTY(QColor defaultBorderColour READ defaultBorderColour CONSTANT)
    Q_PROPERTY(QColor selectedBorderColour READ selectedBorderColour CONSTANT)
    Q_PROPERTY(QColor selectedSpecialNextColour READ selectedSpecialNextColour CONSTANT)
    Q_PROPERTY(QColor selectedSpecialColour READ selectedSpecialColour CONSTANT)
    Q_PROPERTY(QColor selectedNextColour READ selectedNextColour CONSTANT)
    Q_PROPERTY(QColor selectedColour READ selectedColour CONSTANT)
    Q_PROPERTY(QColor nextColour READ nextColour CONSTANT)
    Q_PROPERTY(QColor holdColour READ holdColour CONSTANT)
    Q_PROPERTY(QColor inactiveColour READ inactiveColour CONSTANT)
    Q_PROPERTY(QColor overwriteColour READ overwriteColour CONSTANT)
    Q_PROPERTY(QColor unselectedColour READ unselectedColour CONSTANT)
    Q_PROPERTY(QColor inactiveBorderColour READ inactiveBorderColour CONSTANT)
    Q_PROPERTY(QColor recallProgressColour READ recallProgressColour CONSTANT)

public:
    cListItemColours() = default;
    cListItemColours(const QColor& defaultBorderColour, const QColor& selectedBorderColour,
                     const QColor& selectedSpecialNextColour, const QColor& selectedSpecialColour,
                     const QColor& selectedNextColour, const QColor& selectedColour, const QColor& nextColour,
                     const QColor& holdColour, const QColor& inactiveColour, const QColor& overwriteColour,
                     const QColor& unselectedColour, const QColor& inactiveBorderColour,
                     const QColor& recallProgressColour)
        : mDefaultBorderColour(defaultBorderColour)
        , mSelectedBorderColour(selectedBorderColour)
        , mSelectedSpecialNextColour(selectedSpecialNextColour)
        , mSelectedSpecialColour(selectedSpecialColour)
        , mSelectedNextColour(selectedNextColour)
        , mSelectedColour(selectedColour)
        , mNextColour(nextColour)
        , mHoldColour(holdColour)
        , mInactiveColour(inactiveColour)
        , mOverwriteColour(overwriteColour)
        , mUnselectedColour(unselectedColour)
        , mInactiveBorderColour(inactiveBorderColour)
        , mRecallProgressColour(recallProgressColour)
    {
    }

    QColor defaultBorderColour() const { return mDefaultBorderColour; }
    QColor selectedBorderColour() const { return mSelectedBorderColour; }
    QColor selectedSpecialNextColour() const { return mSelectedSpecialNextColour; }
    QColor selectedSpecialColour() const { return mSelectedSpecialColour; }
    QColor selectedNextColour() const { return mSelectedNextColour; }
    QColor selectedColour() const { return mSelectedColour; }
    QColor nextColour() const { return mNextColour; }
    QColor holdColour() const { return mHoldColour; }
    QColor inactiveColour() const { return mInactiveColour; }
    QColor overwriteColour() const { return mOverwriteColour; }
    QColor unselectedColour() const { return mUnselectedColour; }
    QColor inactiveBorderColour() const { return mInactiveBorderColour; }
    QColor recallProgressColour() const { return mRecallProgressColour; }

private:
    QColor mDefaultBorderColour;
    QColor mSelectedBorderColour;
    QColor mSelectedSpecialNextColour;
    QColor mSelectedSpecialColour;
    QColor mSelectedNextColour;
    QColor mSelectedColour;
    QColor mNextColour;
    QColor mHoldColour;
    QColor mInactiveColour;
    QColor mOverwriteColour;
    QColor mUnselectedColour;
    QColor mInactiveBorderColour;
    QColor mRecallProgressColour;
};

// The bank view's backgrounds, border and GEQ fader flip.
class cBankViewColours
{
    Q_GADGET
    Q_PROPERTY(QColor masterSectionBackground READ masterSectionBackground CONSTANT)
    Q_PROPERTY(QColor stripBackground READ stripBackground CONSTANT)
    Q_PROPERTY(QColor selectedStripBackground READ selectedStripBackground CONSTANT)
    Q_PROPERTY(QColor stripBorder READ stripBorder CONSTANT)
    Q_PROPERTY(QColor geqFaderFlip READ geqFaderFlip CONSTANT)

public:
    cBankViewColours() = default;
    cBankViewColours(const QColor& masterSectionBackground, const QColor& stripBackground,
                     const QColor& selectedStripBackground, const QColor& stripBorder,
                     const QColor& geqFaderFlip)
        : mMasterSectionBackground(masterSectionBackground)
        , mStripBackground(stripBackground)
        , mSelectedStripBackground(selectedStripBackground)
        , mStripBorder(stripBorder)
        , mGeqFaderFlip(geqFaderFlip)
    {
    }

    QColor masterSectionBackground() const { return mMasterSectionBackground; }
    QColor stripBackground() const { return mStripBackground; }
    QColor selectedStripBackground() const { return mSelectedStripBackground; }
    QColor stripBorder() const { return mStripBorder; }
    QColor geqFaderFlip() const { return mGeqFaderFlip; }

private:
    QColor mMasterSectionBackground;
    QColor mStripBackground;
    QColor mSelectedStripBackground;
    QColor mStripBorder;
    QColor mGeqFaderFlip;
};

// The four AMM colours.
class cAMMColours
{
    Q_GADGET
    Q_PROPERTY(QColor amm1 READ amm1 CONSTANT)
    Q_PROPERTY(QColor amm2 READ amm2 CONSTANT)
    Q_PROPERTY(QColor amm3 READ amm3 CONSTANT)
    Q_PROPERTY(QColor amm4 READ amm4 CONSTANT)

public:
    cAMMColours() = default;
    cAMMColours(const QColor& amm1, const QColor& amm2, const QColor& amm3, const QColor& amm4)
        : mAmm1(amm1)
        , mAmm2(amm2)
        , mAmm3(amm3)
        , mAmm4(amm4)
    {
    }

    QColor amm1() const { return mAmm1; }
    QColor amm2() const { return mAmm2; }
    QColor amm3() const { return mAmm3; }
    QColor amm4() const { return mAmm4; }

private:
    QColor mAmm1;
    QColor mAmm2;
    QColor mAmm3;
    QColor mAmm4;
};

Q_DECLARE_METATYPE(cLEDColours)
Q_DECLARE_METATYPE(cRotaryColours)
Q_DECLARE_METATYPE(cGRGraphColours)
Q_DECLARE_METATYPE(cPEQGraphColours)
Q_DECLARE_METATYPE(cGraphLineColours)
Q_DECLARE_METATYPE(cListItemColours)
Q_DECLARE_METATYPE(cBankViewColours)
Q_DECLARE_METATYPE(cAMMColours)
