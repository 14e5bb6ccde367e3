#pragma once

#include "CorvoGUI/Core/Serial/SerialProtocol.h"
#include "CorvoGUI/Core/Serial/cSerialFrameParser.h"

#include <QString>
#include <mutex>

// What the device's replies carry (version text, meter block, filter table, control-strip and
// delay blocks) and the handshake flags with which the connection state machine runs.
// The action-tick thread handles replies and sets the flags; the Get operations copy a whole
// block out under the lock and may be called from any thread, so a reader never sees a block
// half-written.
class cSerialDeviceData
{
public:
    enum eReplyResult
    {
        REPLY_STORED,
        REPLY_IGNORED,      // acknowledgements, unused or unknown commands, surplus table records
        REPLY_WRONG_LENGTH, // a data reply whose payload length is not the protocol's
    };

    // Clears every block, flag and count; linkOpen tells the readers whether a port is open.
    // Called on every open and close of the port.
    void Reset(bool linkOpen);

    // Stores what a reply carries. A wrong length changes nothing.
    eReplyResult HandleReply(const sSerialFrame& frame);

    // Handshake flags (action-tick thread).
    void SetRequestOutstanding(bool outstanding);
    bool IsRequestOutstanding() const;
    void SetPollOutstanding(bool outstanding);
    bool IsPollOutstanding() const;
    bool HasVersion() const;
    bool ControlStripsReceived() const;
    bool DelaysReceived() const;
    int FilterRecordCount() const;
    bool IsSetupComplete() const;
    int MissCount() const;
    // One call of the meter poll while a poll is outstanding: counts a tick of waiting; when the
    // count taken was above waitLimit the poll is missed: poll outstanding cleared, the wait count
    // restarted and the miss count raised (up to missLimit). Returns true for a miss.
    bool CountMeterWait(int waitLimit, int missLimit);
    // Replies that moved the handshake on (version, strips, delays, table records); the state
    // machine watches it for its handshake time-out.
    quint64 HandshakeProgress() const;

    // Copies for any thread. Each returns false (and leaves the argument) when there is nothing:
    // the meter block while no port is open, the other blocks until they have arrived (the filter
    // table until all its records have).
    bool GetMeterBlock(sMeterBlock& block) const;
    // The same, with the count of meter replies handled since construction (never reset, so a
    // reader that sees it change knows a new block came, also across a reconnect).
    bool GetMeterBlock(sMeterBlock& block, quint64& replyCount) const;
    bool GetFilterTable(sFilterTable& table) const;
    bool GetControlStripBlock(sControlStripBlock& block) const;
    bool GetDelayBlock(sDelayBlock& block) const;
    // "V<major>.<minor>", or empty before the version reply.
    QString GetVersionText() const;
    // The first byte of the last command-1 reply (its meaning is the device's).
    UBYTE GetCommand1Byte() const;
    bool IsLinkOpen() const;

private:
    mutable std::mutex mMutex;
    bool mLinkOpen = false;
    QString mVersionText;
    UBYTE mCommand1Byte = 0;
    sMeterBlock mMeterBlock{};
    sFilterTable mFilterTable{};
    int mFilterRecordCount = 0;
    sControlStripBlock mControlStrips{};
    sDelayBlock mDelays{};
    bool mControlStripsReceived = false;
    bool mDelaysReceived = false;
    bool mPollOutstanding = false;
    bool mRequestOutstanding = false;
    int mMissCount = 0;
    int mMeterWaitCount = 0;
    quint64 mHandshakeProgress = 0;
    quint64 mMeterReplies = 0;
};
