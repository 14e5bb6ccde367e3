#pragma once

class cSaveObject;

// Whoever drives the save objects (the saves manager): every save object registers with it at
// construction and leaves it at destruction, so the registry holds exactly the live objects, in
// construction order.
class cSaveObjectRegistry
{
public:
    // Appends the object; the registry does not own it.
    virtual void RegisterSaveObject(cSaveObject* object) = 0;
    // Removes the object; nothing happens when it is not registered.
    virtual void UnregisterSaveObject(cSaveObject* object) = 0;

protected:
    cSaveObjectRegistry() = default;
    ~cSaveObjectRegistry() = default;
    cSaveObjectRegistry(const cSaveObjectRegistry&) = delete;
    cSaveObjectRegistry& operator=(const cSaveObjectRegistry&) = delete;
};
