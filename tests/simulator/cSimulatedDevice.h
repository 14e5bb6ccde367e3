#pragma once

#include "tests/simulator/cSimulatedDeviceModel.h"
#include "tests/simulator/cSimulatedPty.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <cstdint>
#include <functional>
#include <mutex>

// A simulated device on a pseudo-terminal. It reads the program's command frames, logs every
// frame with its exact bytes, keeps the state that filter, strip and delay records set, and
// answers: version, command 1, control strips, delays, the 36 filter-table records in table order,
// meter polls, and an empty acknowledgement of every filter, strip and delay record.
// On demand it misbehaves: replies late by k ticks, goes silent, sends garbage before a reply,
// splits a reply across two ticks, sends a reply with an over-long or a wrong length, drops a
// filter-table record, or vanishes (closes the pty).
//
// The device runs in ticks. Step is the lockstep form for tests: it waits (bounded) until it has
// received every byte the program reports written, answers, and waits until its answers sit in
// the program's input queue, so a test's next tick sees them. Service is the free-running form.
// All operations lock the device, so another thread may read the log and the state.
class cSimulatedDevice
{
public:
    enum eReplyFault
    {
        FAULT_NONE,
        FAULT_OVERLONG_LENGTH, // the header announces 600 bytes, which follow
        FAULT_WRONG_LENGTH,    // one byte short (or one extra when the payload is empty)
    };

    struct sReceivedFrame
    {
        int mTick = 0;
        std::uint8_t mCommand = 0;
        QByteArray mPayload;
        QByteArray mBytes;       // the whole frame as received
        bool mWellFormed = true; // length as the protocol gives it for this command
    };

    cSimulatedDevice() = default;
    cSimulatedDevice(const cSimulatedDevice&) = delete;
    cSimulatedDevice& operator=(const cSimulatedDevice&) = delete;

    // Creates the pty (and a symlink at the link path when one is given).
    bool Open(const QString& linkPath = QString());
    // Closes the pty and removes the symlink; pending output is dropped.
    void Vanish();
    // A new pty behind the same link path, the state kept.
    bool Reappear();
    bool IsOpen() const;
    QString PortPath() const;
    QString SlavePath() const;

    // One lockstep tick: receive until hostBytesWritten bytes have arrived in total (waiting up to
    // timeoutMs), answer, and (with waitForDelivery) wait until the answers are readable by the
    // program, which must not be reading meanwhile. False when the bytes or the delivery did not
    // come in time.
    bool Step(std::uint64_t hostBytesWritten, int timeoutMs = 2000, bool waitForDelivery = true);
    // One free-running tick: take what has arrived, answer, no waiting.
    void Service();
    // Waits up to timeoutMs for input from the program.
    bool WaitForInput(int timeoutMs);
    int Tick() const;

    // Misbehaviour.
    void SetReplyDelay(int ticks);
    void SetSilent(bool silent);
    void SetAcknowledgeRecords(bool acknowledge);
    void InjectGarbageBeforeNextReply(const QByteArray& garbage);
    // The next reply goes out in two writes: its first `offset` bytes now, the rest a tick later.
    void SplitNextReply(int offset);
    void FaultNextReply(std::uint8_t command, eReplyFault fault);
    // Leaves this record out of every filter-table answer; -1 for none.
    void DropFilterRecord(int index);
    // Queues bytes for the program, written with the next tick's answers.
    void WriteRaw(const QByteArray& bytes);
    // Writes as much of the bytes as the pty takes now, without waiting (a device that floods the
    // line); returns the count written.
    int Flood(const QByteArray& bytes);

    // The state. Model() is for the owning thread while no other thread runs the device.
    cSimulatedDeviceModel& Model() { return mModel; }
    cSimulatedDeviceModel ModelSnapshot() const;
    // Changes the state under the device's lock, while another thread may run the device.
    void UpdateModel(const std::function<void(cSimulatedDeviceModel&)>& change);

    QList<sReceivedFrame> Frames() const;
    QList<std::uint8_t> Commands() const;
    int CountFrames(std::uint8_t command) const;
    void ClearLog();
    int MalformedFrames() const;
    int GarbageBytes() const;
    std::uint64_t BytesReceived() const;
    // Makes the received count equal the program's written count, after a vanish lost bytes.
    void AlignReceivedCount(std::uint64_t hostBytesWritten);

    // Bytes that make a frame of this command and payload.
    static QByteArray Frame(std::uint8_t command, const QByteArray& payload);

private:
    struct sOutput
    {
        int mDueTick = 0;
        QByteArray mBytes;
    };

    void ReceiveLocked();
    void ParseLocked();
    void HandleLocked(const sReceivedFrame& frame);
    void ReplyLocked(std::uint8_t command, const QByteArray& payload);
    int FlushDueLocked();
    static bool WellFormed(std::uint8_t command, int length);

    mutable std::mutex mMutex;
    cSimulatedPty mPty;
    QString mLinkPath;
    cSimulatedDeviceModel mModel;
    QByteArray mInput;
    QList<sOutput> mOutput;
    QList<sReceivedFrame> mFrames;
    int mTick = 0;
    std::uint64_t mBytesReceived = 0;
    int mMalformed = 0;
    int mGarbage = 0;

    int mReplyDelay = 0;
    bool mSilent = false;
    bool mAcknowledge = true;
    QByteArray mGarbageBeforeReply;
    int mSplitOffset = -1;
    std::uint8_t mFaultCommand = 0;
    eReplyFault mFault = FAULT_NONE;
    int mDroppedFilterRecord = -1;
};
