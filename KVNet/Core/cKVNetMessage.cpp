#include "KVNet/Core/cKVNetMessage.h"

#include "KVNet/Core/KVByteOrder.h"
#include "KVNet/QT/Trace/KVNetReports.h"

#include <QByteArray>

#include <algorithm>
#include <cstring>

using namespace nKVByteOrder;

cKVNetMessage::cKVNetMessage() = default;

cKVNetMessage::cKVNetMessage(UWORD length)
{
    SetLength(length);
}

cKVNetMessage::cKVNetMessage(const cKVNetMessage& other)
    : mConnectionId(other.mConnectionId)
    , mDestination(other.mDestination)
    , mSource(other.mSource)
    , mMethod(other.mMethod)
    , mConnectionSerial(other.mConnectionSerial)
{
    SetLength(other.mLength);
    if (mLength != 0)
    {
        std::memcpy(mData, other.mData, mLength);
    }
}

cKVNetMessage& cKVNetMessage::operator=(const cKVNetMessage& other)
{
    if (this == &other)
    {
        return *this;
    }
    mConnectionId = other.mConnectionId;
    mDestination = other.mDestination;
    mSource = other.mSource;
    mMethod = other.mMethod;
    mConnectionSerial = other.mConnectionSerial;
    SetLength(other.mLength);
    if (mLength != 0)
    {
        std::memcpy(mData, other.mData, mLength);
    }
    return *this;
}

cKVNetMessage::~cKVNetMessage()
{
    delete[] mData;
}

void cKVNetMessage::ResetRead()
{
    mCursor = 0;
    mReadError = false;
}

void cKVNetMessage::SetLength(UWORD length)
{
    if (length > mCapacity)
    {
        delete[] mData;
        mData = new UBYTE[length];
        mCapacity = length;
    }
    mLength = length;
}

bool cKVNetMessage::GrowCapacity(UWORD length)
{
    if (length > mCapacity)
    {
        ULONG step = mCapacity < 128 ? 32u : ULONG(mCapacity) / 4u;
        ULONG grown = std::min<ULONG>(ULONG(mCapacity) + step, MAX_LENGTH);
        SetCapacity(UWORD(std::max<ULONG>(length, grown)));
    }
    mLength = length;
    return length != 0;
}

void cKVNetMessage::SetCapacity(UWORD capacity)
{
    capacity = std::max(capacity, mLength);
    UBYTE* data = capacity != 0 ? new UBYTE[capacity] : nullptr;
    if (mLength != 0)
    {
        std::memcpy(data, mData, mLength);
    }
    delete[] mData;
    mData = data;
    mCapacity = capacity;
}

void cKVNetMessage::EnsureCapacity(UWORD capacity)
{
    if (mCapacity < capacity)
    {
        SetCapacity(capacity);
    }
}

void cKVNetMessage::AdoptBuffer(UBYTE* buffer, UWORD length, bool freeOld)
{
    if (freeOld)
    {
        delete[] mData;
    }
    mData = buffer;
    mCapacity = buffer != nullptr ? length : 0;
    mLength = mCapacity;
    ResetRead();
}

bool cKVNetMessage::SetMinAppendCapacity(KV_NET_DATA_SCALE n)
{
    ULONG needed = ULONG(mLength) + n;
    if (needed > MAX_LENGTH)
    {
        KV_REPORT_ERROR("cKVNetMessage::SetMinAppendCapacity exceeded maximum length for single message");
        return false;
    }
    if (needed > mCapacity)
    {
        SetCapacity(UWORD(needed));
    }
    return true;
}

bool cKVNetMessage::CheckStore(ULONG offset, ULONG size, const char* function)
{
    if (Fits(offset, size))
    {
        return true;
    }
    ReportError(__FILE__, __LINE__, function,
                "cKVNetMessage store of %lu bytes at offset %lu beyond length %u",
                static_cast<unsigned long>(size), static_cast<unsigned long>(offset), unsigned(mLength));
    return false;
}

bool cKVNetMessage::SetUBYTE(UBYTE value, UWORD offset)
{
    if (!CheckStore(offset, 1, Q_FUNC_INFO))
    {
        return false;
    }
    mData[offset] = value;
    return true;
}

bool cKVNetMessage::SetUWORD(UWORD value, UWORD offset)
{
    if (!CheckStore(offset, 2, Q_FUNC_INFO))
    {
        return false;
    }
    StoreBig16(mData + offset, value);
    return true;
}

bool cKVNetMessage::SetDataScale(KV_NET_DATA_SCALE value, UWORD offset)
{
    return SetUWORD(value, offset);
}

bool cKVNetMessage::SetULONG(ULONG value, UWORD offset)
{
    if (!CheckStore(offset, 4, Q_FUNC_INFO))
    {
        return false;
    }
    StoreBig32(mData + offset, value);
    return true;
}

const char* cKVNetMessage::SetString(const char* text, UWORD offset)
{
    if (text == nullptr)
    {
        text = "";
    }
    ULONG size = ULONG(std::strlen(text)) + 1;
    if (!CheckStore(offset, size, Q_FUNC_INFO))
    {
        return nullptr;
    }
    std::memcpy(mData + offset, text, size);
    return reinterpret_cast<const char*>(mData + offset);
}

