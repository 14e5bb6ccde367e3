#include "CorvoGUI/Core/Saves/cSavesManager.h"

#include "CorvoGUI/Core/Persistence/DataFolders.h"
#include "CorvoGUI/Core/Saves/SavesFileInput.h"
#include "CorvoGUI/Core/Saves/cSavesFileCipher.h"
#include "CorvoGUI/Core/Units/cSaveObject.h"
#include "KVNet/Core/KVNetSystem.h"
#include "KVNet/QT/Trace/KVNetReports.h"

#include <QBuffer>
#include <QByteArray>
#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QTemporaryFile>

#include <algorithm>
#include <cstring>
#include <initializer_list>

namespace
{

void SetUpStream(QDataStream& stream)
{
    stream.setVersion(cSavesManager::STREAM_VERSION);
    stream.setByteOrder(QDataStream::BigEndian);
}

// The error of the first file that is not open.
QString FirstError(std::initializer_list<const QFileDevice*> files)
{
    for (const QFileDevice* file : files)
    {
        if (!file->isOpen())
        {
            return file->errorString();
        }
    }
    return QString();
}

// Copies the whole of `from` (from its start) into `to`.
bool CopyFile(QFile& from, QSaveFile& to)
{
    if (!from.seek(0))
    {
        KV_REPORT_ERROR("Couldn't reset read position on temporary file");
        return false;
    }
    const QByteArray bytes = from.readAll();
    if (bytes.size() != from.size())
    {
        KV_REPORT_ERROR("Read error: only read %d bytes", int(bytes.size()));
        return false;
    }
    if (to.write(bytes) != bytes.size())
    {
        KV_REPORT_ERROR("Failed to write save file %s: %s", qPrintable(to.fileName()),
                        qPrintable(to.errorString()));
        return false;
    }
    return true;
}

} // namespace

cSavesManager::cSavesManager()
    : cNetObject(NAME, NUMBER_OF_PARAMETERS, false, false)
    , mTargetPath(GetSaveFilePath())
    , mSourcePath(GetSaveFilePath())
{
    if (!QDir().mkpath(GetSaveDataPath()))
    {
        KV_REPORT_ERROR("Could not create the SaveData folder %s", qPrintable(GetSaveDataPath()));
    }
    if (!cSavesFileCipher::KeyCipher())
    {
        KV_REPORT_ERROR("Could not key the saves-file cipher");
    }
}

cSavesManager::~cSavesManager()
{
    Unregister();
    std::lock_guard<std::mutex> lock(mMutex);
    for (cSaveObject* object : mSaveObjects)
    {
        object->ForgetRegistry();
    }
    mSaveObjects.clear();
}

void cSavesManager::RegisterSaveObject(cSaveObject* object)
{
    if (object == nullptr)
    {
        return;
    }
    std::lock_guard<std::mutex> lock(mMutex);
    if (std::find(mSaveObjects.begin(), mSaveObjects.end(), object) == mSaveObjects.end())
    {
        mSaveObjects.push_back(object);
    }
}

void cSavesManager::UnregisterSaveObject(cSaveObject* object)
{
    std::lock_guard<std::mutex> lock(mMutex);
    mSaveObjects.erase(std::remove(mSaveObjects.begin(), mSaveObjects.end(), object), mSaveObjects.end());
}

void cSavesManager::EntrypointMessage(cKVNetMessage& message)
{
    switch (message.mMethod)
    {
    case P_SAVE:
    case P_RECALL:
    {
        const bool save = message.mMethod == P_SAVE;
        if (!AcceptsPathRequest(message))
        {
            return;
        }
        QString path;
        if (!RequestPath(message, path))
        {
            ReportOutcome(message.mMethod, save ? SAVES_FAILURE_NOT_WRITTEN : SAVES_FAILURE_NOT_READ);
            return;
        }
        if (save)
        {
            StartSave(path);
        }
        else
        {
            StartRecall(path);
        }
        return;
    }
    case P_SYNC:
        SyncAll();
        return;
    case M_COMPLETE_SYNC:
        if (message.mConnectionId != KV_NET_LOCAL_CONNECTION)
        {
            KV_REPORT_ERROR("Sync completion from connection %d refused: only the local system may ask it",
                            int(message.mConnectionId));
            return;
        }
        CompleteSync();
        return;
    default:
        cNetObject::EntrypointMessage(message);
        return;
    }
}

