#pragma once

#include "KVNet/Core/KVNetTypes.h"

#include <functional>
#include <vector>

class cNetObject;

// The router's tick or tock list: objects in the order they joined. A scan may add or remove
// objects from inside the called operations (on the scanning thread): a removed object is not
// called again, an added one is called in the same scan. Not locked: the router holds its
// registry lock around every use.
class cNetObjectScanList
{
public:
    void Append(cNetObject* object);
    // Removes every occurrence of object.
    void Remove(const cNetObject* object);
    bool Contains(const cNetObject* object) const;
    ULONG Count() const;
    // Calls visit for every object, in list order.
    void Scan(const std::function<void(cNetObject*)>& visit);
    void Clear();

private:
    std::vector<cNetObject*> mObjects;
    int mScanDepth = 0;
    bool mHasHoles = false;
};
