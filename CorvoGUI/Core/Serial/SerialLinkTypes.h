#pragma once

#include "KVNet/Core/KVNetTypes.h"

#include <QtGlobal>

// The serial link's state, as the user interface shows it.
enum eConnectionState : int
{
    CONNECTION_STATE_IDLE = 0,          // port closed
    CONNECTION_STATE_PORT_OPEN = 1,     // waiting for the version reply
    CONNECTION_STATE_CONNECTED = 2,     // meter polling and record sending
    CONNECTION_STATE_GETTING_SYNC = 3,  // reading the device's strips, delays and filter table
    CONNECTION_STATE_SYNCING = 4,       // the device's state is complete; waiting for confirmation
    CONNECTION_STATE_NO_REPLY = 5,      // the meter polls went unanswered
    CONNECTION_STATE_DISCONNECTING = 6, // disconnect requested while records are still queued
};

// Error codes of the link, read and cleared by cSerialInterface::TakeLastError.
enum eSerialErrorEvent : ULONG
{
    ERROR_EVENT_NONE = 0,
    ERROR_EVENT_CONNECTION_FAILED_DEVICE_IN_USE = 1,
    ERROR_EVENT_DEVICE_NOT_FOUND = 2,
    ERROR_EVENT_TIMEOUT_ERROR = 3,
};

// The link's waits. The defaults are the program's; tests pass shorter ones.
struct sSerialLinkTimings
{
    int mWriteWaitMs = 5000;          // longest wait for a write (and for the flush at close)
    int mWritePauseUs = 1000;         // pause after every write
    int mMeterWaitTicks = 50;         // a poll counts as missed once the wait count taken exceeds it
    int mMissesForNoReply = 10;       // missed polls in a row that make the link "no reply"
    int mHandshakeTimeoutTicks = 250; // ticks without handshake progress before a time-out; 0: never
};

// Running totals of the link, for diagnostics and benchmarks.
struct sSerialLinkStatistics
{
    quint64 mBytesWritten = 0;
    quint64 mBytesRead = 0;
    quint64 mFramesWritten = 0;
    quint64 mRepliesHandled = 0;
    quint64 mBadFrames = 0;
    quint64 mWrongLengthReplies = 0;
    quint64 mBytesDropped = 0;     // input beyond what a tick takes
    quint64 mLargestBytesHeld = 0; // the most input held (port buffer and parser) at a tick's start
    quint64 mLargestFilterQueue = 0;
    quint64 mLargestControlStripQueue = 0;
    quint64 mLargestDelayQueue = 0;
};
