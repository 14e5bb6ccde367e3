#pragma once

#include "KVNet/Core/KVNetTypes.h"

class cKVNetMessage;
class cPostMessageHook;
class cRegistryRouter;
class cSystemBuilder;

// The framework's global state: the registry router and the system builder (set by
// StartSystem, deleted by DeleteSystem), the system-running flag and message posting.

extern cRegistryRouter* gRegistryRouter;
extern cSystemBuilder* gSystemBuilder;

// Creates the connection layer's singleton; installed by the connection layer before
// StartSystem (for example SetNetworkConnectionStarter([] { cNetworkConnection::Instance(); })).
using tNetworkConnectionStarter = void (*)();
void SetNetworkConnectionStarter(tNetworkConnectionStarter starter);

// Main thread. Creates the router, then (when asked) the system builder "KVNet System
// Builder" with a seek cache of 10 and the given connection-loss policy, then runs the
// network connection starter when one is installed. A second call while a router exists is
// reported and does nothing.
void StartSystem(ULONG connectionLossPolicy, bool createSystemBuilder);
// Main thread, after the framework threads have stopped: deletes the builder, then the router.
void DeleteSystem();
// Sets the builder when none is set; otherwise reports "SystemBuilder allready set!".
void SetSystemBuilder(cSystemBuilder* builder);

// Any thread. While false no tick message is posted.
bool IsSystemRunning();
void SetSystemRunning(bool running);

// Any thread; takes only the buffer lock. The hook, when set, may consume the message. A
// message whose mConnectionId is not 0 goes to NetworkSendMessage; a local one is copied into
// the router's buffer and the syscall thread is woken. The caller may reuse its message at once.
void PostMessage(cKVNetMessage& message);
// The same without the hook; a remote message goes to NetworkSendMessageUDP.
void PostMessageViaUDP(cKVNetMessage& message);
void SetPostMessageHook(cPostMessageHook* hook);

// The router's registry lock (recursive). Held around every delivery; drivers take it around
// attaching to and leaving a net object and around reading what the syscall thread writes.
// Order: the registry lock before the system builder's link-list lock and before the
// connection layer's locks, never after them.
void LockRegistry();
void UnlockRegistry();

// Messages waiting in the router's buffer; 0 without a router.
ULONG GetMessageBufferCount();

// Wakes the syscall thread when it waits for messages. Never loses a wake-up.
void WakeSyscallThread();

// Holds the registry lock for its lifetime (nothing without a router).
class cRegistryLocker
{
public:
    cRegistryLocker();
    ~cRegistryLocker();
    cRegistryLocker(const cRegistryLocker&) = delete;
    cRegistryLocker& operator=(const cRegistryLocker&) = delete;

private:
    cRegistryRouter* mRouter;
};