void cSavesManager::UpdateNewObject(UWORD connectionId, KV_NET_DATA_SCALE handle,
                                    KV_NET_DATA_SCALE destinationMethod, KV_NET_DATA_SCALE sourceMethod)
{
    // The flags change only on this (the syscall) thread, so they are read without the mutex, which a
    // sync-up during an operation would otherwise wait for.
    UBYTE answer = 0;
    switch (sourceMethod)
    {
    case P_SAVE:
        answer = mLastSetupSucceeded ? 1 : 0;
        break;
    case P_RECALL:
        answer = mLastSetupSucceeded && mLastRecallValid ? 1 : 0;
        break;
    case P_SYNC:
        answer = 0;
        break;
    default:
        cNetObject::UpdateNewObject(connectionId, handle, destinationMethod, sourceMethod);
        return;
    }
    mControlMessage.mConnectionId = connectionId;
    mControlMessage.mDestination = handle;
    mControlMessage.mSource = mHandle;
    mControlMessage.mMethod = destinationMethod;
    mControlMessage.SetLength(sizeof(UBYTE));
    mControlMessage.SetUBYTE(answer, 0);
    PostMessage(mControlMessage);
}

bool cSavesManager::StartSave(const QString& path)
{
    bool result = false;
    {
        std::lock_guard<std::mutex> lock(mMutex);
        result = Save(path);
    }
    ReportOutcome(P_SAVE, result ? SAVES_FAILURE_NONE : SAVES_FAILURE_NOT_WRITTEN);
    return result;
}

bool cSavesManager::StartRecall(const QString& path)
{
    eSavesFailure failure = SAVES_FAILURE_NONE;
    {
        std::lock_guard<std::mutex> lock(mMutex);
        failure = Recall(path);
    }
    ReportOutcome(P_RECALL, failure);
    return failure == SAVES_FAILURE_NONE;
}

void cSavesManager::SyncAll()
{
    {
        std::lock_guard<std::mutex> lock(mMutex);
        for (cSaveObject* object : mSaveObjects)
        {
            if (object->SyncData() == SYNC_SKIPPED)
            {
                KV_REPORT_NOTIFICATION("Sync skipped, no device data yet (%s)", object->GetSaveName());
            }
        }
        mSyncToComplete = true;
    }
    ReportResult(P_SYNC, true);
}

void cSavesManager::CompleteSync()
{
    std::lock_guard<std::mutex> lock(mMutex);
    if (!mSyncToComplete)
    {
        return;
    }
    mSyncToComplete = false;
    for (cSaveObject* object : mSaveObjects)
    {
        object->CompleteSync();
    }
}

void cSavesManager::ReportResult(KV_NET_DATA_SCALE id, bool ok)
{
    cKVNetMessage message(sizeof(UBYTE));
    message.mConnectionId = KV_NET_NO_CONNECTION;
    message.mDestination = KV_NET_NO_HANDLE;
    message.mSource = mHandle;
    message.mMethod = id;
    message.SetUBYTE(ok ? 1 : 0, 0);
    SendToInformList(message);
}

void cSavesManager::ReportOutcome(KV_NET_DATA_SCALE id, eSavesFailure failure)
{
    if (failure == SAVES_FAILURE_NONE)
    {
        ReportResult(id, true);
        return;
    }
    cKVNetMessage message(2 * sizeof(UBYTE));
    message.mConnectionId = KV_NET_NO_CONNECTION;
    message.mDestination = KV_NET_NO_HANDLE;
    message.mSource = mHandle;
    message.mMethod = id;
    message.SetUBYTE(0, 0);
    message.SetUBYTE(failure, 1);
    SendToInformList(message);
}

QString cSavesManager::GetTargetPath() const
{
    std::lock_guard<std::mutex> lock(mMutex);
    return mTargetPath;
}

QString cSavesManager::GetSourcePath() const
{
    std::lock_guard<std::mutex> lock(mMutex);
    return mSourcePath;
}

