#pragma once

#include "CorvoGUI/Core/Saves/SavesFailure.h"
#include "KVNet/Core/KVNetMethods.h"
#include "KVNet/Core/cNetObject.h"

#include <QObject>
#include <QUrl>

#include <atomic>

// The load and save dialogs and the sync after a connection, as requests to the saves manager. A
// QObject first and the net object "Saves Dialog Backend NetObject" second (3 parameters, no tick, no
// tock), linked at construction, bidirectionally and without sync, to parameters 4096 (save), 4097
// (recall) and 4098 (sync) of "Saves Manager NetObject". A request is a parameter message on that
// link; the manager answers on the same parameter with one byte (1 for success), which becomes
// operationSuccess, and after a failed save or recall a second byte, why (eSavesFailure). Nothing
// waits for the answer. The answer to a save or recall is also told by saveFinished or
// recallFinished, for the window to tell the user. Uncreatable QML type "SavesDialogBackend" of module
// "Corvo" 1.0, owned by the root back end.
//
// Requests carry the chosen file's local path (local 8-bit) and its NUL. An empty URL (a dialog that
// yielded no file) is not sent: the manager would take the empty path as its last file, and the user
// named none. That, and a URL that is not a local file, or whose path holds a NUL or does not fit in a
// message, is reported and not sent: operationSuccess turns false (and is announced) at once, and
// saveFinished or recallFinished tells the failure (SAVES_FAILURE_NO_FILE for the empty URL).
//
// Threads: QML calls run on the GUI thread; they send under the registry lock, since the object's
// message and inform lists also serve the syscall thread. Replies arrive on the syscall thread, which
// emits operationSuccessChanged there (QML gets it queued). Construct and destroy under the registry
// lock while the syscall thread runs (see cNetObject); once unregistered, destruction takes no lock.
class cSavesDialogBackend : public QObject, public cNetObject
{
    Q_OBJECT
    Q_PROPERTY(bool buttonSave READ buttonSave WRITE setButtonSave NOTIFY buttonSaveChanged)
    Q_PROPERTY(bool buttonRecall READ buttonRecall WRITE setButtonRecall NOTIFY buttonRecallChanged)
    Q_PROPERTY(bool operationSuccess READ operationSuccess NOTIFY operationSuccessChanged)

public:
    static constexpr const char* NAME = "Saves Dialog Backend NetObject";
    static constexpr const char* SAVES_MANAGER_NAME = "Saves Manager NetObject";
    static constexpr KV_NET_DATA_SCALE NUMBER_OF_PARAMETERS = 3;
    static constexpr KV_NET_DATA_SCALE P_SAVE = PARAMETER_BASE;
    static constexpr KV_NET_DATA_SCALE P_RECALL = PARAMETER_BASE + 1;
    static constexpr KV_NET_DATA_SCALE P_SYNC = PARAMETER_BASE + 2;

    // Registers the net object and queues its three links (reported when there is no system
    // builder).
    explicit cSavesDialogBackend(QObject* parent = nullptr);
    ~cSavesDialogBackend() override;

    bool buttonSave() const { return mButtonSave; }
    bool buttonRecall() const { return mButtonRecall; }
    bool operationSuccess() const { return mOperationSuccess.load(); }

    // Asks the manager to save the whole model to the file (4096).
    Q_INVOKABLE void saveConfig(QUrl Url);
    // Asks the manager to recall the file (4097).
    Q_INVOKABLE void recallConfig(QUrl Url);
    // Asks the manager to sync the model from the device (4098, no payload).
    Q_INVOKABLE void syncDevice();

    // For the file dialogs (nSavesDialogFiles): the folder they open in, and the file their user
    // named (empty when none) from the dialog's choice, the text of its path field and the folder it
    // shows.
    Q_INVOKABLE QUrl startFolder() const;
    Q_INVOKABLE QUrl chosenFile(const QUrl& picked, const QString& typed, const QUrl& folder,
                                bool save) const;
    // The folder other than the one shown that the text of the path field names; empty when none.
    Q_INVOKABLE QUrl typedFolder(const QString& typed, const QUrl& folder) const;

    // The manager's answer to 4096-4098: byte 0 (through UBYTEToBool) becomes operationSuccess, which
    // is announced also when it did not change; for 4096 and 4097 saveFinished or recallFinished
    // follows, with byte 1 as the failure (without it, a failed save was not written and a failed
    // recall not read). A reply without its byte is reported and dropped. Every other method goes to
    // cNetObject. Syscall thread.
    void EntrypointMessage(cKVNetMessage& message) override;

public slots:
    // Store and announce a change; the back end gives them no other meaning.
    void setButtonSave(bool State);
    void setButtonRecall(bool State);

signals:
    void buttonSaveChanged();
    void buttonRecallChanged();
    void operationSuccessChanged();
    // A save or recall has ended: success, else why (an eSavesFailure; SAVES_FAILURE_NONE on success).
    void saveFinished(bool success, int failure);
    void recallFinished(bool success, int failure);

private:
    void SendPath(KV_NET_DATA_SCALE parameter, const QUrl& url);
    // Sets and announces operationSuccess, then tells a save's or recall's end.
    void Finish(KV_NET_DATA_SCALE parameter, bool success, eSavesFailure failure);

    bool mButtonSave = false;
    bool mButtonRecall = false;
    std::atomic<bool> mOperationSuccess{true};
};
