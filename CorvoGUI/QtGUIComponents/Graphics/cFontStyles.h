#pragma once

#include "QtGUIComponents/Common/cTextStyle.h"

#include <QObject>
#include <QString>

class QJSEngine;
class QQmlEngine;

// Twenty named text styles for QML, the singleton "Fonts" of module "FontStyles" 1.0, and the
// default font family ("Arial"). The styles built here are Arial at pixel sizes of 26, 24, 20 or
// 16 times the scale given to the constructor; the button and highlight styles copy text styles
// of the project font table, at that table's own scale. Each style is a child of this object.
//
// Construct only after cProjectFontManager::Init (before it the program ends with that table's
// fatal message). Nothing in the program constructs one; whoever does stores it in gFontStyles,
// which the QML engine never owns. Threads: GUI thread only.
class cFontStyles : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString defaultFontFamily READ defaultFontFamily CONSTANT)
    Q_PROPERTY(cTextStyle* title READ title CONSTANT)
    Q_PROPERTY(cTextStyle* subtitle READ subtitle CONSTANT)
    Q_PROPERTY(cTextStyle* body READ body CONSTANT)
    Q_PROPERTY(cTextStyle* label READ label CONSTANT)
    Q_PROPERTY(cTextStyle* valueWidgetLabel READ valueWidgetLabel CONSTANT)
    Q_PROPERTY(cTextStyle* value READ value CONSTANT)
    Q_PROPERTY(cTextStyle* tabActive READ tabActive CONSTANT)
    Q_PROPERTY(cTextStyle* tabInactive READ tabInactive CONSTANT)
    Q_PROPERTY(cTextStyle* momentaryButtonOff READ momentaryButtonOff CONSTANT)
    Q_PROPERTY(cTextStyle* momentaryButtonOn READ momentaryButtonOn CONSTANT)
    Q_PROPERTY(cTextStyle* momentaryButtonDisabled READ momentaryButtonDisabled CONSTANT)
    Q_PROPERTY(cTextStyle* latchingButtonOff READ latchingButtonOff CONSTANT)
    Q_PROPERTY(cTextStyle* latchingButtonOn READ latchingButtonOn CONSTANT)
    Q_PROPERTY(cTextStyle* latchingButtonDisabled READ latchingButtonDisabled CONSTANT)
    Q_PROPERTY(cTextStyle* highlightWidget READ highlightWidget CONSTANT)
    Q_PROPERTY(cTextStyle* listItemNormal READ listItemNormal CONSTANT)
    Q_PROPERTY(cTextStyle* listItemTouched READ listItemTouched CONSTANT)
    Q_PROPERTY(cTextStyle* listItemSelected READ listItemSelected CONSTANT)
    Q_PROPERTY(cTextStyle* keyboardKey READ keyboardKey CONSTANT)
    Q_PROPERTY(cTextStyle* altKeyboardKey READ altKeyboardKey CONSTANT)

public:
    // The pixel sizes are 26, 24, 20 and 16 times scale, truncated; a size below 1 (or a scale
    // that is not a number) gives 1.
    explicit cFontStyles(double scale);
    ~cFontStyles() override = default;

    // gFontStyles; never creates. Null (after the report "gFontStyles is NULL") while unset.
    static cFontStyles* Instance();
    // The QML singleton provider: Instance(), kept in C++ ownership. Both engines are ignored.
    static QObject* SingletonProvider(QQmlEngine* engine, QJSEngine* scriptEngine);

    QString defaultFontFamily() const;
    cTextStyle* title() const { return mTitle; }
    cTextStyle* subtitle() const { return mSubtitle; }
    cTextStyle* body() const { return mBody; }
    cTextStyle* label() const { return mLabel; }
    cTextStyle* valueWidgetLabel() const { return mValueWidgetLabel; }
    cTextStyle* value() const { return mValue; }
    cTextStyle* tabActive() const { return mTabActive; }
    cTextStyle* tabInactive() const { return mTabInactive; }
    cTextStyle* momentaryButtonOff() const { return mMomentaryButtonOff; }
    cTextStyle* momentaryButtonOn() const { return mMomentaryButtonOn; }
    cTextStyle* momentaryButtonDisabled() const { return mMomentaryButtonDisabled; }
    cTextStyle* latchingButtonOff() const { return mLatchingButtonOff; }
    cTextStyle* latchingButtonOn() const { return mLatchingButtonOn; }
    cTextStyle* latchingButtonDisabled() const { return mLatchingButtonDisabled; }
    cTextStyle* highlightWidget() const { return mHighlightWidget; }
    cTextStyle* listItemNormal() const { return mListItemNormal; }
    cTextStyle* listItemTouched() const { return mListItemTouched; }
    cTextStyle* listItemSelected() const { return mListItemSelected; }
    cTextStyle* keyboardKey() const { return mKeyboardKey; }
    cTextStyle* altKeyboardKey() const { return mAltKeyboardKey; }

private:
    cTextStyle* mTitle = nullptr;
    cTextStyle* mSubtitle = nullptr;
    cTextStyle* mBody = nullptr;
    cTextStyle* mLabel = nullptr;
    cTextStyle* mValueWidgetLabel = nullptr;
    cTextStyle* mValue = nullptr;
    cTextStyle* mTabActive = nullptr;
    cTextStyle* mTabInactive = nullptr;
    cTextStyle* mMomentaryButtonOff = nullptr;
    cTextStyle* mMomentaryButtonOn = nullptr;
    cTextStyle* mMomentaryButtonDisabled = nullptr;
    cTextStyle* mLatchingButtonOff = nullptr;
    cTextStyle* mLatchingButtonOn = nullptr;
    cTextStyle* mLatchingButtonDisabled = nullptr;
    cTextStyle* mHighlightWidget = nullptr;
    cTextStyle* mListItemNormal = nullptr;
    cTextStyle* mListItemTouched = nullptr;
    cTextStyle* mListItemSelected = nullptr;
    cTextStyle* mKeyboardKey = nullptr;
    cTextStyle* mAltKeyboardKey = nullptr;
};

extern cFontStyles* gFontStyles;