bool cSavesManager::LastSetupSucceeded() const
{
    std::lock_guard<std::mutex> lock(mMutex);
    return mLastSetupSucceeded;
}

bool cSavesManager::LastRecallValid() const
{
    std::lock_guard<std::mutex> lock(mMutex);
    return mLastRecallValid;
}

int cSavesManager::GetNumberOfSaveObjects() const
{
    std::lock_guard<std::mutex> lock(mMutex);
    return int(mSaveObjects.size());
}

// The plain stream goes to a temporary file and is enciphered into a second one; the target is
// replaced by that only once both are whole (QSaveFile writes beside the target and renames).
bool cSavesManager::Save(const QString& path)
{
    if (!path.isEmpty())
    {
        mTargetPath = path;
    }
    QTemporaryFile plain;
    QTemporaryFile enciphered;
    QSaveFile target(mTargetPath);
    mLastSetupSucceeded = plain.open() && enciphered.open() && target.open(QIODevice::WriteOnly);
    if (!mLastSetupSucceeded)
    {
        KV_REPORT_ERROR("Failed to open Save Stream!");
        KV_REPORT_ERROR("%s: %s", qPrintable(mTargetPath),
                        qPrintable(FirstError({&plain, &enciphered, &target})));
        return false;
    }

    QDataStream stream(&plain);
    SetUpStream(stream);
    const bool written = WriteSaveStream(stream);
    stream.setDevice(nullptr);
    if (!written || !plain.flush())
    {
        KV_REPORT_ERROR("Failed to write Save Stream! %s", qPrintable(plain.errorString()));
        return false;
    }
    if (!plain.seek(0))
    {
        KV_REPORT_ERROR("Couldn't reset read position on temporary file");
        return false;
    }
    if (!cSavesFileCipher::CipherData(plain, enciphered, true))
    {
        KV_REPORT_ERROR("Encryption failed");
        return false;
    }
    if (!CopyFile(enciphered, target))
    {
        return false;
    }
    if (!target.commit())
    {
        KV_REPORT_ERROR("Failed to write save file %s: %s", qPrintable(mTargetPath),
                        qPrintable(target.errorString()));
        return false;
    }
    return true;
}

// The whole file is read, deciphered and checked in memory; only a file that passes every check
// reaches the objects.
eSavesFailure cSavesManager::Recall(const QString& path)
{
    if (!path.isEmpty())
    {
        mSourcePath = path;
    }
    mLastRecallValid = false;
    QByteArray bytes;
    const eSavesFailure input = nSavesFileInput::ReadRegularFile(mSourcePath, MaximumFileSize(), bytes);
    mLastSetupSucceeded = input == SAVES_FAILURE_NONE;
    if (!mLastSetupSucceeded)
    {
        return input;
    }
    if (!cSavesFileCipher::DecipherBytes(bytes))
    {
        KV_REPORT_ERROR("Decryption failed");
        return SAVES_FAILURE_NOT_A_SAVES_FILE;
    }
    TakeReadAsNotes();
    if (!CheckSaveStream(bytes))
    {
        TakeReadAsNotes();
        return SAVES_FAILURE_NOT_A_SAVES_FILE;
    }
    ApplySaveStream(bytes);
    const std::string notes = TakeReadAsNotes();
    if (!notes.empty())
    {
        KV_REPORT_NOTIFICATION("Recalled %s: %s", qPrintable(mSourcePath), notes.c_str());
    }
    mLastRecallValid = true;
    return SAVES_FAILURE_NONE;
}

std::string cSavesManager::TakeReadAsNotes()
{
    // Each note once, with the objects whose records held it: "band gain -32768 read as minus
    // infinity (LMH 1: L Parametric EQ Unit, LMH 2: R Parametric EQ Unit)".
    std::vector<std::pair<std::string, std::string>> notes;
    for (cSaveObject* object : mSaveObjects)
    {
        for (const std::string& note : object->TakeReadAsNotes())
        {
            auto found =
                std::find_if(notes.begin(), notes.end(), [&](const auto& n) { return n.first == note; });
            if (found == notes.end())
            {
                notes.emplace_back(note, object->GetSaveName());
            }
            else
            {
                found->second += std::string(", ") + object->GetSaveName();
            }
        }
    }
    std::string text;
    for (const auto& note : notes)
    {
        text += (text.empty() ? "" : "; ") + note.first + " (" + note.second + ")";
    }
    return text;
}

