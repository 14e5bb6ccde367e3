#pragma once

#include "KVNet/Core/KVNetTypes.h"

#include <functional>
#include <memory>

class QObject;
class cKVNetTCPServer;
class cNetworkConnection;

// The framework with its connection layer for one network test: the router and system builder,
// the network connection singleton, optionally its lost-comms threads and the TCP server on port
// 51321. Torn down in the program's order (lost-comms threads, network connection, system).
// Main thread only; no syscall thread runs: WaitFor delivers the router's messages.
class cNetworkTestSystem
{
public:
    explicit cNetworkTestSystem(bool lostComms = true, bool tcpServer = true);
    ~cNetworkTestSystem();
    cNetworkTestSystem(const cNetworkTestSystem&) = delete;
    cNetworkTestSystem& operator=(const cNetworkTestSystem&) = delete;

    cNetworkConnection* Network() const;

    // Processes events and delivers buffered messages until done() holds or timeoutMs passes.
    static bool WaitFor(const std::function<bool()>& done, int timeoutMs = 5000);
    // Processes events and delivers messages for a while.
    static void Spin(int milliseconds);

    // Stops the lost-comms threads' own timers, so that a test drives them.
    void StopLostCommsTimers();
    // One countdown step of the receiver, or one heartbeat pass of the sender, on its thread.
    void TickReceiver();
    void TickSender();
    // The receiver's time-to-live of a connection (read on its thread).
    UBYTE ReceiverTTL(UWORD connectionId);

private:
    // Runs work on the object's thread and waits until it has run.
    static void RunOnThreadOf(QObject* object, const std::function<void()>& work);

    std::unique_ptr<cKVNetTCPServer> mServer;
};
