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

// Whether the link's queues stayed empty for quietMs and as many action ticks of the syscall thread,
// with the device holding what the link wrote. The queues are looked at after every turn of the
// event loop, before the quiet time is taken as passed: one turn can outlast the whole quiet time
// (a recall has the loop take hundreds of announced values at once, slow in a loaded sanitizer
// build), and records waiting through it must not count as quiet.
bool WaitForQuiet(cProgramUnderTest& program, const cRecordingNetObject& ticks, int quietMs, int timeoutMs)
{
    const cSerialInterface& link = *program.Session()->GetApplication()->GetSerialInterface();
    const int quietTicks = std::max(1, quietMs / ACTION_TICK_MS);
    QDeadlineTimer deadline(timeoutMs);
    QElapsedTimer quiet;
    quiet.start();
    int quietFrom = ticks.Ticks();
    for (;;)
    {
        // Read before the device's count: the meter polls written meanwhile do not matter.
        const quint64 written = link.GetStatistics().mBytesWritten;
        if (link.QueuedRecords() != 0)
        {
            quiet.restart();
            quietFrom = ticks.Ticks();
        }
        else if (quiet.elapsed() >= quietMs && ticks.Ticks() - quietFrom >= quietTicks &&
                 program.Device().BytesReceived() >= written)
        {
            return true;
        }
        if (deadline.hasExpired())
        {
            return false;
        }
        cProgramUnderTest::Settle(5);
    }
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
    // The units queue on their ticks: quiet counts only while the syscall thread runs them too, as
    // a loaded machine can hold that thread back for longer than quietMs.
    std::unique_ptr<cRecordingNetObject> watch;
    {
        // Made and deleted under the registry lock while the syscall thread runs.
        cRegistryLocker lock;
        watch = std::make_unique<cRecordingNetObject>("Program Link Idle Ticks", 1, true);
    }
    const cRecordingNetObject& ticks = *watch;
    const bool idle = WaitForQuiet(program, ticks, quietMs, timeoutMs);
    {
        cRegistryLocker lock;
        watch.reset();
    }
    return idle;
}

} // namespace nProgramLink
