#pragma once

#include "QtGUIComponents/Common/ThemeColourGroups.h"

#include <QColor>
#include <QObject>
#include <QString>

class QJSEngine;
class QQmlEngine;

// The program's colours and a few layout sizes for QML, the singleton "Theme" of module
// "ThemeColours" 1.0. Every value is fixed by the constructor; only scaleFactor changes (when QML
// assigns it); ioCellSize (0) and editorScaleFactor (1.0) are read by nothing. The one object lives
// in gThemeColours, set by whoever creates it (the application object) and never deleted; the QML
// engine never owns it.
//
// Threads: GUI thread only.
class cThemeColours : public QObject
{
    Q_OBJECT
    Q_PROPERTY(cGRGraphColours grGraphActive READ grGraphActive CONSTANT)
    Q_PROPERTY(cGRGraphColours grGraphBypassed READ grGraphBypassed CONSTANT)
    Q_PROPERTY(cPEQGraphColours peqGraphActive READ peqGraphActive CONSTANT)
    Q_PROPERTY(cPEQGraphColours peqGraphBypassed READ peqGraphBypassed CONSTANT)
    Q_PROPERTY(cGraphLineColours graphLine READ graphLine CONSTANT)
    Q_PROPERTY(cRotaryColours rotaryColours READ rotaryColours CONSTANT)
    Q_PROPERTY(QColor mainThemeColour READ mainThemeColour CONSTANT)
    Q_PROPERTY(QColor peqZeroLineColour READ peqZeroLineColour CONSTANT)
    Q_PROPERTY(QColor tftActiveColour READ tftActiveColour CONSTANT)
    Q_PROPERTY(QColor blockingLayerColour READ blockingLayerColour CONSTANT)
    Q_PROPERTY(QColor virtualSoundCheckColour READ virtualSoundCheckColour CONSTANT)
    Q_PROPERTY(QColor panIndicatorColour READ panIndicatorColour CONSTANT)
    Q_PROPERTY(QColor routingPostColour READ routingPostColour CONSTANT)
    Q_PROPERTY(QColor routingPreColour READ routingPreColour CONSTANT)
    Q_PROPERTY(cLEDColours ledColours READ ledColours CONSTANT)
    Q_PROPERTY(double scaleFactor READ scaleFactor WRITE setScaleFactor NOTIFY scaleFactorChanged)
    Q_PROPERTY(QString productName READ productName CONSTANT)
    Q_PROPERTY(double majorSpacing READ majorSpacing CONSTANT)
    Q_PROPERTY(double minorSpacing READ minorSpacing CONSTANT)
    Q_PROPERTY(double panelGap READ panelGap CONSTANT)
    Q_PROPERTY(double maxRoutingBarWidth READ maxRoutingBarWidth CONSTANT)
    Q_PROPERTY(cListItemColours listItem READ listItem CONSTANT)
    Q_PROPERTY(QColor copyColour READ copyColour CONSTANT)
    Q_PROPERTY(QColor pasteColour READ pasteColour CONSTANT)
    Q_PROPERTY(QColor resetColour READ resetColour CONSTANT)
    Q_PROPERTY(QColor listenColour READ listenColour CONSTANT)
    Q_PROPERTY(cBankViewColours bankViewColours READ bankViewColours CONSTANT)
    Q_PROPERTY(QColor formBackgroundColour READ formBackgroundColour CONSTANT)
    Q_PROPERTY(int ioCellSize READ ioCellSize CONSTANT)
    Q_PROPERTY(cAMMColours ammColours READ ammColours CONSTANT)
    Q_PROPERTY(double editorScaleFactor READ editorScaleFactor CONSTANT)

public:
    // Sizes are drawn at up to this many times their design size.
    static constexpr double MAX_SCALE_FACTOR = 16.0;

    // Sets every value, then registers the eight colour groups as meta-types by their names.
    cThemeColours();
    ~cThemeColours() override = default;

