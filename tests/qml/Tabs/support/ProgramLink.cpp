#include "tests/qml/Tabs/support/ProgramLink.h"

#include "CorvoGUI/Core/App/cApplication.h"
#include "CorvoGUI/Core/Serial/cSerialInterface.h"
#include "CorvoGUI/QtGUIComponents/Backends/cCorvoQmlBackend.h"
#include "CorvoGUI/QtGUIComponents/Backends/cSavesDialogBackend.h"
#include "tests/support/ui/cProgramUnderTest.h"

#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QUrl>

#include <atomic>

namespace nProgramLink
{

namespace
{

// Saves the model to the file or recalls it; true when the saves manager answered success.
bool SaveOrRecall(cSavesDialogBackend* saves, const QUrl& file, bool save)
{
    // Counted on the syscall thread, which emits the answer.
    std::atomic<int> answers{0};
    const QMetaObject::Connection connection =
        QObject::connect(saves, &cSavesDialogBackend::operationSuccessChanged, [&answers] { ++answers; });
    save ? saves->saveConfig(file) : saves->recallConfig(file);
    const bool answered = cProgramUnderTest::WaitFor([&answers] { return answers > 0; }, 5000);
    QObject::disconnect(connection);
    return answered && saves->operationSuccess();
}

} // namespace

bool ConnectKeepingModel(cProgramUnderTest& program, const QString& folder)
{
    cSavesDialogBackend* saves = program.Backend()->backendSavesDialog();
    const QUrl file = QUrl::fromLocalFile(folder + QStringLiteral("/Model.cfg"));
    if (!SaveOrRecall(saves, file, true))
    {
        qWarning("The program's model was not saved");
        return false;
    }
    if (!program.Connect())
    {
        qWarning("The device did not connect (link state %d)",
                 int(program.Session()->GetApplication()->GetSerialInterface()->GetState()));
        return false;
    }
    if (!SaveOrRecall(saves, file, false))
    {
        qWarning("The program's model was not recalled");
        return false;
    }
    if (!WaitUntilIdle(program))
    {
        qWarning("The link did not become idle after the recall");
        return false;
    }
    return true;
}

bool WaitUntilIdle(cProgramUnderTest& program, int quietMs, int timeoutMs)
{
    const cSerialInterface* link = program.Session()->GetApplication()->GetSerialInterface();
    QDeadlineTimer deadline(timeoutMs);
    QElapsedTimer quiet;
    quiet.start();
    while (quiet.elapsed() < quietMs)
    {
        if (deadline.hasExpired())
        {
            return false;
        }
        if (link->QueuedRecords() != 0)
        {
            quiet.restart();
        }
        cProgramUnderTest::Settle(5);
    }
    return true;
}

} // namespace nProgramLink
