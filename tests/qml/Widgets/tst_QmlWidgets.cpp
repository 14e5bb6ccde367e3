#include "CorvoGUI/Core/App/LookObjects.h"
#include "CorvoGUI/Core/App/QmlTypeRegistration.h"
#include "CorvoGUI/Core/Resources/cUserInterfaceResources.h"
#include "tests/support/quicktest/cQuickTestWarnings.h"

#include <QObject>
#include <QQmlEngine>
#include <QtQuickTest>

// Runs the widget tests (tst_*.qml beside this file) on the widgets as the program has them: the
// program's QML registrations, its resource trees ("qrc:/CorvoFader.qml", "qrc:/Meter.svg", ...),
// its font, and the theme, drawing utility and value interpreter singletons made as the
// application object makes them.
//
// Every QML engine warning fails the run: a test function fails on those that came while it ran
// (WidgetTestCase.qml is a WarningCheckedTestCase), and whatever is left at the end aborts the run.
class cWidgetTestSetup : public QObject
{
    Q_OBJECT

public:
    cWidgetTestSetup() { RegisterQmlTypes(); }

public slots:
    void applicationAvailable()
    {
        if (!AddProgramFont())
        {
            qFatal("the font Spartan-Bold.ttf is not in the resources");
        }
        MakeLookObjects();
    }

    void qmlEngineAvailable(QQmlEngine* engine)
    {
        engine->addImportPath(QStringLiteral("qrc:/qml/KVQml"));
        engine->addImportPath(QStringLiteral("qrc:/qml"));
        engine->addImportPath(QStringLiteral("qrc:/"));
        mWarnings.Watch(*engine);
    }

    void cleanupTestCase() { mWarnings.Finish(); }

private:
    // Registered for the whole run, before any engine exists.
    const cUserInterfaceResources mResources;
    cQuickTestWarnings mWarnings;
};

QUICK_TEST_MAIN_WITH_SETUP(QmlWidgets, cWidgetTestSetup)
#include "tst_QmlWidgets.moc"
