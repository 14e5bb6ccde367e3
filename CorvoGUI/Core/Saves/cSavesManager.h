#pragma once

#include "CorvoGUI/Core/Saves/SavesFailure.h"
#include "CorvoGUI/Core/Units/cSaveObjectRegistry.h"
#include "KVNet/Core/KVNetMethods.h"
#include "KVNet/Core/cNetObject.h"

#include <QString>
#include <QtGlobal>

#include <mutex>
#include <string>
#include <vector>

class QDataStream;
class cSaveObject;

// Saves the whole device model to an enciphered saves file, recalls it, and syncs the model from
// the device, driving the registered save objects in registration (construction) order.
//
// Parameters (requests arrive as messages; each answer goes to the parameter's inform list as one
// UBYTE, 1 for success; a failed save or recall adds a second UBYTE, its eSavesFailure):
//   4096 save:   NUL-terminated file path (empty: the last target, first the default "Save.cfg")
//   4097 recall: NUL-terminated file path (empty: the last source)
//   4098 sync:   no payload; always answered 1
// and one method of its own, M_COMPLETE_SYNC (no payload, no answer): the serial connection driver's
// word that the link runs after the sync's confirmation. The first after a sync has every object send
// the records the device does not hold as the object sends them (cSaveObject::CompleteSync): what the
// sync did not take as the device held it could not reach the device while the link synced. Without a
// sync before it, it sends nothing.
// Save, recall and completion requests are accepted only from the local system (connection 0): a
// request from a framework connection is reported and refused, with no answer. A path without its NUL
// inside the payload is reported and answered 0 (not written, or not read).
//
// Saves file: the plain stream (QDataStream version 19, big-endian) of qint16 magic 0x885B,
// qint8 version 3, every object's record, qint16 trailer 0xC2BA, enciphered (cSavesFileCipher).
//
// A save writes beside the target and replaces it only when the whole stream was written and
// enciphered: a failed save (reported) leaves the old file as it was. A recall is all or nothing:
// it refuses, before opening it, anything that is not a regular file and any file larger than this
// model's saves file; it reads and deciphers the whole file in memory and checks the magic and
// version ("Save file error: incompatible file"), every object's record with its fields in their
// domains, the trailer where the model expects it and nothing after it but the cipher's zero padding
// ("Save file error: potential corruption", then what failed). Only then are the records applied.
// A file that fails any check changes nothing. The answer is 1 only when the file was applied. A
// field whose value stands for its domain's lowest (sFieldDomain::StandsForLowest: a gain of -32768,
// as earlier versions wrote a device's 0x8000) is no failure: it is taken as the lowest, and said once
// for the file as a notification "Recalled <file>: <field> <value> read as <lowest> (<objects>)". So is
// a value that earlier versions stored and the window cannot show (a band type the band's switch does
// not offer, a slope the filter does not offer): it is read as the object's default.
//
// Threads: constructed and destroyed on the GUI thread. Requests run on the syscall thread
// (message delivery, under the registry lock); the mutex serialises save, recall, sync and the
// registration of save objects. A save object's operation must not register or unregister a save
// object.
class cSavesManager : public cNetObject, public cSaveObjectRegistry
{
public:
    static constexpr const char* NAME = "Saves Manager NetObject";
    static constexpr KV_NET_DATA_SCALE NUMBER_OF_PARAMETERS = 3;
    static constexpr KV_NET_DATA_SCALE P_SAVE = PARAMETER_BASE;
    static constexpr KV_NET_DATA_SCALE P_RECALL = PARAMETER_BASE + 1;
    static constexpr KV_NET_DATA_SCALE P_SYNC = PARAMETER_BASE + 2;
    static constexpr KV_NET_DATA_SCALE M_COMPLETE_SYNC = NON_PARAMETER_BASE;

    static constexpr qint16 FILE_MAGIC = qint16(0x885B);
    static constexpr qint8 FILE_VERSION = 3;
    static constexpr qint16 FILE_TRAILER = qint16(0xC2BA);
    static constexpr int STREAM_VERSION = 19;

    // Registers "Saves Manager NetObject", creates the SaveData folder when missing and keys the
    // cipher. Target and source start on the default saves file.
    cSavesManager();
    // Unregisters; save objects still registered forget this manager.
    ~cSavesManager() override;

    // cSaveObjectRegistry: GUI thread (object construction and destruction).
    void RegisterSaveObject(cSaveObject* object) override;
    void UnregisterSaveObject(cSaveObject* object) override;

    // 4096 save, 4097 recall, 4098 sync, M_COMPLETE_SYNC; every other method goes to cNetObject.
    void EntrypointMessage(cKVNetMessage& message) override;
    // 4096: last setup succeeded; 4097: last setup succeeded and last recall valid; 4098: 0.
    void UpdateNewObject(UWORD connectionId, KV_NET_DATA_SCALE handle, KV_NET_DATA_SCALE destinationMethod,
                         KV_NET_DATA_SCALE sourceMethod) override;

    // Save to path (empty: the current target) and answer 4096. True when the file was written.
    bool StartSave(const QString& path);
    // Recall from path (empty: the current source) and answer 4097. True when the whole file was
    // read and valid.
    bool StartRecall(const QString& path);
    // Every object's SyncData, then the answer 1 on 4098. Objects without device data are skipped
    // (reported as a notification).
    void SyncAll();
    // After a SyncAll, once: every object's CompleteSync, in registration order. Nothing otherwise.
    void CompleteSync();
    // Sends one UBYTE (ok) as parameter id to its inform list.
    void ReportResult(KV_NET_DATA_SCALE id, bool ok);
    // The answer to a save or recall: ReportResult's byte, and after a 0 the failure.
    void ReportOutcome(KV_NET_DATA_SCALE id, eSavesFailure failure);

    QString GetTargetPath() const;
    QString GetSourcePath() const;
    bool LastSetupSucceeded() const;
    bool LastRecallValid() const;
    int GetNumberOfSaveObjects() const;

private:
    bool Save(const QString& path);
    eSavesFailure Recall(const QString& path);
    bool WriteSaveStream(QDataStream& stream);
    // The size of this model's saves file: a larger file is no saves file of it.
    qint64 MaximumFileSize();
    // Magic and version, every object's record (CheckRecord), the trailer where the model expects
    // it, then nothing but the cipher's zero padding. False, reported, at the first check that fails.
    bool CheckSaveStream(const QByteArray& plain);
    // Every object's RecallData, in registration order, from a checked stream.
    void ApplySaveStream(const QByteArray& plain);
    // The fields the objects' records read as another value (cSaveObject::TakeReadAsNotes), taken
    // from every object: each note once with the objects that held it; empty when there were none.
    std::string TakeReadAsNotes();
    // The one place that decides who may name a file: only the local system (connection 0). A
    // request from a framework connection is reported and refused.
    static bool AcceptsPathRequest(const cKVNetMessage& message);
    // The request's path, decoded as file names are encoded; false (reported) when the payload
    // holds no NUL.
    bool RequestPath(const cKVNetMessage& message, QString& path) const;

    QString mTargetPath;
    QString mSourcePath;
    std::vector<cSaveObject*> mSaveObjects;
    mutable std::mutex mMutex;
    bool mLastSetupSucceeded = true;
    bool mLastRecallValid = true;
    bool mSyncToComplete = false; // a SyncAll ran and no CompleteSync since
};