qint64 cSavesManager::MaximumFileSize()
{
    QByteArray plain;
    QBuffer buffer(&plain);
    buffer.open(QIODevice::WriteOnly);
    QDataStream stream(&buffer);
    SetUpStream(stream);
    WriteSaveStream(stream);
    const qint64 block = cSavesFileCipher::BLOCK_SIZE;
    return (plain.size() + block - 1) / block * block;
}

bool cSavesManager::CheckSaveStream(const QByteArray& plain)
{
    QDataStream stream(plain);
    SetUpStream(stream);
    qint16 magic = 0;
    qint8 version = 0;
    stream >> magic >> version;
    if (stream.status() != QDataStream::Ok || magic != FILE_MAGIC || version != FILE_VERSION)
    {
        KV_REPORT_ERROR("Save file error: incompatible file");
        return false;
    }
    for (cSaveObject* object : mSaveObjects)
    {
        if (!object->CheckRecord(&stream) || stream.status() != QDataStream::Ok)
        {
            KV_REPORT_ERROR("Save file error: potential corruption");
            return false;
        }
    }
    qint16 trailer = 0;
    stream >> trailer;
    if (stream.status() != QDataStream::Ok || trailer != FILE_TRAILER)
    {
        KV_REPORT_ERROR("Save file error: potential corruption");
        KV_REPORT_ERROR("No trailer after the records of the saves file");
        return false;
    }
    // After the trailer only the cipher's zero padding, short of a block.
    const int end = int(stream.device()->pos());
    const QByteArray rest = plain.mid(end);
    if (rest.size() >= cSavesFileCipher::BLOCK_SIZE || rest.count('\0') != rest.size())
    {
        KV_REPORT_ERROR("Save file error: potential corruption");
        KV_REPORT_ERROR("%d bytes after the trailer of the saves file", int(rest.size()));
        return false;
    }
    return true;
}

void cSavesManager::ApplySaveStream(const QByteArray& plain)
{
    QDataStream stream(plain);
    SetUpStream(stream);
    qint16 magic = 0;
    qint8 version = 0;
    stream >> magic >> version;
    for (cSaveObject* object : mSaveObjects)
    {
        if (!object->RecallData(&stream))
        {
            // Checked just before: only an object whose check and recall disagree gets here.
            KV_REPORT_ERROR("Save file error: the record of %s was refused after it passed the check",
                            object->GetSaveName());
        }
    }
}

bool cSavesManager::WriteSaveStream(QDataStream& stream)
{
    stream << FILE_MAGIC << FILE_VERSION;
    for (cSaveObject* object : mSaveObjects)
    {
        if (stream.status() != QDataStream::Ok)
        {
            return false;
        }
        object->SaveData(&stream);
    }
    stream << FILE_TRAILER;
    return stream.status() == QDataStream::Ok;
}

bool cSavesManager::AcceptsPathRequest(const cKVNetMessage& message)
{
    // A request that names a file is taken only from the local system: a peer on a framework
    // connection must never make the program write or read a file by path.
    if (message.mConnectionId == KV_NET_LOCAL_CONNECTION)
    {
        return true;
    }
    KV_REPORT_ERROR("%s request from connection %d refused: only the local system may name a file",
                    message.mMethod == P_SAVE ? "Save" : "Recall", int(message.mConnectionId));
    return false;
}

bool cSavesManager::RequestPath(const cKVNetMessage& message, QString& path) const
{
    const UWORD length = message.GetLength();
    if (length == 0)
    {
        path.clear();
        return true;
    }
    const UBYTE* data = message.Data();
    const void* end = std::memchr(data, 0, length);
    if (end == nullptr)
    {
        KV_REPORT_ERROR("Path of request 0x%X has no terminator within its %d bytes",
                        unsigned(message.mMethod), int(length));
        return false;
    }
    const int size = int(static_cast<const UBYTE*>(end) - data);
    path = QFile::decodeName(QByteArray(reinterpret_cast<const char*>(data), size));
    return true;
}
