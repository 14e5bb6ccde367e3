#pragma once

#include "KVNet/Core/KVNetTypes.h"

#include <QString>

// A framework message: header (connection, destination, source, method) and a byte payload
// whose multi-byte values are big-endian. Used by one thread at a time.
//
// mConnectionSerial is not sent: a message that arrived on a connection carries the serial of
// that connection (the connection layer stamps it), so that the router knows it when it is
// delivered after the connection has ended (cRegistryRouter::DeliverMessage). 0 for every other
// message; a copy keeps it, and the router looks at it only while the connection id is not 0.
//
// Bounds: every read is limited to the payload's length. A read that does not fit yields 0
// (an empty string for texts), leaves the cursor where it was and sets the sticky read error,
// which HasReadError() tells. A store at an offset that does not fit in the length writes
// nothing, reports and returns false. Appends fail with a report beyond 65535 bytes.
class cKVNetMessage
{
public:
    static constexpr ULONG MAX_LENGTH = 0xFFFF;

    cKVNetMessage();
    explicit cKVNetMessage(UWORD length);
    cKVNetMessage(const cKVNetMessage& other);
    // Copies the header and payload; the cursor stays as it was.
    cKVNetMessage& operator=(const cKVNetMessage& other);
    ~cKVNetMessage();

    UWORD mConnectionId = KV_NET_NO_CONNECTION;
    UWORD mDestination = KV_NET_NO_HANDLE;
    UWORD mSource = KV_NET_NO_HANDLE;
    UWORD mMethod = 0;
    ULONG mConnectionSerial = 0;

    UWORD GetLength() const { return mLength; }
    UWORD GetCapacity() const { return mCapacity; }
    UWORD GetCursor() const { return mCursor; }
    void SetCursor(UWORD cursor) { mCursor = cursor; }
    // Cursor to 0 and read error cleared; done before every delivery.
    void ResetRead();
    // True when a read since the last ResetRead() did not fit in the payload.
    bool HasReadError() const { return mReadError; }
    // Bytes left to read at the cursor.
    UWORD Remaining() const { return mCursor < mLength ? UWORD(mLength - mCursor) : UWORD(0); }

    const UBYTE* Data() const { return mData; }
    UBYTE* Data() { return mData; }

    // Sets the length; a length above the capacity reallocates exactly and loses the contents.
    void SetLength(UWORD length);
    // Sets the length keeping the contents, growing the capacity in steps. Returns length != 0.
    bool GrowCapacity(UWORD length);
    // Capacity of exactly n bytes (at least the length), keeping the used bytes.
    void SetCapacity(UWORD capacity);
    void EnsureCapacity(UWORD capacity);
    // Takes over a heap buffer allocated with new[]; frees the old buffer when freeOld is set.
    void AdoptBuffer(UBYTE* buffer, UWORD length, bool freeOld);
    // Room to append n more bytes; false (with a report) past 65535.
    bool SetMinAppendCapacity(KV_NET_DATA_SCALE n);

    bool SetUBYTE(UBYTE value, UWORD offset);
    bool SetUWORD(UWORD value, UWORD offset);
    bool SetDataScale(KV_NET_DATA_SCALE value, UWORD offset);
    bool SetULONG(ULONG value, UWORD offset);
    // Copies text and its NUL into the payload; returns the copy, or null when it does not fit.
    const char* SetString(const char* text, UWORD offset);
    bool SetQString(const QString& text, UWORD offset);

    UBYTE GetUBYTE(UWORD offset) const;
    UWORD GetUWORD(UWORD offset) const;
    KV_NET_DATA_SCALE GetDataScale(UWORD offset) const;
    ULONG GetULONG(UWORD offset) const;
    // The NUL-terminated text at the offset; "" (and the read error) when no NUL ends it inside
    // the payload.
    const char* GetString(UWORD offset) const;

    bool AppendUBYTE(UBYTE value);
    bool AppendUWORD(UWORD value);
    bool AppendDataScale(KV_NET_DATA_SCALE value);
    bool AppendULONG(ULONG value);
    // Returns the copy inside the payload, or null on failure.
    const char* AppendString(const char* text);
    bool AppendQString(const QString& text);
    bool AppendBytes(const void* bytes, UWORD count);

    UBYTE ReadUBYTE();
    UWORD ReadUWORD();
    KV_NET_DATA_SCALE ReadDataScale();
    ULONG ReadULONG();
    const char* ReadString();
    // UTF-8 text up to its NUL.
    QString ReadQString();

    // Bytes a QString takes in a payload: its UTF-8 length and the NUL.
    static ULONG QStringPayloadSize(const QString& text);

private:
    bool Fits(ULONG offset, ULONG size) const { return offset + size <= mLength; }
    bool CheckStore(ULONG offset, ULONG size, const char* function);
    void MarkReadError() const { mReadError = true; }
    // Length of the NUL-terminated text at offset, or -1 when no NUL ends it in the payload.
    long TextLength(UWORD offset) const;

    UWORD mLength = 0;
    UWORD mCapacity = 0;
    UWORD mCursor = 0;
    UBYTE* mData = nullptr;
    mutable bool mReadError = false;
};