    // gThemeColours; never creates. Null (after the report "gThemeColours is NULL") while unset.
    static cThemeColours* Instance();
    // The QML singleton provider: Instance(), kept in C++ ownership. Both engines are ignored.
    static QObject* SingletonProvider(QQmlEngine* engine, QJSEngine* scriptEngine);

    cGRGraphColours grGraphActive() const { return mGrGraphActive; }
    cGRGraphColours grGraphBypassed() const { return mGrGraphBypassed; }
    cPEQGraphColours peqGraphActive() const { return mPeqGraphActive; }
    cPEQGraphColours peqGraphBypassed() const { return mPeqGraphBypassed; }
    cGraphLineColours graphLine() const { return mGraphLine; }
    cRotaryColours rotaryColours() const { return mRotaryColours; }
    QColor mainThemeColour() const { return mMainThemeColour; }
    QColor peqZeroLineColour() const { return mPeqZeroLineColour; }
    QColor tftActiveColour() const { return mTftActiveColour; }
    QColor blockingLayerColour() const { return mBlockingLayerColour; }
    QColor virtualSoundCheckColour() const { return mVirtualSoundCheckColour; }
    QColor panIndicatorColour() const { return mPanIndicatorColour; }
    QColor routingPostColour() const { return mRoutingPostColour; }
    QColor routingPreColour() const { return mRoutingPreColour; }
    cLEDColours ledColours() const { return mLedColours; }
    double scaleFactor() const { return mScaleFactor; }
    QString productName() const { return mProductName; }
    double majorSpacing() const { return mMajorSpacing; }
    double minorSpacing() const { return mMinorSpacing; }
    double panelGap() const { return mPanelGap; }
    double maxRoutingBarWidth() const { return mMaxRoutingBarWidth; }
    cListItemColours listItem() const { return mListItem; }
    QColor copyColour() const { return mCopyColour; }
    QColor pasteColour() const { return mPasteColour; }
    QColor resetColour() const { return mResetColour; }
    QColor listenColour() const { return mListenColour; }
    cBankViewColours bankViewColours() const { return mBankViewColours; }
    QColor formBackgroundColour() const { return mFormBackgroundColour; }
    int ioCellSize() const { return mIoCellSize; }
    cAMMColours ammColours() const { return mAmmColours; }
    double editorScaleFactor() const { return mEditorScaleFactor; }

    // Stores the value and emits scaleFactorChanged when it differs from the stored one. A factor that
    // is not a number, not above 0 or above MAX_SCALE_FACTOR is reported and refused.
    void setScaleFactor(double scaleFactor);

signals:
    void scaleFactorChanged();

private:
    cGRGraphColours mGrGraphActive;
    cGRGraphColours mGrGraphBypassed;
    cPEQGraphColours mPeqGraphActive;
    cPEQGraphColours mPeqGraphBypassed;
    cGraphLineColours mGraphLine;
    cRotaryColours mRotaryColours;
    QColor mMainThemeColour;
    QColor mPeqZeroLineColour;
    QColor mTftActiveColour;
    QColor mBlockingLayerColour;
    QColor mVirtualSoundCheckColour;
    QColor mPanIndicatorColour;
    QColor mRoutingPostColour;
    QColor mRoutingPreColour;
    cLEDColours mLedColours;
    double mScaleFactor = 0.0;
    QString mProductName;
    double mMajorSpacing = 0.0;
    double mMinorSpacing = 0.0;
    double mPanelGap = 0.0;
    double mMaxRoutingBarWidth = 0.0;
    cListItemColours mListItem;
    QColor mCopyColour;
    QColor mPasteColour;
    QColor mResetColour;
    QColor mListenColour;
    cBankViewColours mBankViewColours;
    QColor mFormBackgroundColour;
    int mIoCellSize = 0;
    cAMMColours mAmmColours;
    double mEditorScaleFactor = 0.0;
};

extern cThemeColours* gThemeColours;
