#pragma once

#include "CorvoGUI/Core/App/cProgramSession.h"
#include "CorvoGUI/Core/Resources/cUserInterfaceResources.h"
#include "tests/qml/Views/cViewTestProbe.h"
#include "tests/support/quicktest/cQuickTestWarnings.h"

#include <QObject>

#include <memory>

class QQmlEngine;

// The set-up of the Qt Quick Tests of the views (QUICK_TEST_MAIN_WITH_SETUP): the whole program
// without its window, as qMain runs it, under the QML files that the tests load from the resources.
//
// Construction (before the QGuiApplication): the resource trees, the organisation and application
// names and the QML registrations. applicationAvailable: a cProgramSession (framework, device model
// with its syscall and action-tick threads, root back end with its links) on a serial link that
// lists no port. qmlEngineAvailable, once per test file: the engine gets what start-up gives it
// (import paths, image provider, "_App"), "_Probe" (cViewTestProbe) and "_QmlWarnings"
// (cQuickTestWarnings, which records the engine's warnings). cleanupTestCase: the session's
// shutdown and the root back end's deferred delete; then a warning that no test took (the
// shutdown's own included) ends the run with a fatal error.
//
// GUI thread.
class cViewTestSetup : public QObject
{
    Q_OBJECT

public:
    cViewTestSetup();
    ~cViewTestSetup() override;

public slots:
    void applicationAvailable();
    void qmlEngineAvailable(QQmlEngine* engine);
    void cleanupTestCase();

private:
    cUserInterfaceResources mResources;
    std::unique_ptr<cProgramSession> mSession;
    std::unique_ptr<cViewTestProbe> mProbe;
    cQuickTestWarnings mWarnings;
};
