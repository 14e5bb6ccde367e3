#include "CorvoGUI/Core/App/cApplication.h"

#include "Common/Qt/cNonVolatileStorageManager.h"
#include "CorvoGUI/Core/App/LookObjects.h"
#include "CorvoGUI/Core/App/cSerialConnectDriver.h"
#include "CorvoGUI/Core/Persistence/DataFolders.h"
#include "CorvoGUI/Core/Saves/cSavesManager.h"
#include "CorvoGUI/Core/Serial/cSerialInterface.h"
#include "CorvoGUI/Core/Serial/cSerialPortList.h"
#include "CorvoGUI/Core/Units/cInOutFader.h"
#include "CorvoGUI/Core/Units/cLowMidHigh.h"
#include "CorvoGUI/Core/Units/cMeteringSources.h"
#include "KVNet/Core/KVNetSystem.h"
#include "KVNet/Core/cActionTickDriver.h"
#include "KVNet/QT/Connections/cKVNetTCPServer.h"
#include "KVNet/QT/Connections/cNetworkConnection.h"
#include "KVNet/QT/Discovery/cMultiUnitFinder.h"

cApplication::cApplication(std::unique_ptr<cSerialPortList> portList, const sSerialLinkTimings& timings)
{
    CreateSyscallThread();
    if (cNetworkConnection* network = cNetworkConnection::Instance())
    {
        connect(network, &cNetworkConnection::LostComms, this, &cApplication::LostComms,
                Qt::DirectConnection);
        connect(network, &cNetworkConnection::ConnectionDisconnected, this,
                &cApplication::ConnectionDisconnected, Qt::DirectConnection);
    }
    // The look objects outlive every application object (QML may still hold them): made once.
    MakeLookObjects();
    mTCPServer = new cKVNetTCPServer(this);
    CreateActionTickThread();
    mNonVolatileStorage =
        new cNonVolatileStorageManager(GetNonVolatileFilePath(), NON_VOLATILE_SIZE, false, false);
    mSerialInterface = new cSerialInterface(mActionTickDriver, std::move(portList), timings);
    mSerialConnectDriver = new cSerialConnectDriver(mSerialInterface);
    mMeteringSources = new cMeteringSources(mSerialInterface);
    mSavesManager = new cSavesManager();
    mInOutFader = new cInOutFader(mNonVolatileStorage, mSerialInterface, mSavesManager);
    mLow = new cLowMidHigh(LOW, mNonVolatileStorage, mSerialInterface, mSavesManager);
    mMid = new cLowMidHigh(MID, mNonVolatileStorage, mSerialInterface, mSavesManager);
    mHigh = new cLowMidHigh(HIGH, mNonVolatileStorage, mSerialInterface, mSavesManager);
}

cApplication::~cApplication()
{
    DeleteActionTickThread();

    delete mInOutFader;
    mInOutFader = nullptr;
    delete mLow;
    mLow = nullptr;
    delete mMid;
    mMid = nullptr;
    delete mHigh;
    mHigh = nullptr;

    delete mSavesManager;
    mSavesManager = nullptr;
    delete mMeteringSources;
    mMeteringSources = nullptr;
    delete mSerialConnectDriver;
    mSerialConnectDriver = nullptr;
    delete mSerialInterface;
    mSerialInterface = nullptr;
    delete mNonVolatileStorage;
    mNonVolatileStorage = nullptr;

    delete mTCPServer;
    mTCPServer = nullptr;

    // Waits until a delivery still in progress on the syscall thread has finished.
    LockRegistry();
    UnlockRegistry();

    if (gMultiUnitFinder != nullptr)
    {
        delete gMultiUnitFinder;
        gMultiUnitFinder = nullptr;
    }

    DeleteSyscallThread();
    DeleteSystem();
}

void cApplication::LostComms(UWORD, std::string) {}

void cApplication::ConnectionDisconnected(UWORD, std::string, bool, QAbstractSocket::SocketError) {}

void cApplication::OnActionTick()
{
    if (mSerialInterface != nullptr)
    {
        mSerialInterface->Process();
    }
}
