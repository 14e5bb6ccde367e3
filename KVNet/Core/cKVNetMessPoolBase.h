#pragma once

class cKVNetMessage;

// A source of pooled messages. Not locked: callers hold the router's message-buffer lock.
class cKVNetMessPoolBase
{
public:
    virtual ~cKVNetMessPoolBase() = default;
    virtual void ReturnKVNetMessage(cKVNetMessage* message) = 0;
};
