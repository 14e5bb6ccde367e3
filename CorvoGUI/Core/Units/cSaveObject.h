#pragma once

#include <QtGlobal>

#include <string>
#include <vector>

class QDataStream;
struct sFieldDomain;
class cSaveObjectRegistry;

// Outcome of a sync from the device.
enum eSyncResult
{
    // The object took the device's values.
    SYNC_DONE,
    // The device's data for this object has not arrived yet; the object kept its values.
    SYNC_SKIPPED,
};

// The save interface of everything that goes into a saves file (every unit and the parametric
// EQ gang). An object registers with the saves manager at construction, so the records of a
// saves file follow the construction order, and leaves it at destruction. A class is its net
// object base first and cSaveObject second.
//
// Threads: constructed and destroyed on the GUI thread; SaveData, CheckRecord, RecallData, SyncData
// and CompleteSync run on the syscall thread, one at a time (the saves manager's mutex). An object
// must not be destroyed while one of its operations may run (the units are destroyed only after the
// syscall thread has stopped).
class cSaveObject
{
public:
    static constexpr int MAX_NAME_LENGTH = 63;

    // Copies the name (cut to 63 characters; null gives "") and registers with the registry
    // when one is given.
    cSaveObject(const char* name, cSaveObjectRegistry* registry);
    // Leaves the registry it is still registered with.
    virtual ~cSaveObject();
    cSaveObject(const cSaveObject&) = delete;
    cSaveObject& operator=(const cSaveObject&) = delete;

    // Writes the object's record into the stream. The default writes nothing and reports
    // "SaveData not implemented! (<name>)".
    virtual void SaveData(QDataStream* stream);
    // Reads the object's whole record from the stream and checks that every field is within its
    // domain (sFieldDomain: flags 0 or 1, known types, gains from minus infinity up; a value that
    // stands for the lowest, as a gain of -32768, is taken as it and noted, see TakeReadAsNotes),
    // changing nothing. False, reported with the field, when the record cannot be read whole or a
    // field is out of its domain. The saves manager checks every record of a file before it recalls
    // any. The default reads nothing and returns true.
    virtual bool CheckRecord(QDataStream* stream);
    // Reads the object's whole record from the stream, and only when it passes CheckRecord's
    // checks applies it: stores and publishes what changed and queues what the device needs.
    // Returns false, having changed nothing, otherwise. The default reads nothing, reports
    // "RecallData not implemented! (<name>)" and returns true.
    virtual bool RecallData(QDataStream* stream);
    // Takes the device's values for this object, publishing what changed. Returns SYNC_SKIPPED,
    // changing nothing, while the device's data for it has not arrived. The default reports
    // "SyncData not implemented! (<name>)" and returns SYNC_SKIPPED.
    virtual eSyncResult SyncData();
    // The end of a sync, once the link runs after it (records offered while the link syncs are
    // dropped): sends each of the object's device records that the device does not hold as the
    // object sends it, so that the device plays what the window shows; nothing when the device holds
    // every record so. The default sends nothing.
    virtual void CompleteSync();

    // The recalled fields read as another value since the last call, each once, as "<field> <value
    // held> read as <value taken>" (for example "band gain -32768 read as minus infinity"), then
    // forgotten. The saves manager says them once per file.
    std::vector<std::string> TakeReadAsNotes();

    const char* GetSaveName() const { return mSaveName; }
    cSaveObjectRegistry* GetRegistry() const { return mRegistry; }
    // Called by a registry that goes away before the object: the object no longer leaves it.
    void ForgetRegistry() { mRegistry = nullptr; }

protected:
    // For record readers: false, reported, when the stream is null or did not give every field
    // (status not Ok).
    bool RecordReadWhole(const QDataStream* stream) const;
    // A saved field read through its domain: true when the value is inside it, or stands for its
    // lowest (then `value` becomes the lowest, noted for TakeReadAsNotes); else false, reported
    // (naming the field).
    bool ReadSavedField(const sFieldDomain& domain, long long& value, const char* field) const;
    // A saved value taken as another one (a type the window cannot show read as the band's default,
    // for example): noted once for TakeReadAsNotes as "<field> <value held> read as <taken>".
    void NoteReadAs(const std::string& field, long long held, const std::string& taken) const;
    // A flag saved as a bool: true when the byte is 0 or 1, else reported (naming the field).
    bool SavedFlagValid(qint8 byte, const char* field) const;
    // Reports a field outside its domain and returns false.
    bool RefuseSavedField(const char* field, long long value) const;
    // A value of `field` from the device, brought into its domain (sFieldDomain::BringIn with the
    // object's current value). A value outside is reported once, as "<name>: <field> <value> from
    // the device is out of range, taken as <value taken>", unless the device means it so (a flag's
    // nonzero is on: sFieldDomain::OutsideIsNoFault).
    long long FromDevice(const sFieldDomain& domain, long long value, long long current,
                         const std::string& field) const;

private:
    char mSaveName[MAX_NAME_LENGTH + 1];
    cSaveObjectRegistry* mRegistry;
    // Noted by the record readers, which are const; each note once.
    mutable std::vector<std::string> mReadAsNotes;
};
