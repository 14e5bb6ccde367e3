#pragma once

#include "CorvoGUI/Core/Serial/SerialProtocol.h"

#include <array>

// One frame taken from the line.
struct sSerialFrame
{
    UBYTE mCommand = 0;
    ULONG mLength = 0;
    std::array<UBYTE, nSerialProtocol::MAX_PAYLOAD> mPayload{};
};

// Turns the bytes of the serial line into frames. Bytes are fed as they come, in chunks of any
// size; Next answers one result at a time: incomplete (more bytes are needed), a frame, or bad
// with a reason. Bytes before a preamble are discarded (bad, garbage); a header whose length
// exceeds the payload limit is refused (bad, length too large) and the scan restarts at the
// byte after that false start, so no run of garbage can misalign later frames.
// Not thread-safe: one thread feeds and reads (the action-tick thread in the program).
class cSerialFrameParser
{
public:
    static constexpr int CAPACITY = 4096;

    enum eResult
    {
        PARSE_INCOMPLETE,
        PARSE_FRAME,
        PARSE_BAD,
    };

    enum eBadReason
    {
        BAD_NONE,
        BAD_GARBAGE,          // bytes before a preamble were dropped
        BAD_LENGTH_TOO_LARGE, // a header announced more than the payload limit
    };

    // Space left for Feed.
    int FreeSpace() const;
    // Takes up to FreeSpace bytes; returns the number taken.
    int Feed(const UBYTE* data, int length);
    // The next result. On PARSE_FRAME the frame is filled; on PARSE_BAD the reason and the
    // number of bytes dropped are kept for LastBadReason and LastDiscarded.
    eResult Next(sSerialFrame& frame);
    eBadReason LastBadReason() const { return mLastBadReason; }
    int LastDiscarded() const { return mLastDiscarded; }
    // Bytes held that have not yet made a frame.
    int Pending() const { return mEnd - mStart; }
    // Drops every held byte (a port opened or closed).
    void Reset();

    static const char* BadReasonText(eBadReason reason);

private:
    eResult Discard(int count, eBadReason reason);
    int FindPreamble() const;

    std::array<UBYTE, CAPACITY> mBuffer{};
    int mStart = 0;
    int mEnd = 0;
    eBadReason mLastBadReason = BAD_NONE;
    int mLastDiscarded = 0;
};
