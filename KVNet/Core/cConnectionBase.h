#pragma once

#include "KVNet/Core/KVNetTypes.h"
#include "KVNet/Core/cKVNetMessage.h"

#include <memory>

// The frame reader of a framework connection (frame layouts in KVNetFrames.h). A transport
// feeds it whatever bytes it received; it reassembles frames split over several calls, counts
// and skips bytes outside frames, resynchronises after a damaged frame, and hands every
// complete message frame (versions 1 and 2) to KVNetMessageReceived and every complete util
// frame to UtilFrameReceived. Every kind of frame is accepted on every connection.
//
// Everything here arrives from the network and is untrusted: positions and sizes are 32-bit,
// a frame's length field is bounded by its 16 bits, and an empty util frame is dropped with a
// report (nothing reads a payload that is not there).
//
// Threads: one thread at a time (the transport's); not locked.
class cConnectionBase
{
public:
    cConnectionBase();
    virtual ~cConnectionBase();
    cConnectionBase(const cConnectionBase&) = delete;
    cConnectionBase& operator=(const cConnectionBase&) = delete;

    // Feeds received bytes. Any split of a byte stream into calls gives the same result.
    void MessageReceived(const UBYTE* data, ULONG count);

    // A complete message frame; the message is reused for the next frame, so a handler copies
    // what it keeps.
    virtual void KVNetMessageReceived(cKVNetMessage& message) = 0;
    // For the transports' own use: a util payload they recognised.
    virtual void UtilMessageReceived(UBYTE* data, UWORD length) = 0;
    // A complete util frame with at least one payload byte.
    virtual void UtilFrameReceived(UBYTE* data, UWORD length) = 0;

    // Bytes skipped outside frames, and complete message frames read, since construction.
    ULONG GetStrayBytes() const { return mStrayBytes; }
    ULONG GetFramesReceived() const { return mFramesReceived; }
    UWORD GetConnectionId() const { return mConnectionId; }

protected:
    // The connection this reader serves; 0xFFFF until a transport sets it.
    UWORD mConnectionId = KV_NET_NO_CONNECTION;

private:
    enum eReceivingMessageType : ULONG
    {
        RECEIVING_IDLE = 0,
        RECEIVING_V1 = 1,
        RECEIVING_UTIL = 2,
        RECEIVING_V2 = 3,
    };

    // Reads from data while a frame is in progress; returns the bytes used. Sets the state back
    // to idle when the frame ends (well or badly); a bad end byte is not used.
    ULONG ContinueFrame(const UBYTE* data, ULONG count);
    void HeaderComplete();
    void EndByte(UBYTE byte);
    ULONG HeaderSize() const;
    void EnsureUtilBuffer();

    ULONG mReceivingMessageType = RECEIVING_IDLE;
    // Bytes of the current frame read after its start byte.
    ULONG mPosition = 0;
    // The frame's header while it is read (version 2 has the longest: 18 bytes).
    UBYTE mHeader[18] = {};
    // The frame's payload length once its header is complete.
    ULONG mLength = 0;
    cKVNetMessage mReceivedMessage;
    std::unique_ptr<UBYTE[]> mUtilBuffer;
    ULONG mUtilCapacity = 0;
    ULONG mStrayBytes = 0;
    ULONG mFramesReceived = 0;
};
