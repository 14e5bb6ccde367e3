#include "ControlTestHelpers.h"
#include "cFakeControlDrivers.h"

#include "KVNet/Core/cActionTickDriver.h"
#include "KVNet/Core/cMeterNet.h"
#include "KVNet/Core/cSyscallThread.h"
#include "KVNet/Core/cSystemBuilder.h"
#include "tests/support/cReportCapture.h"
#include "tests/support/cScopedKVNetSystem.h"

#include <QtTest>

#include <memory>

using namespace nControlTest;

namespace
{

void PostTo(const cAudioDriver& driver, UWORD method, const QByteArray& payload)
{
    cKVNetMessage message(UWORD(payload.size()));
    message.mConnectionId = KV_NET_LOCAL_CONNECTION;
    message.mDestination = driver.GetAudioObject()->GetHandle();
    message.mMethod = method;
    for (int i = 0; i < payload.size(); ++i)
    {
        message.SetUBYTE(UBYTE(payload[i]), UWORD(i));
    }
    PostMessage(message);
}

} // namespace

// Drivers are made and destroyed on the test thread (standing in for the GUI thread) while the
// real syscall and action-tick threads poll their control objects and deliver messages to
// them; run under the address and thread sanitizers, this shows that no control object calls
// into a destroyed driver.
class tst_ControlThreads : public QObject
{
    Q_OBJECT

private slots:
    void driversComeAndGo_whileSyscallAndTickThreadsRun();
};

void tst_ControlThreads::driversComeAndGo_whileSyscallAndTickThreadsRun()
{
    cScopedKVNetSystem system;
    cReportCapture capture;
    auto peer = std::make_unique<cRecordingNetObject>("Threaded Peer", 4);
    auto syscall = std::make_unique<cSyscallThread>();
    auto ticks = std::make_unique<cActionTickDriver>(nullptr);
    syscall->StartThread();
    ticks->StartThread();
    SetSystemRunning(true);

    const int iterations = 120;
    for (int i = 0; i < iterations; ++i)
    {
        auto fader = std::make_unique<cFakeControllerDriver>("Threaded Fader", 0, 1000, false, true);
        fader->LinkValueToParameter("Threaded Peer", PARAMETER_BASE, false, true);
        auto selector = std::make_unique<cFakeSwitchDriver>("Threaded Switch", true);
        std::unique_ptr<cBaseAttachedControllerDriver> knob;
        {
            cRegistryLocker lock;
            knob = std::make_unique<cBaseAttachedControllerDriver>("Threaded Knob", 0, 100);
        }
        auto meter = std::make_unique<cFakeMeterDriver>("Threaded Meter", 256, -256, true, 3);
        auto led = std::make_unique<cFakeLEDDriver>("Threaded LED");
        std::unique_ptr<cFakeMultiController> multi;
        {
            cRegistryLocker lock;
            multi = std::make_unique<cFakeMultiController>("Threaded Multi", 2, "Threaded Switch");
        }
        multi->CreateChild(0, "Threaded Child 0");
        multi->CreateChild(1, "Threaded Child 1");
        multi->SetChildEnable(0, 1);

        for (int j = 0; j < 4; ++j)
        {
            fader->mValue = UWORD(i * 7 + j);
            fader->mTouched = UBYTE(j & 1);
            fader->mDelta = 1;
            selector->mValue = UBYTE(j & 1);
            knob->mValue = UWORD(j);
            multi->mDelta = SBYTE(j - 2);
            PostTo(*fader, cContinuousControllerDriver::M_VALUE, Word(j));
            PostTo(*fader, cContinuousControllerDriver::M_RANGE, Bytes({0, 0, 0x03, 0xE8, 0, 0, j}));
            PostTo(*meter, cMeterNet::M_LEVEL, Word(-256 * j) + Bytes({0}));
            PostTo(*selector, cSwitchBaseDriver::M_VALUE, Bytes({j}));
            PostTo(*led, cLEDBaseDriver::M_STATE, Bytes({j & 1}));
            QThread::usleep(unsigned(100 + (i % 7) * 250));
        }

        switch (i % 3)
        {
        case 0:
            fader.reset();
            multi.reset();
            break;
        case 1:
            multi.reset();
            meter.reset();
            break;
        default:
            led.reset();
            knob.reset();
            break;
        }
    }

    // Links queued for names that went away wait, in order, until those names register again;
    // with every name back the queue drains.
    cFakeSwitchDriver selector("Threaded Switch", true);
    std::unique_ptr<cFakeMultiController> multi;
    {
        cRegistryLocker lock;
        multi = std::make_unique<cFakeMultiController>("Threaded Multi", 2, "Threaded Switch");
    }
    cFakeControllerDriver last("Threaded Fader", 0, 1000);
    QTRY_VERIFY_WITH_TIMEOUT(gSystemBuilder->GetQueuedCount() == 0, 5000);

    // A driver that stays is heard by its peer through the real threads.
    last.LinkValueToParameter("Threaded Peer", PARAMETER_BASE + 2, false, false);
    int nudges = 0;
    auto nudge = [&]()
    {
        last.mValue = UWORD(500 + ++nudges);
        const QByteArray payload = peer->LastPayload(PARAMETER_BASE + 2);
        return payload.size() == 2 && (UBYTE(payload[0]) << 8 | UBYTE(payload[1])) > 500;
    };
    QTRY_VERIFY_WITH_TIMEOUT(nudge(), 5000);

    SetSystemRunning(false);
    syscall->StopThread();
    ticks.reset();
    syscall.reset();
}

QTEST_GUILESS_MAIN(tst_ControlThreads)
#include "tst_ControlThreads.moc"
