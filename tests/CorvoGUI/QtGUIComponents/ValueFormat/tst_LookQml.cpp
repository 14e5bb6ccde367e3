#include "CorvoGUI/Core/App/LookObjects.h"
#include "CorvoGUI/Core/App/QmlTypeRegistration.h"
#include "QtGUIComponents/Common/cUISettings.h"
#include "tests/support/quicktest/cQuickTestWarnings.h"

#include <QLocale>
#include <QObject>
#include <QQmlEngine>
#include <QtQuickTest>

// Runs the QML tests in qml/ (value interpreter, format objects, theme and UI settings) with the
// program's registrations and the look objects made as the application object makes them (and the
// UI settings), under a locale whose decimal point is ','. A QML engine warning (TypeError,
// ReferenceError, a binding loop, an unresolved import, any warning against a QML file) fails the
// test function during which it came (the cases are WarningCheckedTestCases); one outside them
// aborts the run.
class cLookQmlSetup : public QObject
{
    Q_OBJECT

public:
    cLookQmlSetup() { RegisterQmlTypes(); }

public slots:
    void applicationAvailable()
    {
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        MakeLookObjects();
        gUISettings = new cUISettings();
    }

    void qmlEngineAvailable(QQmlEngine* engine) { mWarnings.Watch(*engine); }

    void cleanupTestCase() { mWarnings.Finish(); }

private:
    cQuickTestWarnings mWarnings;
};

QUICK_TEST_MAIN_WITH_SETUP(LookQml, cLookQmlSetup)
#include "tst_LookQml.moc"
