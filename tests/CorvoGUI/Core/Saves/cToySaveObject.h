#pragma once

#include "CorvoGUI/Core/Units/cAudioObject.h"
#include "CorvoGUI/Core/Units/cSaveObject.h"

#include <QByteArray>
#include <QDataStream>

// A unit as the saves manager sees it: three values in a record of bool, qint16 and qint32 (plus
// optional filler bytes), recalled whole or not at all, each change published once. Its device
// data, for a sync, is absent until set; it counts the completions of syncs.
class cToySaveObject : public cAudioObject, public cSaveObject
{
public:
    static constexpr KV_NET_DATA_SCALE P_FLAG = PARAMETER_BASE;
    static constexpr KV_NET_DATA_SCALE P_VALUE = PARAMETER_BASE + 1;
    static constexpr KV_NET_DATA_SCALE P_WIDE = PARAMETER_BASE + 2;

    struct sValues
    {
        bool mFlag = false;
        qint16 mValue = 0;
        qint32 mWide = 0;
        bool operator==(const sValues& other) const
        {
            return mFlag == other.mFlag && mValue == other.mValue && mWide == other.mWide;
        }
    };

    cToySaveObject(const char* name, cSaveObjectRegistry* registry, int fillerBytes = 0)
        : cAudioObject(name, 3, false)
        , cSaveObject(name, registry)
        , mFillerBytes(fillerBytes)
    {
    }
    ~cToySaveObject() override { Unregister(); }

    void SaveData(QDataStream* stream) override
    {
        *stream << mValues.mFlag << mValues.mValue << mValues.mWide;
        const QByteArray filler(mFillerBytes, char(0xAA));
        stream->writeRawData(filler.constData(), filler.size());
    }

    bool CheckRecord(QDataStream* stream) override
    {
        sValues read;
        return Read(stream, read);
    }

    bool RecallData(QDataStream* stream) override
    {
        sValues read;
        if (!Read(stream, read))
        {
            return false;
        }
        Apply(read);
        return true;
    }

    // The record whole, its flag 0 or 1.
    bool Read(QDataStream* stream, sValues& read) const
    {
        qint8 flag = 0;
        *stream >> flag >> read.mValue >> read.mWide;
        QByteArray filler(mFillerBytes, 0);
        if (stream->readRawData(filler.data(), filler.size()) != filler.size() || !RecordReadWhole(stream) ||
            !SavedFlagValid(flag, "flag"))
        {
            return false;
        }
        read.mFlag = flag != 0;
        return true;
    }

    eSyncResult SyncData() override
    {
        if (!mHasDeviceData)
        {
            return SYNC_SKIPPED;
        }
        Apply(mDeviceValues);
        return SYNC_DONE;
    }

    void CompleteSync() override { ++mCompletions; }

    void Apply(const sValues& values)
    {
        if (values.mFlag != mValues.mFlag)
        {
            mValues.mFlag = values.mFlag;
            PublishUBYTE(P_FLAG, values.mFlag ? 1 : 0);
        }
        if (values.mValue != mValues.mValue)
        {
            mValues.mValue = values.mValue;
            PublishUWORD(P_VALUE, UWORD(values.mValue));
        }
        if (values.mWide != mValues.mWide)
        {
            mValues.mWide = values.mWide;
            PublishUWORD(P_WIDE, UWORD(values.mWide));
        }
    }

    // Links every parameter to the same method of the target (local connection).
    void LinkTo(KV_NET_DATA_SCALE handle)
    {
        for (KV_NET_DATA_SCALE method : {P_FLAG, P_VALUE, P_WIDE})
        {
            AddObjectToInformList(KV_NET_LOCAL_CONNECTION, handle, method, method, 0, 0, false);
        }
    }

    sValues mValues;
    bool mHasDeviceData = false;
    sValues mDeviceValues;
    int mCompletions = 0;

private:
    int mFillerBytes;
};
