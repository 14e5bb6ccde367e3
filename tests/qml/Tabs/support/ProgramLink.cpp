#include "tests/qml/Tabs/support/ProgramLink.h"

#include "CorvoGUI/Core/App/cApplication.h"
#include "CorvoGUI/Core/Serial/cSerialInterface.h"
#include "CorvoGUI/QtGUIComponents/Backends/cCorvoQmlBackend.h"
#include "CorvoGUI/QtGUIComponents/Backends/cSavesDialogBackend.h"
#include "KVNet/Core/KVNetSystem.h"
#include "tests/support/cRecordingNetObject.h"
#include "tests/support/ui/cProgramUnderTest.h"

#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QUrl>

#include <algorithm>
#include <atomic>
#include <memory>

namespace nProgramLink
{

namespace
{

constexpr int ACTION_TICK_MS = 20;

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

// Whether the link's queues stayed empty for quietMs and as many action ticks of the syscall thread.
bool WaitForQuiet(const cSerialInterface& link, const cRecordingNetObject& ticks, int quietMs, int timeoutMs)
{
    const int quietTicks = std::max(1, quietMs / ACTION_TICK_MS);
    QDeadlineTimer deadline(timeoutMs);
    QElapsedTimer quiet;
    quiet.start();
    int quietFrom = ticks.Ticks();
    while (quiet.elapsed() < quietMs || ticks.Ticks() - quietFrom < quietTicks)
    {
        if (deadline.hasExpired())
        {
            return false;
        }
        if (link.QueuedRecords() != 0)
        {
            quiet.restart();
            quietFrom = ticks.Ticks();
        }
        cProgramUnderTest::Settle(5);
    }
    return true;
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
    // The units queue on their ticks: quiet counts only while the syscall thread runs them too, as
    // a loaded machine can hold that thread back for longer than quietMs.
    std::unique_ptr<cRecordingNetObject> watch;
    {
        // Made and deleted under the registry lock while the syscall thread runs.
        cRegistryLocker lock;
        watch = std::make_unique<cRecordingNetObject>("Program Link Idle Ticks", 1, true);
    }
    const cRecordingNetObject& ticks = *watch;
    const bool idle = WaitForQuiet(*link, ticks, quietMs, timeoutMs);
    {
        cRegistryLocker lock;
        watch.reset();
    }
    return idle;
}

} // namespace nProgramLink
