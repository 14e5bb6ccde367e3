#include "CorvoGUI/QtGUIComponents/Backends/cSavesDialogBackend.h"

#include "AES-Standards/KVConversions.h"
#include "CorvoGUI/QtGUIComponents/Backends/BackendLink.h"
#include "CorvoGUI/QtGUIComponents/Backends/SavesDialogFiles.h"
#include "KVNet/Core/KVNetSystem.h"
#include "KVNet/QT/Trace/KVNetReports.h"

#include <QByteArray>
#include <QFile>

cSavesDialogBackend::cSavesDialogBackend(QObject* parent)
    : QObject(parent)
    , cNetObject(NAME, NUMBER_OF_PARAMETERS, false, false)
{
    for (KV_NET_DATA_SCALE parameter : {P_SAVE, P_RECALL, P_SYNC})
    {
        QueueBackendLink(NAME, parameter, SAVES_MANAGER_NAME, parameter, false, true);
    }
}

cSavesDialogBackend::~cSavesDialogBackend()
{
    if (IsRegistered())
    {
        Unregister();
    }
}

void cSavesDialogBackend::setButtonSave(bool State)
{
    if (mButtonSave == State)
    {
        return;
    }
    mButtonSave = State;
    emit buttonSaveChanged();
}

void cSavesDialogBackend::setButtonRecall(bool State)
{
    if (mButtonRecall == State)
    {
        return;
    }
    mButtonRecall = State;
    emit buttonRecallChanged();
}

void cSavesDialogBackend::saveConfig(QUrl Url)
{
    SendPath(P_SAVE, Url);
}

void cSavesDialogBackend::recallConfig(QUrl Url)
{
    SendPath(P_RECALL, Url);
}

void cSavesDialogBackend::syncDevice()
{
    cRegistryLocker lock;
    mControlMessage.mConnectionId = KV_NET_NO_CONNECTION;
    mControlMessage.mDestination = KV_NET_NO_HANDLE;
    mControlMessage.mMethod = P_SYNC;
    mControlMessage.SetLength(0);
    SendToInformList(mControlMessage);
}

QUrl cSavesDialogBackend::startFolder() const
{
    return QUrl::fromLocalFile(nSavesDialogFiles::StartFolder());
}

QUrl cSavesDialogBackend::chosenFile(const QUrl& picked, const QString& typed, const QUrl& folder,
                                     bool save) const
{
    const QString path =
        nSavesDialogFiles::ChosenFile(picked.toLocalFile(), typed, folder.toLocalFile(), save);
    return path.isEmpty() ? QUrl() : QUrl::fromLocalFile(path);
}

QUrl cSavesDialogBackend::typedFolder(const QString& typed, const QUrl& folder) const
{
    const QString path = nSavesDialogFiles::TypedFolder(typed, folder.toLocalFile());
    return path.isEmpty() ? QUrl() : QUrl::fromLocalFile(path);
}

void cSavesDialogBackend::SendPath(KV_NET_DATA_SCALE parameter, const QUrl& url)
{
    const eSavesFailure unsent = parameter == P_SAVE ? SAVES_FAILURE_NOT_WRITTEN : SAVES_FAILURE_NOT_READ;
    if (url.isEmpty() || (url.isLocalFile() && url.toLocalFile().isEmpty()))
    {
        KV_REPORT_NOTIFICATION("No file was named: request 0x%X not sent", unsigned(parameter));
        Finish(parameter, false, SAVES_FAILURE_NO_FILE);
        return;
    }
    if (!url.isLocalFile())
    {
        KV_REPORT_ERROR("%s is not a local file: request 0x%X not sent", qPrintable(url.toString()),
                        unsigned(parameter));
        Finish(parameter, false, unsent);
        return;
    }
    const QByteArray path = QFile::encodeName(url.toLocalFile());
    if (path.contains('\0') || path.size() >= int(cKVNetMessage::MAX_LENGTH))
    {
        KV_REPORT_ERROR("The path of %s does not fit a request: request 0x%X not sent",
                        qPrintable(url.toString()), unsigned(parameter));
        Finish(parameter, false, unsent);
        return;
    }
    cRegistryLocker lock;
    mControlMessage.mConnectionId = KV_NET_NO_CONNECTION;
    mControlMessage.mDestination = KV_NET_NO_HANDLE;
    mControlMessage.mMethod = parameter;
    mControlMessage.SetLength(UWORD(path.size() + 1));
    for (int i = 0; i < path.size(); ++i)
    {
        mControlMessage.SetUBYTE(UBYTE(path[i]), UWORD(i));
    }
    mControlMessage.SetUBYTE(0, UWORD(path.size()));
    SendToInformList(mControlMessage);
}

void cSavesDialogBackend::Finish(KV_NET_DATA_SCALE parameter, bool success, eSavesFailure failure)
{
    mOperationSuccess.store(success);
    emit operationSuccessChanged();
    if (parameter == P_SAVE)
    {
        emit saveFinished(success, int(failure));
    }
    else if (parameter == P_RECALL)
    {
        emit recallFinished(success, int(failure));
    }
}

void cSavesDialogBackend::EntrypointMessage(cKVNetMessage& message)
{
    if (message.mMethod < P_SAVE || message.mMethod > P_SYNC)
    {
        cNetObject::EntrypointMessage(message);
        return;
    }
    if (message.GetLength() < 1)
    {
        KV_REPORT_ERROR("%s: reply 0x%X without its result", GetName(), unsigned(message.mMethod));
        return;
    }
    const bool success = UBYTEToBool(message.GetUBYTE(0));
    eSavesFailure failure = SAVES_FAILURE_NONE;
    if (!success)
    {
        failure = message.GetLength() >= 2    ? eSavesFailure(message.GetUBYTE(1))
                  : message.mMethod == P_SAVE ? SAVES_FAILURE_NOT_WRITTEN
                                              : SAVES_FAILURE_NOT_READ;
    }
    Finish(message.mMethod, success, failure);
}
