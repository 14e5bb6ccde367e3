#pragma once

class cKVNetMessage;

// Offered every message that PostMessage sends, before anything else happens to it.
// Called on the posting thread.
class cPostMessageHook
{
public:
    virtual ~cPostMessageHook() = default;
    // True when the hook consumed the message; it is then neither buffered nor sent.
    virtual bool PostMessageHook(cKVNetMessage&) { return false; }
};