bool cKVNetMessage::SetQString(const QString& text, UWORD offset)
{
    QByteArray utf8 = text.toUtf8();
    return SetString(utf8.constData(), offset) != nullptr;
}

UBYTE cKVNetMessage::GetUBYTE(UWORD offset) const
{
    if (!Fits(offset, 1))
    {
        MarkReadError();
        return 0;
    }
    return mData[offset];
}

UWORD cKVNetMessage::GetUWORD(UWORD offset) const
{
    if (!Fits(offset, 2))
    {
        MarkReadError();
        return 0;
    }
    return LoadBig16(mData + offset);
}

KV_NET_DATA_SCALE cKVNetMessage::GetDataScale(UWORD offset) const
{
    return GetUWORD(offset);
}

ULONG cKVNetMessage::GetULONG(UWORD offset) const
{
    if (!Fits(offset, 4))
    {
        MarkReadError();
        return 0;
    }
    return LoadBig32(mData + offset);
}

long cKVNetMessage::TextLength(UWORD offset) const
{
    if (offset >= mLength)
    {
        return -1;
    }
    const void* end = std::memchr(mData + offset, '\0', mLength - offset);
    if (end == nullptr)
    {
        return -1;
    }
    return static_cast<const UBYTE*>(end) - (mData + offset);
}

const char* cKVNetMessage::GetString(UWORD offset) const
{
    if (TextLength(offset) < 0)
    {
        MarkReadError();
        return "";
    }
    return reinterpret_cast<const char*>(mData + offset);
}

bool cKVNetMessage::AppendUBYTE(UBYTE value)
{
    if (!SetMinAppendCapacity(1))
    {
        return false;
    }
    mData[mLength] = value;
    mLength = UWORD(mLength + 1);
    return true;
}

bool cKVNetMessage::AppendUWORD(UWORD value)
{
    if (!SetMinAppendCapacity(2))
    {
        return false;
    }
    StoreBig16(mData + mLength, value);
    mLength = UWORD(mLength + 2);
    return true;
}

bool cKVNetMessage::AppendDataScale(KV_NET_DATA_SCALE value)
{
    return AppendUWORD(value);
}

bool cKVNetMessage::AppendULONG(ULONG value)
{
    if (!SetMinAppendCapacity(4))
    {
        return false;
    }
    StoreBig32(mData + mLength, value);
    mLength = UWORD(mLength + 4);
    return true;
}

const char* cKVNetMessage::AppendString(const char* text)
{
    if (text == nullptr)
    {
        text = "";
    }
    std::size_t size = std::strlen(text) + 1;
    if (size > MAX_LENGTH || !SetMinAppendCapacity(KV_NET_DATA_SCALE(size)))
    {
        if (size > MAX_LENGTH)
        {
            KV_REPORT_ERROR("cKVNetMessage::SetMinAppendCapacity exceeded maximum length for single message");
        }
        return nullptr;
    }
    UBYTE* copy = mData + mLength;
    std::memcpy(copy, text, size);
    mLength = UWORD(mLength + size);
    return reinterpret_cast<const char*>(copy);
}

bool cKVNetMessage::AppendQString(const QString& text)
{
    QByteArray utf8 = text.toUtf8();
    return AppendString(utf8.constData()) != nullptr;
}

bool cKVNetMessage::AppendBytes(const void* bytes, UWORD count)
{
    if (count == 0)
    {
        return true;
    }
    if (bytes == nullptr || !SetMinAppendCapacity(count))
    {
        return false;
    }
    std::memcpy(mData + mLength, bytes, count);
    mLength = UWORD(mLength + count);
    return true;
}

UBYTE cKVNetMessage::ReadUBYTE()
{
    UBYTE value = GetUBYTE(mCursor);
    if (Fits(mCursor, 1))
    {
        mCursor = UWORD(mCursor + 1);
    }
    return value;
}

UWORD cKVNetMessage::ReadUWORD()
{
    UWORD value = GetUWORD(mCursor);
    if (Fits(mCursor, 2))
    {
        mCursor = UWORD(mCursor + 2);
    }
    return value;
}

KV_NET_DATA_SCALE cKVNetMessage::ReadDataScale()
{
    return ReadUWORD();
}

ULONG cKVNetMessage::ReadULONG()
{
    ULONG value = GetULONG(mCursor);
    if (Fits(mCursor, 4))
    {
        mCursor = UWORD(mCursor + 4);
    }
    return value;
}

const char* cKVNetMessage::ReadString()
{
    long length = TextLength(mCursor);
    if (length < 0)
    {
        MarkReadError();
        return "";
    }
    const char* text = reinterpret_cast<const char*>(mData + mCursor);
    mCursor = UWORD(mCursor + length + 1);
    return text;
}

QString cKVNetMessage::ReadQString()
{
    long length = TextLength(mCursor);
    if (length < 0)
    {
        MarkReadError();
        return QString();
    }
    QString text = QString::fromUtf8(reinterpret_cast<const char*>(mData + mCursor), int(length));
    mCursor = UWORD(mCursor + length + 1);
    return text;
}

ULONG cKVNetMessage::QStringPayloadSize(const QString& text)
{
    return ULONG(text.toUtf8().size()) + 1;
}
