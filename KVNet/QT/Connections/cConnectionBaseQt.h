#pragma once

#include "KVNet/Core/cConnectionBase.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QTimer>

#include <atomic>
#include <mutex>

// The common part of a framework connection's TCP and UDP links: the frame reader
// (cConnectionBase), a transmit queue drained on the link's own thread, and the entry of
// received messages into the registry router.
//
// Threads: the link lives on its connection's worker thread, where Transmit, the readers and
// the received-message handlers run. The enqueue operations may be called from any thread.
//
// Bounds (everything from the network is untrusted):
// - the queue holds at most MAX_QUEUED_BYTES of frames; a frame beyond that is dropped and
//   the overflow is reported once until the queue has drained;
// - Send is emitted whenever no Transmit is pending, so frames left behind by a failed or
//   paused Transmit go out with the next Send;
// - reading pauses while this connection has MAX_ROUTER_MESSAGES messages or
//   MAX_ROUTER_BYTES payload bytes waiting in the router (reported at most once a second) and resumes
//   by itself once the syscall thread has taken them.
class cConnectionBaseQt : public QObject, public cConnectionBase
{
    Q_OBJECT

public:
    static constexpr ULONG MAX_QUEUED_BYTES = 1024 * 1024;
    static constexpr ULONG MAX_ROUTER_MESSAGES = 64;
    static constexpr ULONG MAX_ROUTER_BYTES = 256 * 1024;
    static constexpr int RESUME_READING_MS = 5;

    // connectionSerial: what the network connection calls this connection (0 for a link on its
    // own); every received message carries it.
    cConnectionBaseQt(UWORD connectionId, ULONG connectionSerial);
    ~cConnectionBaseQt() override;

    // Any thread. Frame the message (V2 when useV2, else V1) or the util payload and queue it;
    // false when the queue is full (the frame is dropped).
    bool EnqueueMessage(const cKVNetMessage& message, bool useV2);
    bool EnqueueUtilMessage(const UBYTE* data, UWORD length);

    // Any thread.
    ULONG GetQueuedBytes() const;
    int GetQueuedFrames() const;
    // Frames handed to the socket, counted by Transmit.
    ULONG GetFramesSent() const { return mFramesSent.load(); }
    // Times reading was paused because of the router backlog.
    ULONG GetReadingPauses() const { return mReadingPauses.load(); }

    // Received message frames: the connection id of this link is written into the header and,
    // for link messages, into payload bytes 0-1, the connection's serial into the message; then
    // the message joins the router's buffer.
    void KVNetMessageReceived(cKVNetMessage& message) override;

signals:
    void Send();

public slots:
    virtual void Transmit() = 0;

protected:
    // The drain: Transmit takes the queue lock, calls BeginTransmit, then takes frames with
    // DequeueFrame (or gives a frame back with RequeueFrontFrame) until it is done.
    std::unique_lock<std::mutex> LockQueue();
    void BeginTransmit();
    bool DequeueFrame(QByteArray& frame);
    void RequeueFrontFrame(const QByteArray& frame);
    void CountSentFrame() { ++mFramesSent; }

    // Whether received messages still go to the router (false once the link is closing).
    virtual bool AcceptsReceivedMessages() const { return true; }
    // Reading paused by the router backlog continues here (the link's thread).
    virtual void ResumeReading() = 0;
    // True (and a resume is scheduled) while this connection's router backlog is at its cap.
    bool PauseReadingForRouterBacklog();

private:
    bool Enqueue(QByteArray frame);

    const ULONG mConnectionSerial;
    mutable std::mutex mQueueMutex;
    QList<QByteArray> mQueue;
    ULONG mQueuedBytes = 0;
    bool mSendPending = false;
    bool mOverflowReported = false;
    std::atomic<ULONG> mFramesSent{0};
    std::atomic<ULONG> mReadingPauses{0};
    bool mReadingPaused = false;
    QTimer mResumeTimer;
    // Pause reports: at most one a second, with the pauses since the last one.
    QElapsedTimer mSincePauseReport;
    ULONG mPausesNotReported = 0;
};
