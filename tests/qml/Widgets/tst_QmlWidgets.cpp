#include "CorvoGUI/Core/App/QmlTypeRegistration.h"
#include "CorvoGUI/Core/Resources/cUserInterfaceResources.h"
#include "CorvoGUI/QtGUIComponents/ValueFormat/cQmlValueInterpreterSingleton.h"
#include "QtGUIComponents/Common/cThemeColours.h"
#include "QtGUIComponents/Widgets/cDrawingUtility.h"
#include "tests/support/cQmlWarningGuard.h"

#include <QFontDatabase>
#include <QList>
#include <QMutex>
#include <QObject>
#include <QQmlContext>
#include <QQmlEngine>
#include <QQmlError>
#include <QStringList>
#include <QtQuickTest>

#include <memory>

// Runs the widget tests (tst_*.qml beside this file) on the widgets as the program has them: the
// program's QML registrations, its resource trees ("qrc:/CorvoFader.qml", "qrc:/Meter.svg", ...),
// its font, and the theme, drawing utility and value interpreter singletons made as the
// application object makes them.
//
// Every QML engine warning fails the run. The test cases (WidgetTestCase.qml) arm the warning guard
// in init(), once Qt Quick Test has installed its own message handler (which passes nothing on to
// one installed before it), and fail a test function in cleanup() when anything was caught while
// it ran. What an engine reports before the first test starts (creating the first file) arrives
// by its warnings signal; whatever is left at the end aborts the run.
class cWidgetTestSetup : public QObject
{
    Q_OBJECT

public:
    cWidgetTestSetup() { RegisterQmlTypes(); }

    // Starts catching messages, once. From the test cases' init().
    Q_INVOKABLE void arm()
    {
        if (mGuard == nullptr)
        {
            mGuard = std::make_unique<cQmlWarningGuard>();
        }
    }

    // The warnings caught since the last call, and forgets them.
    Q_INVOKABLE QStringList take()
    {
        QMutexLocker lock(&mMutex);
        QStringList problems = mEarlyProblems;
        mEarlyProblems.clear();
        if (mGuard != nullptr)
        {
            problems += mGuard->Problems();
            mGuard->Clear();
        }
        return problems;
    }

public slots:
    void applicationAvailable()
    {
        if (QFontDatabase::addApplicationFont(QStringLiteral(":Spartan-Bold.ttf")) < 0)
        {
            qFatal("the font Spartan-Bold.ttf is not in the resources");
        }
        gThemeColours = new cThemeColours();
        gDrawingUtility = new cDrawingUtility();
        gQmlValueInterpreterSingleton = new cQmlValueInterpreterSingleton();
    }

    void qmlEngineAvailable(QQmlEngine* engine)
    {
        engine->addImportPath(QStringLiteral("qrc:/qml/KVQml"));
        engine->addImportPath(QStringLiteral("qrc:/qml"));
        engine->addImportPath(QStringLiteral("qrc:/"));
        engine->rootContext()->setContextProperty(QStringLiteral("qmlWarnings"), this);
        connect(engine, &QQmlEngine::warnings, this, &cWidgetTestSetup::OnEngineWarnings);
    }

    void cleanupTestCase()
    {
        const QStringList problems = take();
        // Qt Quick Test's handler is put back before it stops logging.
        mGuard.reset();
        if (!problems.isEmpty())
        {
            qFatal("QML engine warnings outside the test functions:\n%s", qPrintable(problems.join('\n')));
        }
    }

private:
    void OnEngineWarnings(const QList<QQmlError>& warnings)
    {
        QMutexLocker lock(&mMutex);
        // Once armed the guard sees these as messages.
        if (mGuard != nullptr)
        {
            return;
        }
        for (const QQmlError& warning : warnings)
        {
            mEarlyProblems << warning.toString();
        }
    }

    // Registered for the whole run, before any engine exists.
    const cUserInterfaceResources mResources;
    QMutex mMutex;
    QStringList mEarlyProblems;
    std::unique_ptr<cQmlWarningGuard> mGuard;
};

QUICK_TEST_MAIN_WITH_SETUP(QmlWidgets, cWidgetTestSetup)
#include "tst_QmlWidgets.moc"
