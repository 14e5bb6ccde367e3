#pragma once

#include "KVNet/Core/cNetObject.h"

class cMultiCCDriverChild;

// One relative input (an encoder) shared by several continuous controllers, its children. A
// selector's value (parameter 4096, UBYTE, linked from selectorPath with Sync at construction)
// picks the child that the input moves. Each child is a continuous-controller driver with its
// own control object; when that object polls the selected child, the child asks this parent,
// which fetches the input's movement (GetSelectedDelta) and, when the child is enabled, moves
// it by its step per unit of delta, clamped to its range.
//
// Children are created with CreateChild and owned; they start at range 0 to 65535 and
// disabled.
//
// Construction registers the object and queues the selector link before a subclass's
// constructor has run: while a syscall thread runs, construct the whole object under
// cRegistryLocker (KVNetSystem.h), so that nothing is delivered to it half-built.
//
// Threads: GetSelectedDelta and ReadChildValue run on the syscall thread; CreateChild,
// SetChildRange, SetChildEnable and DestroyChildren take the registry lock and may be called
// on any thread. The destructor unregisters, then deletes the children; a subclass calls
// Unregister and then DestroyChildren first in its own destructor, so that no message reaches
// it and no child's control object asks it for a delta while it is being destroyed.
class cMultiContinuousControllerDriverBase : public cNetObject
{
public:
    cMultiContinuousControllerDriverBase(const char* name, UBYTE numberOfChildren, const char* selectorPath);
    ~cMultiContinuousControllerDriverBase() override;

    // 4096 selects the child; other methods go to cNetObject.
    void EntrypointMessage(cKVNetMessage& message) override;

    // Steps of the input since the last call, for the selected child.
    virtual SBYTE GetSelectedDelta(UBYTE index) = 0;

    // Creates child index with its control object named name. False (with a report) for an
    // index beyond the children or one already created.
    bool CreateChild(UBYTE index, const char* name);
    // Deletes every child (and its control object). Nothing the second time.
    void DestroyChildren();
    // Null for an index beyond the children or a child not created.
    cMultiCCDriverChild* GetChild(UBYTE index) const;
    // Ignored for an index beyond the children or a missing child.
    void SetChildRange(UBYTE index, UWORD lower, UWORD upper, bool levelType);
    void SetChildEnable(UBYTE index, UBYTE enable);

    UBYTE GetNumberOfChildren() const { return mNumberOfChildren; }
    UBYTE GetSelected() const { return mSelected; }

    // Called by a child's ReadControllerValue: applies the input's delta when the child is the
    // selected, enabled one, and returns its value through MapLowerToOff.
    UWORD ReadChildValue(UBYTE index);

private:
    UBYTE mNumberOfChildren;
    cMultiCCDriverChild** mChildren;
    UBYTE* mEnables;
    UBYTE mSelected = 0;
};
