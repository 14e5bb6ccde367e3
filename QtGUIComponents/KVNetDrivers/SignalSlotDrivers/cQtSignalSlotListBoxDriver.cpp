#include "QtGUIComponents/KVNetDrivers/SignalSlotDrivers/cQtSignalSlotListBoxDriver.h"

#include "KVNet/Core/KVNetSystem.h"
#include "KVNet/QT/Trace/KVNetReports.h"

#include <algorithm>

namespace
{

constexpr int MAX_STEP = cQtSignalSlotListBoxDriver::POSITION_PER_INDEX;
constexpr int STEP_PER_ENTRY = 3;

} // namespace

cQtSignalSlotListBoxDriver::cQtSignalSlotListBoxDriver(QObject* parent, const char* name,
                                                       const QList<UBYTE>& values, UBYTE readPeriod)
    : cQtSwitchDriverBase(readPeriod, parent)
{
    for (int i = 0; i < values.size(); ++i)
    {
        mEntries[i] = values[i];
    }
    SetCurrentIndex(0);
    if (name != nullptr)
    {
        setNetObjectName(QString::fromLocal8Bit(name));
    }
}

cQtSignalSlotListBoxDriver::~cQtSignalSlotListBoxDriver()
{
    DestroyAudioObject();
}

int cQtSignalSlotListBoxDriver::currentIndex() const
{
    return IndexOfValue(GetCachedValue());
}

void cQtSignalSlotListBoxDriver::AppendValue(UBYTE value)
{
    cRegistryLocker lock;
    const int index = mEntries.empty() ? 0 : mEntries.rbegin()->first + 1;
    mEntries[index] = value;
}

void cQtSignalSlotListBoxDriver::ClearValues()
{
    cRegistryLocker lock;
    mEntries.clear();
}

int cQtSignalSlotListBoxDriver::GetEntryCount() const
{
    return int(mEntries.size());
}

const char* cQtSignalSlotListBoxDriver::GetNetObjectName() const
{
    return GetAudioObject() != nullptr ? GetAudioObjectName() : nullptr;
}

void cQtSignalSlotListBoxDriver::SetCurrentIndex(int Index)
{
    const auto entry = mEntries.find(Index);
    const UBYTE target = entry != mEntries.end() ? entry->second : UBYTE(0);
    if (target == GetCachedValue())
    {
        return;
    }
    StoreValue(target);
    SetPosition(IndexOfValue(target) * POSITION_PER_INDEX);
    emit CurrentIndexChanged();
}

void cQtSignalSlotListBoxDriver::SetValue(int arg)
{
    if (arg < 0 || arg > 0xFF)
    {
        KV_REPORT_ERROR("List box value %d is out of range 0..255 for \"%s\"", arg, GetAudioObjectName());
        return;
    }
    if (arg == int(GetCachedValue()) || mEntries.empty())
    {
        return;
    }
    const int index = IndexOfValue(UBYTE(arg));
    if (index < 0)
    {
        return;
    }
    StoreValue(UBYTE(arg));
    SetPosition(index * POSITION_PER_INDEX);
    emit ValueChanged(arg);
}

void cQtSignalSlotListBoxDriver::SetValue(UBYTE value)
{
    StoreValue(value);
    SetPosition(IndexOfValue(value) * POSITION_PER_INDEX);
    emit ValueChanged(value);
    emit CurrentIndexChanged();
}

void cQtSignalSlotListBoxDriver::ApplySwitchDelta(UWORD delta)
{
    const int entries = int(mEntries.size());
    if (entries == 0)
    {
        SetCurrentIndex(0);
        return;
    }
    const int step = entries == 1 ? 1 : std::min(STEP_PER_ENTRY * (entries - 1), MAX_STEP);
    // In int: neither the product nor the sum may wrap, or a large step would reverse.
    const int position = GetPosition() + step * int(SWORD(delta));
    const int last = (entries - 1) * POSITION_PER_INDEX;
    if (position > last)
    {
        SetPosition(last);
        SetCurrentIndex(entries - 1);
    }
    else if (position < 0)
    {
        SetPosition(0);
        SetCurrentIndex(0);
    }
    else
    {
        SetPosition(position);
        SetCurrentIndex((position + POSITION_PER_INDEX / 2) / POSITION_PER_INDEX);
    }
}

int cQtSignalSlotListBoxDriver::IndexOfValue(UBYTE value) const
{
    for (const auto& entry : mEntries)
    {
        if (entry.second == value)
        {
            return entry.first;
        }
    }
    return -1;
}
