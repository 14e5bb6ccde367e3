#include "CorvoGUI/Core/App/QmlTypeRegistration.h"
#include "CorvoGUI/QtGUIComponents/ValueFormat/cQmlValueInterpreterSingleton.h"
#include "QtGUIComponents/Common/cThemeColours.h"
#include "QtGUIComponents/Common/cUISettings.h"

#include <QByteArray>
#include <QLocale>
#include <QObject>
#include <QtQuickTest>

#include <atomic>
#include <cstdio>

// Runs the QML tests in qml/ (value interpreter, format objects, theme and UI settings) with the
// program's registrations and the look objects made as the application object makes them, under a
// locale whose decimal point is ','. A QML engine warning (TypeError, ReferenceError, a binding
// loop, an unresolved import) fails the run.
namespace
{

std::atomic<int> gQmlWarnings{0};
QtMessageHandler gPreviousHandler = nullptr;

void CountQmlWarnings(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type == QtWarningMsg &&
        (message.contains(QLatin1String("TypeError")) || message.contains(QLatin1String("ReferenceError")) ||
         message.contains(QLatin1String("Binding loop")) ||
         message.contains(QLatin1String("is not a type")) || message.contains(QLatin1String("module \""))))
    {
        ++gQmlWarnings;
    }
    gPreviousHandler(type, context, message);
}

} // namespace

class cLookQmlSetup : public QObject
{
    Q_OBJECT

public:
    cLookQmlSetup() { RegisterQmlTypes(); }

public slots:
    void applicationAvailable()
    {
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        gPreviousHandler = qInstallMessageHandler(CountQmlWarnings);
        gThemeColours = new cThemeColours();
        gUISettings = new cUISettings();
        gQmlValueInterpreterSingleton = new cQmlValueInterpreterSingleton();
    }

    void cleanupTestCase()
    {
        qInstallMessageHandler(gPreviousHandler);
        if (gQmlWarnings > 0)
        {
            qFatal("%d QML engine warning(s) during the run", int(gQmlWarnings));
        }
    }
};

QUICK_TEST_MAIN_WITH_SETUP(LookQml, cLookQmlSetup)
#include "tst_LookQml.moc"
